#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "filters/view_filter.h"

namespace vk {

// A ViewFilter command read back from a script line.
struct ViewFilterReading {
    // Where the command stands on the line, its enclosing quotation marks
    // included; both 0 when the line holds none.
    std::size_t begin = 0;
    std::size_t end = 0;
    // The builder's inputs that compose the same command, or nothing with the
    // reason in `problem` (for example "unknown comparison "Near"").
    std::optional<ViewFilterInputs> inputs;
    std::string problem;
    [[nodiscard]] bool found() const { return end > begin; }
};

// Reads the first "[ViewFilter(...)]" command on a line, in any of the three
// quote styles: enclosed in double quotes with names in four double quotes
// each, in single quotes with names in one double quote each, or bare.
//
// The command does not say a field's kind, only its comparison, so the field
// entry's tag is one kind that has that comparison ("Is Between" reads as a
// text field), and every page that has the comparison is set to it: a caller
// that knows the field's real kind can put it in the tag and compose the
// same command. Filter numbers other than 1 to 4 are not read back, since
// the builder has four filters. What is read back composes to exactly the
// command's text; anything else is refused with a reason.
[[nodiscard]] ViewFilterReading ReadViewFilter(std::string_view line);

// The connection entry for a connection and its category, tagged so the
// connection name can be split off again: {"Relates To Company", -11}.
[[nodiscard]] FilterEntry ConnectionEntry(std::string_view connection, std::string_view category);

}  // namespace vk
