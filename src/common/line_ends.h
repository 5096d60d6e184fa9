#pragma once

#include <cstddef>
#include <string_view>

namespace vk {

// The one rule for where a script line ends, shared by the editor's line model
// and every reader of script files, so that a text has the same lines (and
// the same checksum) wherever it is read: a line ends at CR LF, or at a lone
// CR or LF; an empty piece after the last line end is not a line.
//
// Calls `line(begin, end)` for every line, without its line end:
// "a\nb\r\nc" gives [0,1), [2,3), [5,6).
template <typename F>
void ForEachLine(std::string_view text, F&& line) {
    std::size_t begin = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        line(begin, i);
        i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        begin = i;
    }
    if (begin < text.size()) line(begin, text.size());
}

}  // namespace vk
