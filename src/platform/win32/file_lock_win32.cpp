#include <windows.h>

#include <system_error>
#include <utility>

#include "platform/file_lock.h"

namespace vk {
namespace {

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

std::string SystemMessage(DWORD error) {
    return std::system_category().message(static_cast<int>(error));
}

}  // namespace

// LockFileEx on the first byte: a lock of one handle refuses every other
// handle, in this process too, and Windows drops it when the handle closes,
// also when the process is ended. The file is shared for deletion, so its
// holder can remove it while it holds it.
std::optional<FileLock> FileLock::TryTake(const std::filesystem::path& file, Refusal* refusal,
                                          std::string* why) {
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (refusal) *refusal = Refusal::Failed;
        if (why) *why = SystemMessage(GetLastError());
        return std::nullopt;
    }
    OVERLAPPED at{};
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        if (refusal) *refusal = error == ERROR_LOCK_VIOLATION ? Refusal::Held : Refusal::Failed;
        if (why) *why = SystemMessage(error);
        return std::nullopt;
    }
    return FileLock(file, reinterpret_cast<std::intptr_t>(handle));
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
    if (handle_ != -1) CloseHandle(AsHandle(std::exchange(handle_, -1)));
}

void FileLock::RemoveFile() noexcept {
    if (handle_ == -1) return;
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
}

}  // namespace vk
