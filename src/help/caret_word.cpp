#include "help/caret_word.h"

#include <algorithm>

#include "editor/word_breaks.h"

namespace vk {

std::string TrimCaretWord(std::string_view word) {
    if (const std::size_t cr = word.find('\r'); cr != std::string_view::npos)
        word = word.substr(0, cr);
    if (const std::size_t blank = word.find(' '); blank != std::string_view::npos)
        word = word.substr(blank + 1);
    if (const std::size_t paren = word.find('('); paren != std::string_view::npos)
        word = word.substr(0, paren);
    return std::string(word);
}

std::string WordAtCaret(std::string_view text, std::size_t pos) {
    pos = std::min(pos, text.size());
    const std::size_t start = MoveWordLeft(text, pos);
    const std::size_t end = std::max(start, RightWordBreak(text, pos));
    return TrimCaretWord(text.substr(start, end - start));
}

}  // namespace vk
