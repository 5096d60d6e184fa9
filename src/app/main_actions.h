#pragma once

class QAction;
class QWidget;

namespace vk {

// The action list of the main window. Each action's objectName is its member
// name; the window owns them through Qt's parent.
struct MainActions {
    QAction* acLoadDatabases = nullptr;
    QAction* acLoadCategories = nullptr;
    QAction* acLoadForms = nullptr;
    QAction* acEnableEdit = nullptr;
    QAction* acFocusCommence = nullptr;
    QAction* acUpdate = nullptr;
    QAction* acUpdateAndFocus = nullptr;
    QAction* acSaveToDisk = nullptr;
    QAction* acPrintScript = nullptr;
    QAction* acIndentBlock = nullptr;
    QAction* acUnindentBlock = nullptr;
    QAction* acSetNextBookmark = nullptr;
    QAction* acFilterBuilder = nullptr;
    QAction* acShowConfiguration = nullptr;
    QAction* acShowChecksum = nullptr;
};

// Creates the actions with their captions, hints, shortcuts, images and
// enabled state at start. Only the database list, the editor switch, the
// filter builder, the configuration and the checksum start enabled.
MainActions BuildMainActions(QWidget& owner);

}  // namespace vk
