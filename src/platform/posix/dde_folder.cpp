#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/dde.h"
#include "platform/posix/unique_fd.h"

namespace vk {
namespace {

std::filesystem::path FolderPath() {
    const char* runtime = ::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return std::filesystem::path(runtime) / "vellumkit-dde";
    return "/tmp/vellumkit-dde-" + std::to_string(::geteuid());
}

}  // namespace

std::filesystem::path DdeSocketFolder() {
    const std::filesystem::path folder = FolderPath();
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};

    // Judge the folder through a descriptor, so a symbolic link or a folder
    // swapped in between the checks is never what gets trusted.
    posix::UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.Valid()) return {};
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return {};
    if ((info.st_mode & 07777) != 0700 && ::fchmod(fd.Get(), 0700) != 0) return {};
    return folder;
}

}  // namespace vk
