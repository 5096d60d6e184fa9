#include "app/keep_clear.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vk {
namespace {

// Space left between the area and the window.
constexpr int kGap = 8;

}  // namespace

void MoveWindowOffArea(QWidget& window, const QRect& area) {
    const QRect frame = window.frameGeometry();
    if (area.isEmpty() || !frame.intersects(area)) return;
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect desk = screen->availableGeometry();
    const auto fitsVertically = [&](int top) {
        return top >= desk.top() && top + frame.height() - 1 <= desk.bottom();
    };
    const auto fitsHorizontally = [&](int left) {
        return left >= desk.left() && left + frame.width() - 1 <= desk.right();
    };
    // Kept on the screen sideways when it moves up or down.
    const int left = std::clamp(frame.left(), desk.left(),
                                std::max(desk.left(), desk.right() + 1 - frame.width()));
    const int top = std::clamp(frame.top(), desk.top(),
                               std::max(desk.top(), desk.bottom() + 1 - frame.height()));
    // move() places the frame of a top-level window.
    if (const int below = area.bottom() + 1 + kGap; fitsVertically(below))
        window.move(left, below);
    else if (const int above = area.top() - kGap - frame.height(); fitsVertically(above))
        window.move(left, above);
    else if (const int right = area.right() + 1 + kGap; fitsHorizontally(right))
        window.move(right, top);
    else if (const int beside = area.left() - kGap - frame.width(); fitsHorizontally(beside))
        window.move(beside, top);
}

}  // namespace vk
