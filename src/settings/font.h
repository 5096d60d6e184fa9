#pragma once

#include <cstdint>
#include <string>

namespace vk {

// Colour values as the registry stores them: 0x00BBGGRR for a plain colour,
// 0xFF0000nn for the system colour number nn.
inline constexpr std::uint32_t kWindowTextColor = 0xFF000008;

enum FontStyleBit : std::uint8_t {
    kBold = 1,
    kItalic = 2,
    kUnderline = 4,
    kStrikeOut = 8,
};

// A font as the colour scheme and the editor use it.
struct TFont {
    std::string name = "Courier New";
    int size = 10;  // points
    std::uint32_t color = kWindowTextColor;
    std::uint8_t style = 0;  // FontStyleBit set

    [[nodiscard]] bool Bold() const { return (style & kBold) != 0; }
    [[nodiscard]] bool Italic() const { return (style & kItalic) != 0; }
    bool operator==(const TFont&) const = default;
};

}  // namespace vk
