#include "common/text_helpers.h"

#include <algorithm>
#include <charconv>

#include "common/exceptions.h"

namespace vk {

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t cr = text.find('\r', start);
        if (cr == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, cr - start));
        // Skip the CR and the character after it (the LF of CR LF).
        start = cr + 2;
        if (start >= text.size()) {
            lines.emplace_back();
            break;
        }
    }
    return lines;
}

std::string_view StripComment(std::string_view line) {
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            inString = !inString;
        else if (line[i] == '\'' && !inString)
            return line.substr(0, i);
    }
    return line;
}

std::int32_t StrToInt(std::string_view text) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    std::int32_t value = 0;
    const auto* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || ec != std::errc() || ptr != end)
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

std::string FoldAsciiCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = AsciiLower(c);
    return folded;
}

}  // namespace vk
