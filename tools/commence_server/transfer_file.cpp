#include "transfer_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/unique_fd.h"

namespace vk::commence_server {
namespace {

// Opens without waiting (a FIFO with no peer would block open(2) itself) and
// keeps the descriptor only for a regular file, judged on what was opened.
posix::UniqueFd OpenRegular(const std::filesystem::path& file, int flags) {
    if (!file.is_absolute()) return posix::UniqueFd();
    posix::UniqueFd fd(::open(file.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return posix::UniqueFd();
    return fd;
}

}  // namespace

bool WriteTransferFile(const std::filesystem::path& file, std::string_view bytes) {
    posix::UniqueFd fd = OpenRegular(file, O_WRONLY);
    if (!fd.Valid() || ::ftruncate(fd.Get(), 0) != 0) return false;
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd.Get(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return ::close(fd.Release()) == 0;
}

std::optional<std::string> ReadTransferFile(const std::filesystem::path& file,
                                            std::uintmax_t limit) {
    const posix::UniqueFd fd = OpenRegular(file, O_RDONLY);
    struct stat info {};
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 ||
        static_cast<std::uintmax_t>(info.st_size) > limit)
        return std::nullopt;
    // The size may change while reading; never take more than the limit.
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > limit) return std::nullopt;
    }
}

}  // namespace vk::commence_server
