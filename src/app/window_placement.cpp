#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdint>

#include "platform/registry.h"
#include "settings/settings.h"

namespace vk {
namespace {

constexpr std::string_view kCodeBrowserWidth = "Code Browser Width";

enum class PlacementState : std::uint32_t { Normal = 0, Minimised = 1, Maximised = 2 };

// Smaller than this (or than its layout's least size) the window shows
// nothing of use.
constexpr int kMinSide = 100;

PlacementState StateOf(const QWidget& window) {
    if (window.windowState() & Qt::WindowMinimized) return PlacementState::Minimised;
    if (window.windowState() & Qt::WindowMaximized) return PlacementState::Maximised;
    return PlacementState::Normal;
}

// Placement values are DWORDs; a window left of or above the primary screen
// has negative coordinates stored as their two's complement.
std::optional<std::int64_t> ReadPixels(const RegistryKey& key, std::string_view name) {
    const std::optional<std::uint32_t> value = key.ReadInteger(name);
    if (!value) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

void WritePixels(RegistryKey& key, std::string_view name, int value) {
    key.WriteInteger(name, static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
}

// The available area of the screen a stored rectangle belongs on: the one
// that holds its centre, else the primary screen. Worked out in 64 bits: a
// stored edge may be anywhere a DWORD reaches.
QRect ScreenFor(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height) {
    const std::int64_t x = left + width / 2;
    const std::int64_t y = top + height / 2;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        if (x >= area.left() && x <= area.right() && y >= area.top() && y <= area.bottom())
            return area;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->availableGeometry() : QRect(0, 0, 800, 600);
}

}  // namespace

std::vector<std::string> LoadWindowPlacement(QWidget& window, Registry& registry) {
    std::vector<std::string> clamped;
    const std::optional<RegistryKey> key = registry.OpenKey(Hive::CurrentUser, kProgramKey);
    if (!key) return clamped;
    // The position is that of the frame, the size that of the client area,
    // which is what SaveWindowPlacement stores.
    struct Edge {
        const char* name;
        std::int64_t value;
        std::optional<std::int64_t> stored;
    };
    Edge left{"Left", window.x(), ReadPixels(*key, "Left")};
    Edge top{"Top", window.y(), ReadPixels(*key, "Top")};
    Edge width{"Width", window.width(), ReadPixels(*key, "Width")};
    Edge height{"Height", window.height(), ReadPixels(*key, "Height")};
    for (Edge* edge : {&left, &top, &width, &height})
        if (edge->stored) edge->value = *edge->stored;

    // On a screen there is, no larger than that screen: a window placed off
    // every screen cannot be reached, and one larger than all of them costs
    // gigabytes of window memory and takes no more clicks. A window whose
    // centre is on the screen stays where it was put, partly off it or not
    // (a user may keep it so); any other is put wholly on the screen.
    const QRect area = ScreenFor(left.value, top.value, width.value, height.value);
    const auto fit = [](Edge& edge, std::int64_t low, std::int64_t high) {
        edge.value = std::clamp(edge.value, low, std::max(low, high));
    };
    const QSize least = window.minimumSizeHint().expandedTo(QSize(kMinSide, kMinSide));
    fit(width, std::min(least.width(), area.width()), area.width());
    fit(height, std::min(least.height(), area.height()), area.height());
    const std::int64_t x = left.value + width.value / 2;
    const std::int64_t y = top.value + height.value / 2;
    if (x < area.left() || x > area.right() || y < area.top() || y > area.bottom()) {
        fit(left, area.left(), std::int64_t{area.left()} + area.width() - width.value);
        fit(top, area.top(), std::int64_t{area.top()} + area.height() - height.value);
    }
    for (const Edge* edge : {&left, &top, &width, &height}) {
        if (edge->stored && *edge->stored != edge->value)
            clamped.push_back("The stored window " + std::string(edge->name) + " " +
                              std::to_string(*edge->stored) + " does not fit on the screen; " +
                              std::to_string(edge->value) + " is used.");
    }
    window.move(static_cast<int>(left.value), static_cast<int>(top.value));
    window.resize(static_cast<int>(width.value), static_cast<int>(height.value));

    const std::uint32_t state = key->ReadInteger("WindowState").value_or(0);
    if (state == static_cast<std::uint32_t>(PlacementState::Maximised))
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    else if (state > static_cast<std::uint32_t>(PlacementState::Maximised))
        clamped.push_back("The stored WindowState " + std::to_string(state) +
                          " is none of 0, 1 and 2; the window opens in its normal state.");
    return clamped;
}

void SaveWindowPlacement(const QWidget& window, Registry& registry) {
    std::optional<RegistryKey> key = registry.OpenKey(Hive::CurrentUser, kProgramKey, true);
    if (!key) return;
    const PlacementState state = StateOf(window);
    key->WriteInteger("WindowState", static_cast<std::uint32_t>(state));
    if (state != PlacementState::Normal) return;
    WritePixels(*key, "Top", window.y());
    WritePixels(*key, "Left", window.x());
    WritePixels(*key, "Width", window.width());
    WritePixels(*key, "Height", window.height());
}

std::optional<int> LoadCodeBrowserWidth(Registry& registry) {
    const std::optional<RegistryKey> key = registry.OpenKey(Hive::CurrentUser, kProgramKey);
    if (!key) return std::nullopt;
    const std::optional<int> width = ReadPixels(*key, kCodeBrowserWidth);
    if (!width || *width <= 0) return std::nullopt;
    return width;
}

void SaveCodeBrowserWidth(Registry& registry, int width) {
    if (width <= 0) return;
    std::optional<RegistryKey> key = registry.OpenKey(Hive::CurrentUser, kProgramKey, true);
    if (key) WritePixels(*key, kCodeBrowserWidth, width);
}

}  // namespace vk
