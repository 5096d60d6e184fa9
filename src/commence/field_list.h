#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vk {

// One entry of a category's field list. A field entry carries the field name
// and its kind code (0 or more). A connection entry carries the connection
// name, a blank and the connected category, tagged with minus (length of the
// connection name + 1), so a reader can split the name off again:
// {"Relates To Contact", -11} is connection "Relates To" to "Contact".
struct FieldListEntry {
    std::string text;
    int tag = 0;
    bool operator==(const FieldListEntry&) const = default;
};

// Kind codes the filter builder and the validation table by.
inline constexpr int kUnknownFieldKind = 18;

// Maps a field definition reply, already cut into lines, to a kind code. The
// first line is the Commence field type number; type 22 is kind 12 when the
// 6th character of the second line is "0" and kind 15 otherwise. Unknown
// types are kind 18. Throws EConvertError when the first line is missing or
// not a decimal integer.
[[nodiscard]] int FieldKindFromDefinition(const std::vector<std::string>& definitionLines);

// Kinds that are left out of field lists.
[[nodiscard]] constexpr bool IsListedFieldKind(int kind) noexcept {
    return kind != 6 && kind != 7 && kind != 9;
}

// Turns a GetConnectionNames reply cut into lines (connection name and
// connected category alternating) into connection entries; an odd last line
// is ignored.
[[nodiscard]] std::vector<FieldListEntry> ConnectionEntries(const std::vector<std::string>& lines);

// The connection name of a connection entry ({"Relates To Contact", -11}
// gives "Relates To"); empty for a field entry.
[[nodiscard]] std::string_view ConnectionNameOf(const FieldListEntry& entry);

}  // namespace vk
