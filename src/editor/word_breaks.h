#pragma once

#include <cstddef>
#include <string_view>

namespace vk {

// Word breaks as the script editor finds them for Ctrl+Left and for the word
// at the caret. Positions are byte offsets into `text` and are clamped to it.

// The start of the word left of `pos`: blanks, tabs and line ends to the left
// are skipped, then everything up to the previous blank, tab or line end.
// So "MsgBox(" gives 0 from 7 and "Dim x" gives 0 from 4 (the blank is
// skipped) and 4 from 5.
[[nodiscard]] std::size_t MoveWordLeft(std::string_view text, std::size_t pos);

// The end of the word at `pos`: the first position from `pos` on whose
// character is not a word character (letters, digits, '_' and bytes from
// 0x80). "MsgBox(x" gives 6 from 2; a position on a delimiter is returned as
// it is.
[[nodiscard]] std::size_t RightWordBreak(std::string_view text, std::size_t pos);

}  // namespace vk
