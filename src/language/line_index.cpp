#include "language/line_index.h"

#include <algorithm>
#include <cstring>

namespace vk::language {

LineIndex LineIndex::Of(std::string_view text) {
    LineIndex index;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    for (const char* p = begin; p < end; ++p) {
        if (*p == '\n') {
            index.AddLineStart(static_cast<std::uint32_t>(p + 1 - begin));
        } else if (*p == '\r') {
            if (p + 1 < end && p[1] == '\n') ++p;
            index.AddLineStart(static_cast<std::uint32_t>(p + 1 - begin));
        }
    }
    return index;
}

LinePosition LineIndex::PositionOf(std::uint32_t offset) const noexcept {
    // The last line that starts at or before the offset.
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
    const auto line = static_cast<std::uint32_t>(after - starts_.begin());
    return {line, offset - starts_[line - 1] + 1};
}

}  // namespace vk::language
