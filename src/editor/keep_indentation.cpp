#include "editor/keep_indentation.h"

#include "editor/script_editor.h"
#include "settings/settings.h"

namespace vk {

std::string LeadingBlanks(std::string_view line) {
    const std::size_t end = line.find_first_not_of(" \t");
    return std::string(line.substr(0, end == std::string_view::npos ? line.size() : end));
}

TKeepIndentation::TKeepIndentation(ScriptEditor& editor, const TSettings& settings)
    : QObject(&editor), editor_(editor), settings_(settings) {
    // The control reports each character typed into it (not a paste or a
    // program edit), a line break as its CR and then its LF, once the break
    // is in the text.
    connect(&editor_, &ScriptEditor::SCN_CHARADDED, this, &TKeepIndentation::OnCharAdded);
}

void TKeepIndentation::OnCharAdded(int character) {
    if (character != '\n' || !settings_.keepIndentation) return;
    const int caret = editor_.SelStart();
    const int line = editor_.LineFromChar(caret);
    // The caret stands at the start of the line the break opened.
    if (line == 0 || editor_.SelLength() != 0 || caret != editor_.LineIndex(line)) return;
    const std::string indent = LeadingBlanks(editor_.Line(line - 1));
    if (!indent.empty()) (void)editor_.ReplaceSelection(indent);
}

}  // namespace vk
