#include "editor/line_model.h"

#include "common/line_ends.h"

namespace vk {

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
