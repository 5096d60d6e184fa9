#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vk::language {

// A place in the text as an editor shows it: both counted from 1, the column
// in bytes (the text is single-byte).
struct LinePosition {
    std::uint32_t line = 1;
    std::uint32_t column = 1;
    bool operator==(const LinePosition&) const = default;
};

// Where each line starts. A line ends at CR LF, LF or a lone CR, so a file
// written on any system numbers its lines as an editor shows them.
class LineIndex {
public:
    LineIndex() = default;
    // The line starts of `text`, found in one pass.
    [[nodiscard]] static LineIndex Of(std::string_view text);

    // For builders that meet the line ends themselves (the lexer): the
    // offset just after a line end, in increasing order.
    void Reset(std::size_t expectedLines = 0) {
        starts_.assign(1, 0);
        starts_.reserve(expectedLines);
    }
    void AddLineStart(std::uint32_t offset) { starts_.push_back(offset); }

    [[nodiscard]] std::uint32_t LineCount() const noexcept {
        return static_cast<std::uint32_t>(starts_.size());
    }
    // The offset of a line's first byte; `line` counts from 1.
    [[nodiscard]] std::uint32_t LineStart(std::uint32_t line) const noexcept {
        return starts_[line - 1];
    }
    [[nodiscard]] LinePosition PositionOf(std::uint32_t offset) const noexcept;

private:
    std::vector<std::uint32_t> starts_{0};
};

}  // namespace vk::language
