#pragma once

#include "editor/script_editor.h"

namespace vk {

// Makes the edits made in its lifetime one undo step, also when an exception
// ends them.
class UndoGroup {
public:
    explicit UndoGroup(ScriptEditor& editor) : editor_(editor) {
        editor_.SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION);
    }
    ~UndoGroup() { editor_.SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION); }
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

private:
    ScriptEditor& editor_;
};

}  // namespace vk
