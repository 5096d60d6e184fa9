#include "editor/block_indenter.h"

#include <QApplication>
#include <algorithm>
#include <string>
#include <vector>

#include "editor/block_indent.h"
#include "editor/line_recolourer.h"
#include "editor/script_editor.h"
#include "settings/settings.h"

namespace vk {
namespace {

// The hourglass for the length of a block command, also when it fails.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

TBlockIndenter::TBlockIndenter(ScriptEditor& editor, TLineRecolourer& recolourer,
                               const TSettings& settings)
    : QObject(&editor), editor_(editor), recolourer_(recolourer), settings_(settings) {}

// `change` gets the block's lines and returns the new lines and by how much
// the selection's length changes; it may throw before anything is changed.
template <typename Change>
void TBlockIndenter::ChangeBlock(Change change) {
    const WaitCursor wait;
    const ScriptEditor::FrozenRedraw frozen(editor_);
    const ScriptEditor::DetachedNotifications detached(editor_, ScriptEditor::OnAttach::Both);

    const int start = editor_.SelStart();
    const int length = editor_.SelLength();
    const int end = start + length;
    const int endLine = editor_.LineFromChar(end);
    const BlockLines block = BlockOfSelection(editor_.LineFromChar(start), endLine,
                                              editor_.LineIndex(endLine) == end, length == 0);
    // The empty piece after a final line break is no line.
    const int last = std::min(block.last, editor_.LineCount() - 1);

    std::vector<std::string> lines;
    for (int line = block.first; line <= last; ++line) lines.push_back(editor_.Line(line));

    int newLength = length;
    try {
        auto [changed, growth] = change(lines, block.first);
        newLength = std::max(length + growth, 0);
        if (changed != lines) editor_.ReplaceLines(block.first, changed);
    } catch (...) {
        editor_.SetSel(start, length);
        throw;
    }
    if (last >= block.first) recolourer_.RecolourLines(block.first, last);
    editor_.SetSel(start, newLength);
}

void TBlockIndenter::IndentBlock() {
    const std::string indent = IndentString(settings_.indentStyle, settings_.tabWidth);
    ChangeBlock([&](const std::vector<std::string>& lines, int) {
        const int growth = static_cast<int>(indent.size() * lines.size());
        return std::pair{IndentLines(lines, indent), growth};
    });
}

void TBlockIndenter::UnindentBlock() {
    ChangeBlock([&](const std::vector<std::string>& lines, int first) {
        Unindented result = UnindentLines(lines, settings_.tabWidth, first + 1);
        return std::pair{std::move(result.lines), -result.removed};
    });
}

}  // namespace vk
