#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

namespace vk {

// flock: the lock belongs to the open file description, so a second open of
// the same file, even in this process, is refused while it is held, and the
// system drops it when the last descriptor closes, also when the process is
// killed.
std::optional<FileLock> FileLock::TryTake(const std::filesystem::path& file, Refusal* refusal,
                                          std::string* why) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (refusal) *refusal = Refusal::Failed;
        if (why) *why = std::strerror(errno);
        return std::nullopt;
    }
    int rc = 0;
    do rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        ::close(fd);
        if (refusal) *refusal = error == EWOULDBLOCK ? Refusal::Held : Refusal::Failed;
        if (why) *why = std::strerror(error);
        return std::nullopt;
    }
    return FileLock(file, fd);
}

FileLock::FileLock(FileLock&& other) noexcept
    : file_(std::move(other.file_)), handle_(std::exchange(other.handle_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        file_ = std::move(other.file_);
        handle_ = std::exchange(other.handle_, -1);
    }
    return *this;
}

FileLock::~FileLock() { Release(); }

void FileLock::Release() noexcept {
    if (handle_ >= 0) ::close(static_cast<int>(std::exchange(handle_, -1)));
}

void FileLock::RemoveFile() noexcept {
    if (handle_ < 0) return;
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
}

}  // namespace vk
