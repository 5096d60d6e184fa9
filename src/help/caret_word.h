#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vk {

// The word the syntax help looks up with the caret at `column` of a script
// line (0 is before the first character): the run of word characters
// (letters, digits, '_' and bytes from 0x80) that the caret stands in or
// touches, so a caret just before or just after a word is on it.
//
//   "x = Left(strName, 3)" at 12 gives "strName", not the function it is
//   passed to;  "abs(y)" at 3 gives "abs";  "a = b" at 2 gives "".
//
// Empty on white space, on symbols and on an empty line. Nothing inside a
// string literal or a comment: a word there is text, with no topic of its
// own ("MsgBox \"closing test\"" at 16 gives nothing).
[[nodiscard]] std::optional<std::string> HelpWordAt(std::string_view line, std::size_t column);

}  // namespace vk
