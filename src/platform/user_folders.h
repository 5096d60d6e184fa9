#pragma once

#include <filesystem>

namespace vk {

// Where the program keeps files of its own for the user.
struct UserFolders {
    // The user's data folder for the program: $XDG_DATA_HOME/vellumkit
    // (when that is an absolute path), else ~/.local/share/vellumkit; on
    // Windows %LOCALAPPDATA%\Vellumkit. The folder need not exist yet.
    [[nodiscard]] static std::filesystem::path DataFolder();
};

}  // namespace vk
