#include "app/main_menus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "app/main_actions.h"

namespace vk {
namespace {

QMenu* AddMenu(QMenuBar& bar, const char* name, const char* caption) {
    QMenu* menu = bar.addMenu(QString::fromLatin1(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* AddItem(QMenu& menu, const char* name, const char* caption, const char* shortcut = "") {
    QAction* item = menu.addAction(QString::fromLatin1(caption));
    item->setObjectName(QString::fromLatin1(name));
    if (*shortcut) item->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    return item;
}

// An editing item whose keys the editor handles itself while it has the
// focus (typing them there keeps its key events, which recolouring and the
// other behaviours listen to). The menu shows the shortcut; the shortcut
// belongs to the menu alone, so the window never takes the key away.
QAction* AddEditorItem(QMenu& menu, const char* name, const char* caption, const char* shortcut) {
    QAction* item = AddItem(menu, name, caption, shortcut);
    item->setShortcutContext(Qt::WidgetShortcut);
    return item;
}

}  // namespace

MainMenuItems BuildMainMenu(QMainWindow& window, const MainActions& actions) {
    QMenuBar* bar = window.menuBar();
    bar->setObjectName(QStringLiteral("mmMain"));
    MainMenuItems items;

    QMenu* file = AddMenu(*bar, "miFile", "&File");
    file->addAction(actions.acUpdate);
    file->addAction(actions.acUpdateAndFocus);
    file->addAction(actions.acFocusCommence);
    file->addSeparator();
    items.miExit = AddItem(*file, "miExit", "E&xit");

    QMenu* edit = AddMenu(*bar, "miEdit", "&Edit");
    items.miUndo = AddEditorItem(*edit, "miUndo", "&Undo", "Ctrl+Z");
    items.miRedo = AddEditorItem(*edit, "miRedo", "&Redo", "Ctrl+Y");
    edit->addSeparator();
    items.miCut = AddEditorItem(*edit, "miCut", "Cu&t", "Ctrl+X");
    items.miCopy = AddEditorItem(*edit, "miCopy", "&Copy", "Ctrl+C");
    items.miPaste = AddEditorItem(*edit, "miPaste", "&Paste", "Ctrl+V");
    items.miSelectAll = AddEditorItem(*edit, "miSelectAll", "Select &All", "Ctrl+A");
    edit->addSeparator();
    items.miFindReplace = AddItem(*edit, "miFindReplace", "&Find/Replace", "Ctrl+F");
    items.miFindNext = AddItem(*edit, "miFindNext", "Find &Next", "F3");
    items.miFindPrevious = AddItem(*edit, "miFindPrevious", "Find Pre&vious", "Shift+F3");

    QMenu* configure = AddMenu(*bar, "miConfigure", "&Configure");
    items.miConfigEditor = AddItem(*configure, "miConfigEditor", "&Editor");
    items.miConfigFilterBuilder = AddItem(*configure, "miConfigFilterBuilder", "&Filter Builder");
    items.miConfigCodeBrowser = AddItem(*configure, "miConfigCodeBrowser", "&Code Browser");

    QMenu* tools = AddMenu(*bar, "miTools", "&Tools");
    tools->addAction(actions.acFilterBuilder);
    tools->addAction(actions.acShowChecksum);

    QMenu* help = AddMenu(*bar, "miHelp", "&Help");
    items.miSyntaxHelp = AddItem(*help, "miSyntaxHelp", "Syntax Help", "F1");
    help->addSeparator();
    items.miAbout = AddItem(*help, "miAbout", "&About");
    return items;
}

ScriptMenu BuildScriptMenu(QWidget& owner, const MainMenuItems& items) {
    ScriptMenu menu;
    menu.pmScript = new QMenu(&owner);
    QMenu& pm = *menu.pmScript;
    pm.setObjectName(QStringLiteral("pmScript"));
    pm.addActions({items.miUndo, items.miRedo});
    pm.addSeparator();
    pm.addActions({items.miCut, items.miCopy, items.miPaste});
    menu.miDelete = AddEditorItem(pm, "miDelete", "&Delete", "Del");
    pm.addSeparator();
    pm.addAction(items.miSelectAll);
    pm.addSeparator();
    pm.addAction(items.miFindReplace);
    QMenu* go = pm.addMenu(QStringLiteral("&Goto..."));
    go->setObjectName(QStringLiteral("miGoto"));
    go->menuAction()->setObjectName(QStringLiteral("miGoto"));
    menu.miGotoLine = AddItem(*go, "miGotoLine", "&Line number");
    return menu;
}

}  // namespace vk
