#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vk {

// The word the help looks up, from the text between the word breaks around
// the caret: only what stands before a carriage return, then only what
// follows the first blank, then only what stands before a "(".
//
//   "abs(x"  gives "abs";   "Dim x"  gives "x";   "If\r\n"  gives "If"
[[nodiscard]] std::string TrimCaretWord(std::string_view word);

// The word at position `pos` of `text`: from the start of the word left of
// it (MoveWordLeft) to the end of the word at it (RightWordBreak), trimmed by
// TrimCaretWord. Empty on white space.
[[nodiscard]] std::string WordAtCaret(std::string_view text, std::size_t pos);

}  // namespace vk
