#pragma once

#include <functional>

namespace vk {

class TfMain;

// Hooks up the editor's search and position commands on the main window:
// the caret read-out in status panel 2, "&Find/Replace" (Ctrl+F) with the
// modeless dialog `dlgReplace`, "Find &Next" (F3) and "Find Pre&vious"
// (Shift+F3) with the dialog's search, "&Line number" (also Ctrl+G) and the
// jump the code browser uses. The dialog and the questions about a match
// move off the match. Everything it makes is owned by the window.
// `recolourLines` (first line, last line), when given, recolours the lines a
// replacement changed.
void AttachFindAndGoto(TfMain& main, std::function<void(int, int)> recolourLines = {});

// `miLineNumberClick`: asks for a line number and jumps to it; an answer
// that is no line of the script is refused with the range there is.
void miLineNumberClick(TfMain& main);

}  // namespace vk
