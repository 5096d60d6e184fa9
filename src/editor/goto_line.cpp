#include "editor/goto_line.h"

#include "editor/line_jump.h"
#include "editor/script_editor.h"

namespace vk {

void GotoLine(ScriptEditor& editor, int line, int jumpOffset) {
    const LineJump jump = PlanLineJump(line, jumpOffset, editor.LineCount());
    {
        const ScriptEditor::FrozenRedraw frozen(editor);
        editor.ScrollToLine(jump.top);
        // Setting the caret does not scroll, so the view keeps its top line.
        editor.SetCaret(editor.LineIndex(jump.target));
        // Only when the offset is taller than the view: the target must show.
        editor.ScrollCaretIntoView();
    }
    editor.setFocus();
}

}  // namespace vk
