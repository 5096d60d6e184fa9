#include "settings/config_numbers.h"

#include <charconv>

namespace vk {

ConfigNumberRange RangeOf(ConfigNumber field) noexcept {
    switch (field) {
        case ConfigNumber::MemoryBuffer:
            // Four digits, as the field takes them.
            return {"memory buffer", 1, 9999, "Kb"};
        case ConfigNumber::GutterWidth:
            return {"left gutter", 0, 200, "pixels"};
        case ConfigNumber::TabWidth:
            return {"tab width", 1, 32, "characters"};
        case ConfigNumber::JumpOffset:
            return {"jump offset", 0, 100, "lines"};
    }
    return {"number", 0, 0, ""};
}

std::variant<std::int32_t, std::string> ReadConfigNumber(ConfigNumber field,
                                                         std::string_view text) {
    const ConfigNumberRange range = RangeOf(field);
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    if (first != std::string_view::npos) text = text.substr(first, last - first + 1);

    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (!text.empty() && error == std::errc{} && stop == end && value >= range.min &&
        value <= range.max)
        return value;
    return "The " + std::string(range.what) + " must be a number from " +
           std::to_string(range.min) + " to " + std::to_string(range.max) + " " +
           std::string(range.unit) + ".";
}

}  // namespace vk
