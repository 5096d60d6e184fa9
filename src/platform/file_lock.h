#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace vk {

// An exclusive lock on a file that lasts as long as the object, or as long as
// the process when it ends without a word (a crash, a kill): the system lets
// go of it then. A second taker, in this process or another, is refused
// while it is held. So a file that can be locked tells that the program that
// made it is gone.
class FileLock {
public:
    enum class Refusal {
        Held,    // another holder has it
        Failed,  // the file cannot be made or opened; see `why`
    };

    // Takes the lock of `file`, making the file (readable by the user alone)
    // when it is missing, without waiting.
    [[nodiscard]] static std::optional<FileLock> TryTake(const std::filesystem::path& file,
                                                         Refusal* refusal = nullptr,
                                                         std::string* why = nullptr);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    [[nodiscard]] const std::filesystem::path& File() const { return file_; }

    // Removes the file while still holding it, so that no taker finds it
    // between the release and the removal.
    void RemoveFile() noexcept;

private:
    FileLock(std::filesystem::path file, std::intptr_t handle)
        : file_(std::move(file)), handle_(handle) {}
    void Release() noexcept;

    std::filesystem::path file_;
    std::intptr_t handle_ = -1;
};

}  // namespace vk
