#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commence/field_list.h"

namespace vk {

class Registry;

// The names that drive the Categories and Forms menus and the filter builder,
// each in reply order with duplicates kept. A reply ending in CR LF gives a
// last, empty name, as Commence means it.

// The database's categories, starting Commence when it does not answer.
// Throws EDBNotReady ("The database <db> is not ready") when it still does not.
[[nodiscard]] std::vector<std::string> LoadCategoryNames(Registry& registry,
                                                         std::string_view database);

// The category's detail forms, starting Commence when it does not answer.
// Nothing (and no message) when the conversation does not open.
[[nodiscard]] std::optional<std::vector<std::string>> LoadFormNames(Registry& registry,
                                                                    std::string_view database,
                                                                    std::string_view category);

// Fills `list` with the category's fields (name and kind code; kinds 6, 7 and
// 9 left out) and then its connections ("<connection> <category>" tagged with
// minus (connection name length + 1)). Does not start Commence. Throws
// EDBNotReady when Commence does not answer, EConvertError when a field
// definition does not start with a type number; `list` then keeps the entries
// added so far.
void LoadFieldsAndConnections(std::string_view database, std::string_view category,
                              std::vector<FieldListEntry>& list);

// Fills `list` with the category's item names; leaves it empty, silently,
// when Commence does not answer or has none. Does not start Commence.
void LoadItemNames(std::string_view database, std::string_view category,
                   std::vector<std::string>& list);

// The computer and logon user names used in the saved tag line.
struct MachineNames {
    std::string computerName;
    std::string userName;
};
[[nodiscard]] MachineNames ReadMachineNames();

}  // namespace vk
