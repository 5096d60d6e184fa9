#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// A Windows-style INI file, read as GetPrivateProfileString reads one:
//
//   [OtherOptions]
//   Version = 3.0
//
// Section and key names compare without regard to ASCII case; the first
// matching key wins. Names and values are trimmed of blanks, and a value in
// matching double or single quotes loses them. ';' starts a comment line.
// Text is single-byte and kept as it stands.
class IniFile {
public:
    explicit IniFile(std::string_view text);

    // Nothing when the file cannot be read.
    [[nodiscard]] static std::optional<IniFile> Read(const std::filesystem::path& file);

    [[nodiscard]] std::optional<std::string> Value(std::string_view section,
                                                   std::string_view key) const;

private:
    struct Entry {
        std::string section;
        std::string key;
        std::string value;
    };
    std::vector<Entry> entries_;
};

// One value of an INI file; nothing when the file, section or key is missing.
[[nodiscard]] std::optional<std::string> ReadIniString(const std::filesystem::path& file,
                                                       std::string_view section,
                                                       std::string_view key);

}  // namespace vk
