#pragma once

// Windows-1252, the character set of Commence's names and scripts, to
// Unicode. Windows puts printable characters at 0x80-0x9F (the euro sign,
// curly quotes...) where Latin-1 has C1 controls, so every conversion to
// Unicode in the program goes through this one table.

#include <array>
#include <string>
#include <string_view>

namespace vk {

// The characters Windows-1252 puts at 0x80-0x9F; the five unassigned codes
// map to the matching C1 control, as Windows does.
inline constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The Unicode character of one Windows-1252 byte.
[[nodiscard]] constexpr char16_t Windows1252ToUnicode(unsigned char byte) noexcept {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t{byte};
}

// The Windows-1252 byte of a Unicode character; '?' for a character the set
// cannot hold, as Windows' own conversion gives.
[[nodiscard]] constexpr char UnicodeToWindows1252(char32_t c) noexcept {
    if (c < 0x80 || (c >= 0xA0 && c < 0x100)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i)
        if (kWindows1252High[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

// Appends one character of the Basic Multilingual Plane as UTF-8.
void AppendUtf8(std::string& out, char16_t c);

[[nodiscard]] std::string Windows1252ToUtf8(std::string_view text);
// Valid UTF-8 (as a JSON parser or Qt hands it over) to Windows-1252.
[[nodiscard]] std::string Utf8ToWindows1252(std::string_view text);
// Latin-1 (X11's STRING property type) to UTF-8.
[[nodiscard]] std::string Latin1ToUtf8(std::string_view text);

}  // namespace vk
