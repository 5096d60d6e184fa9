#include "editor/editor_script_lines.h"

#include <algorithm>

namespace vk {

EditorScriptLines::~EditorScriptLines() {
    // An unbalanced suspension must not leave the editor frozen.
    while (!frozen_.empty()) frozen_.pop_back();
}

std::string EditorScriptLines::Line(int index) const {
    if (index < 0 || index >= LineCount()) return {};
    return editor_.Line(index);
}

void EditorScriptLines::PutLine(int index, std::string_view text) {
    (void)editor_.PutLine(index, text);
}

void EditorScriptLines::InsertLine(int index, std::string_view text) {
    (void)editor_.InsertLine(index, text);
}

void EditorScriptLines::DeleteLine(int index) { (void)editor_.DeleteLine(index); }

int EditorScriptLines::LineFromChar(int offset) const {
    const int last = std::max(0, LineCount() - 1);
    return std::clamp(editor_.LineFromChar(std::max(offset, 0)), 0, last);
}

void EditorScriptLines::SuspendRepaint() {
    frozen_.push_back(std::make_unique<ScriptEditor::FrozenRedraw>(editor_));
}

void EditorScriptLines::ResumeRepaint() {
    if (!frozen_.empty()) frozen_.pop_back();
}

}  // namespace vk
