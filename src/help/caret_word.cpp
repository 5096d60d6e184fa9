#include "help/caret_word.h"

#include <algorithm>

#include "highlight/tokenizer.h"

namespace vk {
namespace {

constexpr bool IsWordChar(unsigned char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c >= 0x80;
}

// Whether the caret at `column` stands inside a string literal or a comment
// of the line: after its first character and before its end. A comment and
// an unclosed string run to the end of the line, so the caret there is still
// inside them; after a string's closing quote it is outside.
bool InStringOrComment(std::string_view line, std::size_t column) {
    // The tokenizer reads a zero-terminated text.
    const std::string text(line);
    const char* const begin = text.c_str();
    for (const char* p = begin; *p != '\0';) {
        const TokenSpan token = ScanToken(p);
        const auto start = static_cast<std::size_t>(p - begin);
        const auto end = static_cast<std::size_t>(token.end - begin);
        if (start >= column) return false;
        if (token.cls == TokenClass::Comment || token.cls == TokenClass::String) {
            const bool closed =
                token.cls == TokenClass::String && end - start >= 2 && text[end - 1] == '"';
            if (column < end || (column == end && !closed)) return true;
        }
        p = token.end == p ? p + 1 : token.end;
    }
    return false;
}

}  // namespace

std::optional<std::string> HelpWordAt(std::string_view line, std::size_t column) {
    column = std::min(column, line.size());
    if (InStringOrComment(line, column)) return std::nullopt;
    std::size_t start = column;
    while (start > 0 && IsWordChar(static_cast<unsigned char>(line[start - 1]))) --start;
    std::size_t end = column;
    while (end < line.size() && IsWordChar(static_cast<unsigned char>(line[end]))) ++end;
    return std::string(line.substr(start, end - start));
}

}  // namespace vk
