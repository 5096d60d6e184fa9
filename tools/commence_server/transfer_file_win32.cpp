#include <windows.h>

#include <utility>

#include "transfer_file.h"

namespace vk::commence_server {
namespace {

// Closes a file handle when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(handle_);
    }
    FileHandle(FileHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle& operator=(FileHandle&&) = delete;
    [[nodiscard]] bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    [[nodiscard]] HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// Opens the file and keeps the handle only for a disk file: a pipe, a device
// or a folder is refused before a byte moves, judged on what was opened.
FileHandle OpenRegular(const std::filesystem::path& file, DWORD access, DWORD disposition) {
    if (!file.is_absolute()) return FileHandle(INVALID_HANDLE_VALUE);
    FileHandle handle(CreateFileW(file.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.Valid() || GetFileType(handle.Get()) != FILE_TYPE_DISK)
        return FileHandle(INVALID_HANDLE_VALUE);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return FileHandle(INVALID_HANDLE_VALUE);
    return handle;
}

}  // namespace

bool WriteTransferFile(const std::filesystem::path& file, std::string_view bytes) {
    const FileHandle handle = OpenRegular(file, GENERIC_WRITE, OPEN_EXISTING);
    if (!handle.Valid() || !SetEndOfFile(handle.Get())) return false;
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        DWORD written = 0;
        if (!WriteFile(handle.Get(), bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

std::optional<std::string> ReadTransferFile(const std::filesystem::path& file,
                                            std::uintmax_t limit) {
    const FileHandle handle = OpenRegular(file, GENERIC_READ, OPEN_EXISTING);
    LARGE_INTEGER size{};
    if (!handle.Valid() || !GetFileSizeEx(handle.Get(), &size) ||
        static_cast<std::uintmax_t>(size.QuadPart) > limit)
        return std::nullopt;
    // The size may change while reading; never take more than the limit.
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(handle.Get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
        if (got == 0) return bytes;
        bytes.append(buffer, got);
        if (bytes.size() > limit) return std::nullopt;
    }
}

}  // namespace vk::commence_server
