#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace vk {

// The numbers typed into the configuration dialog. Each has a range that
// keeps the editor usable: a text limit of 0 Kb would take no text at all, a
// tab width of 0 would give no indent.
enum class ConfigNumber { MemoryBuffer, GutterWidth, TabWidth, JumpOffset };

struct ConfigNumberRange {
    std::string_view what;  // as the message names it
    std::int32_t min;
    std::int32_t max;
    std::string_view unit;
};

[[nodiscard]] ConfigNumberRange RangeOf(ConfigNumber field) noexcept;

// Reads a field's text (blanks around the number are dropped). Returns the
// number, or the message that says what the field takes:
// "The tab width must be a number from 1 to 32 characters."
[[nodiscard]] std::variant<std::int32_t, std::string> ReadConfigNumber(ConfigNumber field,
                                                                       std::string_view text);

}  // namespace vk
