#include "editor/bookmarks.h"

#include <QAction>
#include <QMenu>

#include "common/messages.h"
#include "editor/ansi_text.h"
#include "editor/bookmark_tags.h"
#include "editor/line_recolourer.h"
#include "editor/recolouring.h"
#include "editor/script_editor.h"
#include "editor/undo_group.h"

namespace vk {
namespace {

constexpr std::string_view kNoMoreBookmarks =
    "There are no more bookmarks available.\rClean up some bookmarks or use an existing "
    "bookmark.";

}  // namespace

TBookmarks::TBookmarks(ScriptEditor& editor, TLineRecolourer& recolourer, MessageService& messages,
                       JumpToLine jump)
    : QObject(&editor),
      editor_(editor),
      recolourer_(recolourer),
      messages_(messages),
      jump_(std::move(jump)) {
    connect(&editor_, &ScriptEditor::keyDown, this,
            [this](EditorKeyEvent& key) { OnKeyDown(key); });
    connect(&editor_, &ScriptEditor::keyUp, this, [this](EditorKeyEvent& key) {
        if (key.virtualKey == heldKey_) heldKey_ = 0;
    });
}

// The command runs when the digit goes down, so that it does not depend on
// which key the user lets go of first; holding the keys runs it once.
void TBookmarks::OnKeyDown(EditorKeyEvent& key) {
    if (key.Swallowed() || ClassifyKeyUp(key.virtualKey, key.modifiers.ctrl) != KeyUpKind::Bookmark)
        return;
    const int digit = key.virtualKey;
    const bool toggle = key.modifiers.shift;
    key.Swallow();
    if (digit == heldKey_) return;
    heldKey_ = digit;
    if (toggle)
        ToggleBookmark(digit - '0');
    else
        GotoBookmark(digit - '0');
}

void TBookmarks::ToggleBookmark(int n) {
    const ScriptEditor::FrozenRedraw frozen(editor_);
    const ScriptEditor::DetachedNotifications detached(editor_, ScriptEditor::OnAttach::Both);
    const int start = editor_.SelStart();
    const int length = editor_.SelLength();
    const BookmarkToggle plan =
        PlanBookmarkToggle(editor_.Text(), n, editor_.LineFromChar(start), start);
    {
        const UndoGroup undo(editor_);
        if (plan.deleteLine) editor_.DeleteLine(*plan.deleteLine);
        if (plan.putLine) editor_.PutLine(*plan.putLine, plan.putText);
        if (plan.insertLine) editor_.InsertLine(*plan.insertLine, BookmarkTag(n));
    }
    if (plan.putLine) recolourer_.RecolourLines(*plan.putLine, *plan.putLine);
    if (plan.insertLine) recolourer_.RecolourLines(*plan.insertLine, *plan.insertLine);
    editor_.SetSel(plan.selStart, length);
}

void TBookmarks::GotoBookmark(int n) {
    if (const auto place = FindBookmark(editor_.Text(), n)) jump_(place->line);
}

void TBookmarks::SetNextBookmark() {
    const std::optional<int> n = NextFreeBookmark(editor_.Text());
    if (!n) {
        messages_.Show(kNoMoreBookmarks, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    InsertTagLine(*n, editor_.LineFromChar(editor_.SelStart()));
}

void TBookmarks::InsertTagLine(int n, int line) {
    const ScriptEditor::FrozenRedraw frozen(editor_);
    const ScriptEditor::DetachedNotifications detached(editor_, ScriptEditor::OnAttach::Both);
    const EditorSelection selection = editor_.SaveSelection();
    editor_.InsertLine(line, BookmarkTag(n));
    recolourer_.RecolourLines(line, line);
    // The caret stays on the text it was on, now a line further down.
    const int added = editor_.LineLength(line) + 2;
    editor_.RestoreSelection({selection.anchor + added, selection.caret + added});
}

void TBookmarks::FillMenu(QMenu& menu) {
    menu.clear();
    for (const BookmarkMenuEntry& entry : BookmarkMenuEntries(editor_.Text())) {
        QAction* item = menu.addAction(FromAnsi(entry.caption));
        item->setCheckable(true);
        item->setChecked(entry.line.has_value());
        const int n = entry.number;
        const std::optional<int> line = entry.line;
        connect(item, &QAction::triggered, this, [this, n, line] {
            if (line)
                jump_(*line);
            else
                ToggleBookmark(n);
        });
    }
}

}  // namespace vk
