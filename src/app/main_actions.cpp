#include "app/main_actions.h"

#include <QAction>
#include <QWidget>
#include <optional>
#include <string_view>

#include "app/app_icons.h"

namespace vk {
namespace {

struct ActionEntry {
    QAction* MainActions::*member;
    const char* name;
    const char* caption;
    const char* hint;  // status tip and tool tip; empty for none
    const char* shortcut;
    bool enabled;
    std::optional<AppIcon> icon;
};

// clang-format off
const ActionEntry kActions[] = {
    {&MainActions::acLoadDatabases, "acLoadDatabases", "Databases", "", "", true, AppIcon::Database},
    {&MainActions::acLoadCategories, "acLoadCategories", "Categories", "", "", false, AppIcon::Category},
    {&MainActions::acLoadForms, "acLoadForms", "Forms", "", "", false, AppIcon::Form},
    {&MainActions::acEnableEdit, "acEnableEdit", "Enable Editor", "", "", true, std::nullopt},
    {&MainActions::acFocusCommence, "acFocusCommence", "Focus &Commence", "Focus Commence",
     "Ctrl+Alt+C", false, AppIcon::FocusCommence},
    {&MainActions::acUpdate, "acUpdate", "&Update", "Update script in Commence", "Ctrl+U", false,
     AppIcon::Update},
    {&MainActions::acUpdateAndFocus, "acUpdateAndFocus", "Update and Focu&s",
     "Update script & focus Commence", "Ctrl+S", false, AppIcon::UpdateAndFocus},
    {&MainActions::acSaveToDisk, "acSaveToDisk", "Save to disk", "Save the script to disk", "",
     false, AppIcon::SaveToDisk},
    {&MainActions::acPrintScript, "acPrintScript", "&Print", "Print the current script", "", false,
     AppIcon::Print},
    {&MainActions::acIndentBlock, "acIndentBlock", "", "Indent block", "", false,
     AppIcon::IndentBlock},
    {&MainActions::acUnindentBlock, "acUnindentBlock", "", "Unindent block", "", false,
     AppIcon::UnindentBlock},
    {&MainActions::acSetNextBookmark, "acSetNextBookmark", "Set Bookmark", "Set & Go to bookmarks",
     "", false, AppIcon::Bookmark},
    {&MainActions::acFilterBuilder, "acFilterBuilder", "&Filter Builder",
     "Aids in the construction of ViewFilter commands", "", true, std::nullopt},
    {&MainActions::acShowConfiguration, "acShowConfiguration", "Configure", "", "", true,
     std::nullopt},
    {&MainActions::acShowChecksum, "acShowChecksum", "Show CheckSum", "", "", true, std::nullopt},
};
// clang-format on

}  // namespace

MainActions BuildMainActions(QWidget& owner) {
    MainActions actions;
    for (const ActionEntry& entry : kActions) {
        auto* action = new QAction(QString::fromLatin1(entry.caption), &owner);
        action->setObjectName(QString::fromLatin1(entry.name));
        const QString hint = QString::fromLatin1(entry.hint);
        action->setStatusTip(hint);
        if (!hint.isEmpty()) action->setToolTip(hint);
        if (*entry.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
        if (entry.icon) action->setIcon(MakeIcon(*entry.icon));
        action->setEnabled(entry.enabled);
        // Added to the window itself so that the shortcuts work wherever the
        // action's buttons are docked, or when its toolbar is hidden.
        owner.addAction(action);
        actions.*entry.member = action;
    }
    return actions;
}

}  // namespace vk
