#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

class Registry;

// A strict "comes before" order on database names.
using NameOrder = std::function<bool(std::string_view, std::string_view)>;

// The user's locale collation on upper-cased names (case-insensitive),
// falling back to byte order when the environment names no usable locale.
// The main window passes a QCollator-based order instead.
[[nodiscard]] NameOrder LocaleNameOrder();

// One item of the Databases menu.
struct DatabaseMenuItem {
    std::string name;
    bool startsColumn = false;  // items 0, 20, 40 ... open a new column
    bool checked = false;       // Commence has the database open
    bool operator==(const DatabaseMenuItem&) const = default;
};

// The Databases menu: the names of both hives (duplicates kept) sorted by
// `order` (names that compare equal keep their directory order). Unless
// `noDdeCheck`, each item is checked when a Commence conversation for it opens
// (without starting anything); one conversation serves the whole build.
[[nodiscard]] std::vector<DatabaseMenuItem> BuildDatabaseMenu(Registry& registry, bool noDdeCheck,
                                                              const NameOrder& order);

}  // namespace vk
