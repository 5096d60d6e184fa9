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
    items.miCut = AddItem(*edit, "miCut", "Cu&t");
    items.miCopy = AddItem(*edit, "miCopy", "&Copy");
    items.miPaste = AddItem(*edit, "miPaste", "&Paste");
    items.miSelectAll = AddItem(*edit, "miSelectAll", "Select &All");
    edit->addSeparator();
    items.miFindReplace = AddItem(*edit, "miFindReplace", "&Find/Replace", "Ctrl+F");

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

ScriptMenu BuildScriptMenu(QWidget& owner) {
    ScriptMenu menu;
    menu.pmScript = new QMenu(&owner);
    menu.pmScript->setObjectName(QStringLiteral("pmScript"));
    QMenu* go = menu.pmScript->addMenu(QStringLiteral("&Goto..."));
    go->setObjectName(QStringLiteral("miGoto"));
    go->menuAction()->setObjectName(QStringLiteral("miGoto"));
    menu.miGotoLine = AddItem(*go, "miGotoLine", "&Line number");
    return menu;
}

}  // namespace vk
