#pragma once

#include <algorithm>
#include <optional>

#include "document/script_lines.h"
#include "editor/script_editor.h"

namespace vk {

// The script document's view of the editor: tag refresh and checksum
// verification work on these lines while the editor keeps the text.
class EditorScriptLines final : public ScriptLines {
public:
    explicit EditorScriptLines(ScriptEditor& editor) : editor_(editor) {}

    int LineCount() const override { return editor_.LineCount(); }
    std::string Line(int index) const override { return editor_.Line(index); }
    void PutLine(int index, std::string_view text) override { editor_.PutLine(index, text); }
    void InsertLine(int index, std::string_view text) override { editor_.InsertLine(index, text); }
    void DeleteLine(int index) override { editor_.DeleteLine(index); }
    std::string CanonicalText() const override { return editor_.CanonicalText(); }

    int CaretOffset() const override { return editor_.SelStart(); }
    void SetCaret(int offset) override { editor_.SetCaret(offset); }
    // An offset at or past the end is on the last line, not on the empty
    // piece after a final line break.
    int LineFromChar(int offset) const override {
        return std::min(editor_.LineFromChar(std::max(offset, 0)),
                        std::max(editor_.LineCount() - 1, 0));
    }
    int FirstVisibleLine() const override { return editor_.FirstVisibleLine(); }
    void ScrollLines(int lines) override { editor_.ScrollLines(lines); }
    void SuspendRepaint() override {
        if (depth_++ == 0) frozen_.emplace(editor_);
    }
    void ResumeRepaint() override {
        if (depth_ > 0 && --depth_ == 0) frozen_.reset();
    }

private:
    ScriptEditor& editor_;
    int depth_ = 0;
    std::optional<ScriptEditor::FrozenRedraw> frozen_;
};

}  // namespace vk
