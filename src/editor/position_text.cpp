#include "editor/position_text.h"

#include <cstdio>

namespace vk {
namespace {

// Blanks, tabs and every other control character count as indentation.
constexpr bool isIndentation(unsigned char c) noexcept { return c <= 32; }

int IndentationLength(std::string_view line) {
    std::size_t n = 0;
    while (n < line.size() && isIndentation(static_cast<unsigned char>(line[n]))) ++n;
    return static_cast<int>(n);
}

}  // namespace

std::string FormatCaretPlace(const CaretPlace& place) {
    char buffer[96];
    if (place.textLength == 0) {
        std::snprintf(buffer, sizeof buffer, "%d / %d", place.pos + 1, place.textLength);
        return buffer;
    }
    const int col = place.pos - place.lineStart + 1;
    const int character = col - IndentationLength(place.line);
    std::snprintf(buffer, sizeof buffer, "Row %d  Col %d  Char %d  Asc %3.3d", place.row + 1, col,
                  character, static_cast<int>(place.next));
    return buffer;
}

}  // namespace vk
