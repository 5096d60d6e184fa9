#include "app/window_placement.h"

#include <QWidget>
#include <cstdint>

#include "platform/registry.h"
#include "settings/settings.h"

namespace vk {
namespace {

constexpr std::string_view kCodeBrowserWidth = "Code Browser Width";

enum class PlacementState : std::uint32_t { Normal = 0, Minimised = 1, Maximised = 2 };

PlacementState StateOf(const QWidget& window) {
    if (window.windowState() & Qt::WindowMinimized) return PlacementState::Minimised;
    if (window.windowState() & Qt::WindowMaximized) return PlacementState::Maximised;
    return PlacementState::Normal;
}

// Placement values are DWORDs; a window left of or above the primary screen
// has negative coordinates stored as their two's complement.
std::optional<int> ReadPixels(const RegistryKey& key, std::string_view name) {
    const std::optional<std::uint32_t> value = key.ReadInteger(name);
    if (!value) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

void WritePixels(RegistryKey& key, std::string_view name, int value) {
    key.WriteInteger(name, static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
}

}  // namespace

void LoadWindowPlacement(QWidget& window, Registry& registry) {
    const std::optional<RegistryKey> key = registry.OpenKey(Hive::CurrentUser, kProgramKey);
    if (!key) return;
    // The position is that of the frame, the size that of the client area,
    // which is what SaveWindowPlacement stores.
    if (const auto top = ReadPixels(*key, "Top")) window.move(window.x(), *top);
    if (const auto left = ReadPixels(*key, "Left")) window.move(*left, window.y());
    if (const auto width = ReadPixels(*key, "Width")) window.resize(*width, window.height());
    if (const auto height = ReadPixels(*key, "Height")) window.resize(window.width(), *height);
    const std::uint32_t state = key->ReadInteger("WindowState").value_or(0);
    if (state == static_cast<std::uint32_t>(PlacementState::Maximised))
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
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
