#include "app/name_menu.h"

#include <QAction>
#include <QMenu>

#include "commence/menu_columns.h"
#include "editor/ansi_text.h"

namespace vk {

QString CaptionOf(const std::string& name) {
    QString caption = FromAnsi(name);
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    return caption;
}

void ClearNameMenu(QMenu& menu) {
    const QList<QAction*> old = menu.actions();
    for (QAction* action : old) {
        menu.removeAction(action);
        action->disconnect();
        if (action->parent() == &menu) action->deleteLater();
    }
}

void FillNameMenu(QMenu& menu, const std::vector<NameMenuEntry>& entries,
                  const std::function<void(const std::string& name)>& pick) {
    ClearNameMenu(menu);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const NameMenuEntry& entry = entries[i];
        if (i > 0 && StartsMenuColumn(i)) {
            auto* brk = new QAction(&menu);
            brk->setSeparator(true);
            menu.addAction(brk);
        }
        auto* item = new QAction(CaptionOf(entry.name), &menu);
        item->setCheckable(entry.checkable);
        item->setChecked(entry.checked);
        QObject::connect(item, &QAction::triggered, &menu,
                         [pick, name = entry.name] { pick(name); });
        menu.addAction(item);
    }
}

std::vector<NameMenuEntry> NameEntries(const std::vector<std::string>& names) {
    std::vector<NameMenuEntry> entries;
    entries.reserve(names.size());
    for (const std::string& name : names) entries.push_back({name, false, false});
    return entries;
}

}  // namespace vk
