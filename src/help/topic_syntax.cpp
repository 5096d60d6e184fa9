#include "help/topic_syntax.h"

#include "common/file_bytes.h"
#include "help/text_lines.h"

namespace vk {
namespace {

constexpr std::string_view kSyntaxHeading = "<H5>Syntax</H5>";
constexpr std::string_view kBlockQuote = "<BLOCKQUOTE>";

std::string StripTags(std::string_view line) {
    std::string result;
    for (;;) {
        const std::size_t open = line.find('<');
        if (open == std::string_view::npos) break;
        result.append(line.substr(0, open));
        // The tag ends at the first ">" after its "<": a ">" in the text
        // before the tag would otherwise make that text come out twice.
        const std::size_t close = line.find('>', open);
        if (close == std::string_view::npos) break;  // an unclosed tag ends the line
        line = line.substr(close + 1);
    }
    return result;
}

// Trims blanks, tabs and the other control characters at both ends.
std::string TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

}  // namespace

std::string ExtractSyntax(std::string_view page) {
    const std::vector<std::string_view> lines = TextFileLines(page);
    std::size_t i = 0;
    while (i < lines.size() && lines[i] != kSyntaxHeading) ++i;
    for (++i; i < lines.size(); ++i) {
        if (lines[i].empty() || lines[i] == kBlockQuote) continue;
        return TrimBlanks(StripTags(lines[i]));
    }
    return {};
}

std::string GetSyntax(const std::string& path) {
    const std::optional<std::string> page = ReadRegularFile(path, nullptr, kMaxHelpPageBytes);
    return page ? ExtractSyntax(*page) : std::string();
}

}  // namespace vk
