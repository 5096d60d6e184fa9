#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

class QMenu;

namespace vk {

// One entry of a database, category or form menu. Names are Windows-1252.
struct NameMenuEntry {
    std::string name;
    bool checkable = false;
    bool checked = false;
};

// Replaces the items of `menu` with one item per entry, in order, captioned
// with the name ("&" shown as itself, not as a mnemonic). Qt menus have no
// column breaks, so a long menu is cut into sections of 20 names by a
// separator before items 20, 40 and so on. Choosing an item calls `pick`
// with the entry's name (never the caption). The old items are deleted once
// control returns to the event loop, so an item may rebuild its own menu.
void FillNameMenu(QMenu& menu, const std::vector<NameMenuEntry>& entries,
                  const std::function<void(const std::string& name)>& pick);

// Entries for plain names.
[[nodiscard]] std::vector<NameMenuEntry> NameEntries(const std::vector<std::string>& names);

// Empties `menu` (deleting its items later, as FillNameMenu does).
void ClearNameMenu(QMenu& menu);

// A name as a caption of a menu item or button: "R&D" shows as "R&D".
[[nodiscard]] QString CaptionOf(const std::string& name);

}  // namespace vk
