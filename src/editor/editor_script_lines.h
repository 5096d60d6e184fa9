#pragma once

#include <memory>
#include <vector>

#include "document/script_lines.h"
#include "editor/script_editor.h"

namespace vk {

// The script editor seen as the script document's list of lines, so that the
// tag refresh and the file writer work on the editor's text in place. Every
// change goes through the editor's own line operations (one undo step each);
// the view and the caret move only as the caller asks.
class EditorScriptLines final : public ScriptLines {
public:
    explicit EditorScriptLines(ScriptEditor& editor) : editor_(editor) {}
    ~EditorScriptLines() override;
    EditorScriptLines(const EditorScriptLines&) = delete;
    EditorScriptLines& operator=(const EditorScriptLines&) = delete;

    int LineCount() const override { return editor_.LineCount(); }
    std::string Line(int index) const override;
    void PutLine(int index, std::string_view text) override;
    void InsertLine(int index, std::string_view text) override;
    void DeleteLine(int index) override;
    std::string CanonicalText() const override { return editor_.CanonicalText(); }

    int CaretOffset() const override { return editor_.CaretPos(); }
    void SetCaret(int offset) override { editor_.SetCaret(offset); }
    // Clamped to the script's lines: an offset at or past the end is on the
    // last line, also when the text ends in a line end.
    int LineFromChar(int offset) const override;

    int FirstVisibleLine() const override { return editor_.FirstVisibleLine(); }
    void ScrollLines(int lines) override { editor_.ScrollLines(lines); }

    // Nested suspensions freeze the editor once; the last resume repaints.
    void SuspendRepaint() override;
    void ResumeRepaint() override;

private:
    ScriptEditor& editor_;
    std::vector<std::unique_ptr<ScriptEditor::FrozenRedraw>> frozen_;
};

}  // namespace vk
