#pragma once

namespace vk {

class ScriptEditor;

// `GotoLine`: the jump shared by go to line, the bookmarks and the code
// browser. Puts the caret at the start of the 0-based `line` (the last line
// when there are fewer) and shows that line `jumpOffset` lines below the top
// edge of the view (the first line at the top when there are fewer lines
// above it), then gives the editor the focus.
void GotoLine(ScriptEditor& editor, int line, int jumpOffset);

}  // namespace vk
