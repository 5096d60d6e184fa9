#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// Hexadecimal digits as the program writes them (checksums, registry
// binaries, RTF escapes): lower case.
inline constexpr char kHexDigits[] = "0123456789abcdef";

// ASCII case folding, as Commence and the registry compare names: only A-Z
// change, so an offset into the folded text is an offset into the original.
[[nodiscard]] constexpr char AsciiLower(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
[[nodiscard]] bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
[[nodiscard]] std::string FoldAsciiCase(std::string_view text);

// The value of one hexadecimal digit in either case; -1 for any other
// character.
[[nodiscard]] constexpr int HexDigitValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Cuts a multi-line reply into lines. The text is cut at every CR and the
// character after it (the LF) is skipped; the piece after the last CR is always
// added, even when empty, so "a\r\nb\r\n" gives {"a", "b", ""}. An empty text
// gives an empty list.
[[nodiscard]] std::vector<std::string> SplitLines(std::string_view text);

// The part of a script line before its comment: everything up to, not
// including, the first apostrophe outside double quotes. Each double quote
// toggles between inside and outside a string. No trimming.
[[nodiscard]] std::string_view StripComment(std::string_view line);

// Reads a whole text as a decimal integer with an optional sign, as the
// Commence replies carry them ("0", "-3"). Leading and trailing blanks are not
// allowed. Throws EConvertError ("'x' is not a valid integer value").
[[nodiscard]] std::int32_t StrToInt(std::string_view text);

}  // namespace vk
