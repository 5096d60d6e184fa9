#pragma once

#include <string_view>
#include <vector>

namespace vk {

// Cuts a text file's contents into lines as a line-by-line reader sees them:
// a line ends at CR LF, LF or a lone CR, and the line end is not part of the
// line. A last line without a line end still counts; an empty text has no
// lines. The views point into `text`.
[[nodiscard]] std::vector<std::string_view> TextFileLines(std::string_view text);

}  // namespace vk
