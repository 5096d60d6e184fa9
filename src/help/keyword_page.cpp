#include "help/keyword_page.h"

#include <filesystem>

#include "help/text_lines.h"

namespace vk {
namespace {

constexpr std::string_view kEntryStart = "<A href=\"";
constexpr std::string_view kTargetEnd = "\">";
constexpr std::string_view kTextEnd = "</";

// A target that stays inside the documentation folder: relative, and with no
// ".." step in either separator's reading.
bool StaysInFolder(std::string_view target) {
    if (target.empty() || target.front() == '/' || target.front() == '\\') return false;
    if (target.size() > 1 && target[1] == ':') return false;  // a drive: "C:..."
    std::size_t start = 0;
    while (start <= target.size()) {
        std::size_t end = target.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = target.size();
        if (target.substr(start, end - start) == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

std::string JoinTopicPath(std::string_view dir, std::string_view target) {
    if (dir.empty()) return std::string(target);
    return (std::filesystem::path(dir) / std::filesystem::path(target)).string();
}

std::vector<HelpTopic> ParseKeywordPage(std::string_view page, std::string_view dir) {
    std::vector<HelpTopic> topics;
    for (const std::string_view line : TextFileLines(page)) {
        if (!line.starts_with(kEntryStart)) continue;
        std::string_view rest = line.substr(kEntryStart.size());
        const std::size_t targetEnd = rest.find(kTargetEnd);
        if (targetEnd == std::string_view::npos) continue;
        const std::string_view target = rest.substr(0, targetEnd);
        if (!StaysInFolder(target)) continue;
        rest = rest.substr(targetEnd + kTargetEnd.size());
        const std::string_view text = rest.substr(0, rest.find(kTextEnd));
        topics.push_back({std::string(text), JoinTopicPath(dir, target)});
    }
    return topics;
}

}  // namespace vk
