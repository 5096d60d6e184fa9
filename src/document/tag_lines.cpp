#include "document/tag_lines.h"

#include "document/script_checksum.h"

namespace vk {
namespace {

constexpr std::size_t kMaxUserName = 50;

}  // namespace

std::string CategoryTagLine(std::string_view category, std::string_view form) {
    std::string line(kCategoryTagPrefix);
    line.append(category).append(", ").append(form);
    return line;
}

std::string SavedTagLine(std::string_view dateTime, std::string_view computer,
                         std::string_view user) {
    std::string line(kSavedTagPrefix);
    line.append(dateTime).append(" on \\\\").append(computer).append(" by ").append(user);
    return line;
}

std::string ChecksumTagLine(std::uint32_t checksum) {
    return std::string(kChecksumTagPrefix) + FormatChecksum(checksum);
}

std::string SavedTagUserName(std::string_view preferenceReply) {
    std::string_view name = preferenceReply;
    if (const auto tab = name.find('\t'); tab != std::string_view::npos)
        name.remove_prefix(tab + 1);
    name = name.substr(0, kMaxUserName);
    // A line break in the name would split the tag and leave a stray line
    // behind on every save.
    name = name.substr(0, name.find_first_of("\r\n"));
    return std::string(name);
}

}  // namespace vk
