#include "editor/line_recolourer.h"

#include <QEvent>
#include <algorithm>

#include "editor/recolouring.h"
#include "editor/script_editor.h"

namespace vk {

TLineRecolourer::TLineRecolourer(ScriptEditor& editor, std::function<const ClassFonts&()> fonts)
    : QObject(&editor), editor_(editor), fonts_(std::move(fonts)) {
    flush_.setSingleShot(true);
    flush_.setInterval(0);
    connect(&flush_, &QTimer::timeout, this, &TLineRecolourer::FlushPending);
    connect(&editor_, &ScriptEditor::keyDown, this,
            [this](EditorKeyEvent& key) { OnKeyDown(key); });
    connect(&editor_, &ScriptEditor::keyUp, this, [this](EditorKeyEvent& key) { OnKeyUp(key); });
    connect(&editor_, &ScriptEditor::textChanging, this, &TLineRecolourer::OnTextChanging);
    connect(&editor_, &ScriptEditor::scriptLoaded, this, [this] {
        dirty_ = false;
        keyDownSelStart_ = -1;
    });
    editor_.installEventFilter(this);
}

const ClassLooks& TLineRecolourer::Looks() {
    const ClassFonts& fonts = fonts_();
    if (looksOf_ != fonts) {
        looks_ = ClassLooksAsLoaded(fonts);
        looksOf_ = fonts;
    }
    return looks_;
}

int TLineRecolourer::RecolourLines(int first, int last) {
    const int lines = static_cast<int>(editor_.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT));
    first = std::clamp(first, 0, lines - 1);
    last = std::clamp(last, first, lines - 1);
    // Edits waiting to be recoloured that lie inside are done with.
    if (dirty_ && editor_.LineFromChar(dirtyStart_) >= first &&
        editor_.LineFromChar(dirtyEnd_) <= last)
        dirty_ = false;
    const int start = editor_.LineIndex(first);
    // To the end of the last line and its line end, if it has one.
    const int end =
        std::min(editor_.LineIndex(last) + editor_.LineLength(last) + 2, editor_.TextLength());
    return editor_.RecolourRange(start, end - start, Looks());
}

void TLineRecolourer::FlushPending() {
    if (!dirty_) return;
    dirty_ = false;
    RecolourLines(editor_.LineFromChar(dirtyStart_), editor_.LineFromChar(dirtyEnd_));
}

void TLineRecolourer::OnKeyDown(const EditorKeyEvent&) {
    // Auto-repeat keeps the position of the first key-down.
    if (keyDownSelStart_ == -1) keyDownSelStart_ = editor_.SelStart();
}

void TLineRecolourer::OnKeyUp(const EditorKeyEvent& key) {
    if (!key.Swallowed() &&
        ClassifyKeyUp(key.virtualKey, key.modifiers.ctrl) == KeyUpKind::Recolours) {
        // A keystroke that left the caret where it was (Delete, F10) still
        // recolours the caret's line: deleting a quote or an apostrophe
        // changes the colours of what follows it. Position -1 (no key-down
        // seen) stands for the selection start, as LineFromChar takes it.
        const int caret = editor_.SelStart();
        int first = editor_.LineFromChar(std::min(keyDownSelStart_, caret));
        int last = editor_.LineFromChar(std::max(keyDownSelStart_, caret));
        if (dirty_) {
            first = std::min(first, editor_.LineFromChar(dirtyStart_));
            last = std::max(last, editor_.LineFromChar(dirtyEnd_));
            dirty_ = false;
        }
        RecolourLines(first, last);
    }
    keyDownSelStart_ = -1;
}

void TLineRecolourer::OnTextChanging(int position, int length, bool inserted) {
    const bool deleted = !inserted;
    // Keep the touched stretch in positions of the text as it is now.
    auto shift = [&](int& at) {
        if (inserted && at >= position)
            at += length;
        else if (deleted && at > position)
            at = std::max(position, at - length);
    };
    const int touchedEnd = inserted ? position + length : position;
    if (dirty_) {
        shift(dirtyStart_);
        shift(dirtyEnd_);
        dirtyStart_ = std::min(dirtyStart_, position);
        dirtyEnd_ = std::max(dirtyEnd_, touchedEnd);
    } else {
        dirty_ = true;
        dirtyStart_ = position;
        dirtyEnd_ = touchedEnd;
    }
    if (!flush_.isActive()) flush_.start();
}

bool TLineRecolourer::eventFilter(QObject* watched, QEvent* event) {
    // The editor getting the focus starts afresh: a key that went down
    // elsewhere is no keystroke of the editor's.
    if (watched == &editor_ && event->type() == QEvent::FocusIn) keyDownSelStart_ = -1;
    return QObject::eventFilter(watched, event);
}

}  // namespace vk
