#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vk {

// Unique temporary files, as the Windows temp-name service makes them.
struct TempFiles {
    // $TMPDIR when set and not empty, else /tmp.
    [[nodiscard]] static std::filesystem::path Folder();

    // Creates a new, empty file readable and writable by the user alone,
    // whose name starts with `prefix` ("VBS" gives "/tmp/VBSa1B2c3.tmp"), and
    // returns its full path. Nothing when the file cannot be created.
    [[nodiscard]] static std::optional<std::string> CreateTempFile(std::string_view prefix);

    // Removes the file; false when there was none or it could not be removed.
    static bool DeleteFile(std::string_view path);
};

}  // namespace vk
