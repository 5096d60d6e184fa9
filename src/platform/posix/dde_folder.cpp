#include "platform/posix/dde_folder.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/posix/unique_fd.h"
#include "platform/posix/user_account.h"

namespace vk {
namespace {

namespace fs = std::filesystem;

// Makes `folder` (mode 0700) when missing and says why it cannot hold this
// user's sockets, or nothing when it can. The folder is judged through a
// descriptor, so a symbolic link or a folder swapped in between the checks
// is never what gets trusted. With `mayClose`, a folder of ours that is open
// to others is closed again; without it, such a folder is refused.
std::optional<std::string> Claim(const fs::path& folder, bool mayClose) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::string("cannot be created: ") + std::strerror(errno);
    posix::UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.Valid()) {
        if (errno == ENOTDIR || errno == ELOOP) return std::string("is not a folder");
        return std::string("cannot be opened: ") + std::strerror(errno);
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::string("is not a folder");
    if (info.st_uid != ::geteuid()) return std::string("belongs to another user");
    const mode_t mode = info.st_mode & 07777;
    if ((mode & 077) != 0 && !mayClose) return std::string("is open to other users");
    if (mode != 0700 && ::fchmod(fd.Get(), 0700) != 0)
        return std::string("cannot be made private: ") + std::strerror(errno);
    return std::nullopt;
}

std::string NamedRefusal(const fs::path& folder, const std::string& reason) {
    return folder.string() + " " + reason;
}

fs::path HomeFolder() {
    if (const char* home = ::getenv("HOME"); home && home[0] == '/') return home;
    const auto account = posix::CurrentUserAccount();
    if (account && account->home.rfind('/', 0) == 0) return account->home;
    return {};
}

// $XDG_CACHE_HOME/vellumkit-dde, else ~/.cache/vellumkit-dde: only this user
// can create anything there.
fs::path PrivateFallback() {
    if (const char* cache = ::getenv("XDG_CACHE_HOME"); cache && cache[0] == '/')
        return fs::path(cache) / "vellumkit-dde";
    const fs::path home = HomeFolder();
    return home.empty() ? fs::path() : home / ".cache" / "vellumkit-dde";
}

}  // namespace

namespace dde {

DdeSocketFolderChoice ChooseSocketFolder(const char* runtimeDir, const fs::path& shared,
                                         const fs::path& fallback) {
    if (runtimeDir && runtimeDir[0] == '/') {
        const fs::path folder = fs::path(runtimeDir) / "vellumkit-dde";
        if (const auto why = Claim(folder, true)) return {{}, NamedRefusal(folder, *why)};
        return {folder, {}};
    }
    const auto why = Claim(shared, false);
    if (!why) return {shared, {}};
    const std::string refusal = NamedRefusal(shared, *why);
    if (fallback.empty()) return {{}, refusal + "; no home folder to use instead"};
    std::error_code ignored;
    fs::create_directories(fallback.parent_path(), ignored);
    if (const auto fallbackWhy = Claim(fallback, true))
        return {{}, refusal + "; " + NamedRefusal(fallback, *fallbackWhy)};
    return {fallback, refusal + "; using " + fallback.string() + " instead"};
}

}  // namespace dde

DdeSocketFolderChoice ChooseDdeSocketFolder() {
    return dde::ChooseSocketFolder(::getenv("XDG_RUNTIME_DIR"),
                                   "/tmp/vellumkit-dde-" + std::to_string(::geteuid()),
                                   PrivateFallback());
}

std::filesystem::path DdeSocketFolder() { return ChooseDdeSocketFolder().folder; }

}  // namespace vk
