#pragma once

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace vk {

struct MainActions;

// The items of the main menu that have no action of their own.
struct MainMenuItems {
    QAction* miExit = nullptr;
    QAction* miUndo = nullptr;
    QAction* miRedo = nullptr;
    QAction* miCut = nullptr;
    QAction* miCopy = nullptr;
    QAction* miPaste = nullptr;
    QAction* miSelectAll = nullptr;
    QAction* miFindReplace = nullptr;
    QAction* miFindNext = nullptr;      // F3: the last search again, downward
    QAction* miFindPrevious = nullptr;  // Shift+F3: the last search, upward
    QAction* miConfigEditor = nullptr;
    QAction* miConfigFilterBuilder = nullptr;
    QAction* miConfigCodeBrowser = nullptr;
    QAction* miSyntaxHelp = nullptr;
    QAction* miAbout = nullptr;
};

// Builds the main menu `mmMain` (File, Edit, Configure, Tools, Help) as the
// window's menu bar. The items are returned unconnected.
MainMenuItems BuildMainMenu(QMainWindow& window, const MainActions& actions);

// The editor's context menu `pmScript`: the editing items of the Edit menu
// (the same actions) with "&Delete", then "&Goto..." with "&Line number".
struct ScriptMenu {
    QMenu* pmScript = nullptr;
    QAction* miDelete = nullptr;
    QAction* miGotoLine = nullptr;
};

ScriptMenu BuildScriptMenu(QWidget& owner, const MainMenuItems& items);

}  // namespace vk
