#pragma once

#include <memory>

namespace vk {

class TCodeBrowser;
class TfMain;

// Makes the code browser over the main window's tree and editor and hooks it
// up: it rescans when the application is idle after an edit of the script and
// at once after a load, reports through the status line and the warnings
// panel, and is switched on or off by its setting.
[[nodiscard]] std::unique_ptr<TCodeBrowser> AttachCodeBrowser(TfMain& main);

}  // namespace vk
