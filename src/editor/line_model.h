#pragma once

#include <string>
#include <string_view>

namespace vk {

// The editor's text as the rest of the program sees it: a list of lines.
// A line ends at CR LF, or at a lone CR or LF (the editor accepts all three
// when text is pasted or loaded); an empty piece after the last line end is
// not a line.

// Number of lines: "" gives 0, "abc" and "abc\r\n" give 1, "abc\r\n\r\n" 2.
[[nodiscard]] int CountLines(std::string_view text);

// Every line followed by CR LF, the last one included: "a\nb" gives
// "a\r\nb\r\n", "abc\r\n" stays "abc\r\n" and "" stays "".
[[nodiscard]] std::string CanonicalText(std::string_view text);

}  // namespace vk
