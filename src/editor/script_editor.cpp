#include "editor/script_editor.h"

namespace vk {

ScriptEditor::ScriptEditor(QWidget* parent) : QsciScintilla(parent) {
    setUtf8(false);
    SendScintilla(SCI_SETCODEPAGE, 0);
    setEolMode(EolWindows);
    SendScintilla(SCI_SETEOLMODE, SC_EOL_CRLF);
    setWrapMode(WrapNone);
}

}  // namespace vk
