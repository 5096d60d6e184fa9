#pragma once

#include <QRect>

#include "common/messages.h"

class QWidget;

namespace vk {

// Moves a top-level window, frame included, off `area` (screen pixels) so
// that what lies there stays in sight: below the area when the screen has
// room for it there, else above it, else beside it. A window that covers
// none of the area stays where it is.
void MoveWindowOffArea(QWidget& window, const QRect& area);

[[nodiscard]] inline QRect ToRect(const ScreenArea& area) {
    return {area.x, area.y, area.width, area.height};
}
[[nodiscard]] inline ScreenArea ToScreenArea(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

}  // namespace vk
