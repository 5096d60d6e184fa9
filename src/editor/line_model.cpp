#include "editor/line_model.h"

namespace vk {

namespace {

// Calls `line(begin, end)` for every line of the text, without its line end.
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

}  // namespace

int CountLines(std::string_view text) {
    int count = 0;
    ForEachLine(text, [&](std::size_t, std::size_t) { ++count; });
    return count;
}

std::string CanonicalText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    ForEachLine(text, [&](std::size_t begin, std::size_t end) {
        out.append(text.substr(begin, end - begin));
        out += "\r\n";
    });
    return out;
}

}  // namespace vk
