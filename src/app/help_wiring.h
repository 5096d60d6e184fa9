#pragma once

namespace vk {

class Registry;
class TfMain;
class TSyntaxHelp;
class TSyntaxList;

// The help topic index of the documentation registered on the machine (empty
// when none is); made once at start, before any window.
[[nodiscard]] TSyntaxList LoadHelpTopicIndex(Registry& registry);

// Hooks the syntax help up to the main window: the syntax line in status
// panel 3 after every caret move and "Syntax Help" (F1). The window owns the
// returned object; `index` must outlive the window.
TSyntaxHelp& AttachSyntaxHelp(TfMain& main, const TSyntaxList& index);

}  // namespace vk
