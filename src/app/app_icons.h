#pragma once

#include <QIcon>

namespace vk {

// The button images of the main window, drawn by the program itself.
enum class AppIcon {
    FocusCommence,
    Update,
    UpdateAndFocus,
    SaveToDisk,
    Print,
    IndentBlock,
    UnindentBlock,
    Bookmark,
    Database,
    Category,
    Form,
    HideWarnings,
};

QIcon MakeIcon(AppIcon icon);

}  // namespace vk
