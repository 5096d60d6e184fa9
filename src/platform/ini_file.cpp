#include "platform/ini_file.h"

#include "common/file_bytes.h"
#include "platform/registry_hive.h"

namespace vk {

namespace {

// A data.ini holds a few lines; this is far past any real one.
constexpr std::size_t kMaxIniBytes = 1u << 20;

constexpr bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

IniFile::IniFile(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::string section;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = Trim(line);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            section = Trim(line.substr(1, close == std::string_view::npos ? close : close - 1));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        entries_.push_back(Entry{section, std::string(Trim(line.substr(0, equals))),
                                 std::string(Unquote(Trim(line.substr(equals + 1))))});
    }
}

std::optional<IniFile> IniFile::Read(const std::filesystem::path& file) {
    // A database folder is the user's: anything may stand where data.ini
    // should, and a FIFO or a device must not hang or flood the program.
    const std::optional<std::string> text = ReadRegularFile(file, nullptr, kMaxIniBytes);
    if (!text) return std::nullopt;
    return IniFile(*text);
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key) const {
    for (const Entry& entry : entries_)
        if (EqualsIgnoringAsciiCase(entry.section, section) &&
            EqualsIgnoringAsciiCase(entry.key, key))
            return entry.value;
    return std::nullopt;
}

std::optional<std::string> ReadIniString(const std::filesystem::path& file,
                                         std::string_view section, std::string_view key) {
    const auto ini = IniFile::Read(file);
    if (!ini) return std::nullopt;
    return ini->Value(section, key);
}

}  // namespace vk
