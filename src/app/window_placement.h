#pragma once

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace vk {

class Registry;

// The main window's placement under "Software\Thornmere\Vellumkit" (current
// user): "Top", "Left", "Width", "Height" in pixels and "WindowState"
// (0 normal, 1 minimised, 2 maximised).

// Applies each of "Top", "Left", "Width" and "Height" that can be read (a
// missing value leaves that edge as it is), then maximises the window when
// "WindowState" is 2. Nothing happens when the key does not exist; the key is
// never created here. The window stays on an available screen and no larger
// than it: each stored value that had to change for that (and a WindowState
// other than 0, 1 and 2) comes back as a text for the warnings panel.
[[nodiscard]] std::vector<std::string> LoadWindowPlacement(QWidget& window, Registry& registry);

// Writes "WindowState" and, only while the window is in its normal state, its
// bounds: a maximised window keeps the last normal bounds it was stored with.
void SaveWindowPlacement(const QWidget& window, Registry& registry);

// The code browser's width beside the editor (where the user left the
// divider), "Code Browser Width" in pixels beside the placement; nothing when
// none is stored or the stored one is no width.
[[nodiscard]] std::optional<int> LoadCodeBrowserWidth(Registry& registry);
// Stores a width above 0; a hidden or collapsed code browser keeps the last.
void SaveCodeBrowserWidth(Registry& registry, int width);

}  // namespace vk
