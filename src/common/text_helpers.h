#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// Cuts a multi-line reply into lines. The text is cut at every CR and the
// character after it (the LF) is skipped; the piece after the last CR is always
// added, even when empty, so "a\r\nb\r\n" gives {"a", "b", ""}. An empty text
// gives an empty list.
[[nodiscard]] std::vector<std::string> SplitLines(std::string_view text);

// The part of a script line before its comment: everything up to, not
// including, the first apostrophe outside double quotes. Each double quote
// toggles between inside and outside a string. No trimming.
[[nodiscard]] std::string_view StripComment(std::string_view line);

// Reads a whole text as a decimal integer with an optional sign, as the
// Commence replies carry them ("0", "-3"). Leading and trailing blanks are not
// allowed. Throws EConvertError ("'x' is not a valid integer value").
[[nodiscard]] std::int32_t StrToInt(std::string_view text);

}  // namespace vk
