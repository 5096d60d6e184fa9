#pragma once

#include <cstdint>

namespace vk::language {

// A piece of the checked text as byte offsets. Offsets are 32-bit: a script
// is far below 4 GiB (Commence takes 64 MiB at most), and the syntax tree of
// a long script stays small.
struct TextRange {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;

    [[nodiscard]] constexpr std::uint32_t End() const noexcept { return offset + length; }
    [[nodiscard]] constexpr bool Contains(std::uint32_t at) const noexcept {
        return at >= offset && at - offset < length;
    }
    bool operator==(const TextRange&) const = default;
};

[[nodiscard]] constexpr TextRange RangeBetween(std::uint32_t begin, std::uint32_t end) noexcept {
    return {begin, end >= begin ? end - begin : 0};
}

}  // namespace vk::language
