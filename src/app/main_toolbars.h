#pragma once

class QMainWindow;
class QMenu;
class QToolBar;
class QToolButton;

namespace vk {

struct MainActions;

// The three toolbars and the drop-down menus their buttons open. The menus
// are filled at run time by the database, category and form lists and by
// the bookmarks.
struct MainToolbars {
    QToolBar* tbStandard = nullptr;
    QToolBar* tbCodeLayout = nullptr;
    QToolBar* tbDatabase = nullptr;
    QToolButton* tbbDatabases = nullptr;
    QToolButton* tbbCategories = nullptr;
    QToolButton* tbbForms = nullptr;
    QMenu* pmDatabases = nullptr;
    QMenu* pmCategories = nullptr;
    QMenu* pmForms = nullptr;
    QMenu* pmBookmarks = nullptr;
};

// Docks "Standard", "Code" and "Database" at the top of the window; each can
// be dragged to the bottom and back, nowhere else (the window's top and
// bottom toolbar areas are its two docking sites). Opening the databases
// menu runs acLoadDatabases first.
MainToolbars BuildMainToolbars(QMainWindow& window, const MainActions& actions);

}  // namespace vk
