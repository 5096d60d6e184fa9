#pragma once

namespace vk {

class TfConfiguration;
class TfMain;

// Makes the configuration dialog beside the main window (it lives as long as
// the window) and hooks it up: "Configure" opens it on whatever page is
// current, the Configure menu's "Editor", "Filter Builder" and "Code Browser"
// first turn it to "Layout", "Assistant" and "Code Browser". After OK the
// window applies what the dialog changed (see ApplyConfiguration).
TfConfiguration& AttachConfiguration(TfMain& main);

// What the main window takes over after the dialog closed with OK: the text
// limit, the editor font, the tab stops, the colour scheme over the whole
// open script (its text, modified flag, selection, scroll position and undo
// history kept) and the code browser switch; then configurationApplied()
// for the rest.
void ApplyConfiguration(TfMain& main);

}  // namespace vk
