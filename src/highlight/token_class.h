#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vk {

// The classes a script token can belong to. The order is fixed: it is the
// index of the class's font in the colour stream, the row order of the
// configuration dialog's class list, and each name below is the registry
// value name of the class's colour record.
enum class TokenClass : std::uint8_t {
    Comment,
    Directive,
    Hexadecimal,
    Identifier,
    Keyword,
    Number,
    String,
    Symbol,
    Whitespace,
};

inline constexpr std::size_t kTokenClassCount = 9;

inline constexpr std::array<std::string_view, kTokenClassCount> kTokenClassNames = {
    "Comment", "Directive", "Hexadecimal", "Identifier", "Keyword",
    "Number",  "String",    "Symbol",      "Whitespace",
};

[[nodiscard]] constexpr std::size_t IndexOf(TokenClass cls) noexcept {
    return static_cast<std::size_t>(cls);
}

[[nodiscard]] constexpr std::string_view TokenClassName(TokenClass cls) noexcept {
    return kTokenClassNames[IndexOf(cls)];
}

}  // namespace vk
