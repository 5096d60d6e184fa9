#pragma once

namespace vk {

class TfConfiguration;
class TfMain;

// Makes the configuration dialog beside the main window (it lives as long as
// the window) and hooks it up: "Configure" opens it on whatever page is
// current, the Configure menu's "Editor", "Filter Builder" and "Code Browser"
// first turn it to "Layout", "Assistant" and "Code Browser". After OK the
// window applies the text limit, the tab stops and the code browser switch.
TfConfiguration& AttachConfiguration(TfMain& main);

// What the main window takes over after the dialog closed with OK. The text
// is not recoloured: new colours show from the next load.
void ApplyConfiguration(TfMain& main);

}  // namespace vk
