#include "app/main_toolbars.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "app/main_actions.h"

namespace vk {
namespace {

constexpr int kDatabaseButtonWidth = 78;

QToolBar* AddToolbar(QMainWindow& window, const char* name, const char* caption) {
    auto* bar = new QToolBar(QString::fromLatin1(caption), &window);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setMovable(true);
    bar->setFloatable(false);
    bar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    window.addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

QMenu* AddMenu(QWidget& owner, const char* name) {
    auto* menu = new QMenu(&owner);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

// A text-and-image button that runs `action` when clicked and opens `menu`
// from its arrow. Its caption is its own: the editing context sets it to the
// chosen name, and the action's later changes (enabling it) must not put the
// action's caption back, so the button follows only the action's enabled
// state.
QToolButton* AddDropDownButton(QToolBar& bar, const char* name, QAction* action, QMenu* menu) {
    auto* button = new QToolButton(&bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(action->text());
    button->setIcon(action->icon());
    button->setToolTip(action->toolTip());
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // 78 pixels at the least, wider where the caption needs it: an elided
    // "Da…es" or a cut database name tells the user nothing.
    button->setMinimumWidth(kDatabaseButtonWidth);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button,
                     [button, action] { button->setEnabled(action->isEnabled()); });
    bar.addWidget(button);
    return button;
}

}  // namespace

MainToolbars BuildMainToolbars(QMainWindow& window, const MainActions& actions) {
    MainToolbars bars;

    bars.tbStandard = AddToolbar(window, "tbStandard", "Standard");
    bars.tbStandard->addAction(actions.acFocusCommence);
    bars.tbStandard->addSeparator();
    bars.tbStandard->addAction(actions.acUpdateAndFocus);
    bars.tbStandard->addAction(actions.acUpdate);
    bars.tbStandard->addAction(actions.acSaveToDisk);
    bars.tbStandard->addSeparator();
    bars.tbStandard->addAction(actions.acPrintScript);

    bars.tbCodeLayout = AddToolbar(window, "tbCodeLayout", "Code");
    bars.tbCodeLayout->addAction(actions.acIndentBlock);
    bars.tbCodeLayout->addAction(actions.acUnindentBlock);
    bars.tbCodeLayout->addSeparator();
    bars.pmBookmarks = AddMenu(window, "pmBookmarks");
    actions.acSetNextBookmark->setMenu(bars.pmBookmarks);
    bars.tbCodeLayout->addAction(actions.acSetNextBookmark);
    if (auto* button = qobject_cast<QToolButton*>(
            bars.tbCodeLayout->widgetForAction(actions.acSetNextBookmark)))
        button->setPopupMode(QToolButton::MenuButtonPopup);

    bars.tbDatabase = AddToolbar(window, "tbDatabase", "Database");
    bars.pmDatabases = AddMenu(window, "pmDatabases");
    bars.pmCategories = AddMenu(window, "pmCategories");
    bars.pmForms = AddMenu(window, "pmForms");
    bars.tbbDatabases = AddDropDownButton(*bars.tbDatabase, "tbbDatabases", actions.acLoadDatabases,
                                          bars.pmDatabases);
    // The list of databases and which of them Commence has open change
    // behind the program's back, so it is read again each time it opens.
    QObject::connect(bars.pmDatabases, &QMenu::aboutToShow, actions.acLoadDatabases,
                     &QAction::trigger);
    bars.tbDatabase->addSeparator();
    bars.tbbCategories = AddDropDownButton(*bars.tbDatabase, "tbbCategories",
                                           actions.acLoadCategories, bars.pmCategories);
    bars.tbDatabase->addSeparator();
    bars.tbbForms =
        AddDropDownButton(*bars.tbDatabase, "tbbForms", actions.acLoadForms, bars.pmForms);
    return bars;
}

}  // namespace vk
