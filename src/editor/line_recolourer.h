#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

#include "highlight/class_looks.h"
#include "highlight/color_stream.h"

namespace vk {

class ScriptEditor;
struct EditorKeyEvent;

// Keeps the colours of an edited script right: after each keystroke that can
// change text it recolours the lines between the caret position when the
// keystroke began (KeyDownSelStart) and the caret position after it, and the
// lines the keystroke's edits touched. Text changed without a key (a paste
// from the menu, tag lines written by a check-in, a replacement) is
// recoloured once the program is back in its event loop. Loads bring their
// own colours and are left alone.
//
// The colours are the class fonts' as a coloured load shows them, read from
// `fonts` each time, so a changed colour scheme applies to the next edit.
class TLineRecolourer : public QObject {
    Q_OBJECT
public:
    TLineRecolourer(ScriptEditor& editor, std::function<const ClassFonts&()> fonts);

    // Recolours the lines `first` to `last` (inclusive, 0-based, clamped to
    // the text) with their line ends. Returns the number of characters whose
    // colour or style changed.
    int RecolourLines(int first, int last);

    // Recolours now what changed outside a keystroke; runs by itself when
    // the event loop is next idle.
    void FlushPending();

    // The selection start when the first key of the pending keystroke went
    // down; -1 when none is pending.
    [[nodiscard]] int KeyDownSelStart() const { return keyDownSelStart_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnKeyDown(const EditorKeyEvent& key);
    void OnKeyUp(const EditorKeyEvent& key);
    void OnTextChanging(int position, int length, bool inserted);
    const ClassLooks& Looks();

    ScriptEditor& editor_;
    std::function<const ClassFonts&()> fonts_;
    std::optional<ClassFonts> looksOf_;  // the fonts `looks_` was made from
    ClassLooks looks_{};
    int keyDownSelStart_ = -1;
    // Text touched by edits not yet recoloured, as positions of the current
    // text: [dirtyStart_, dirtyEnd_].
    bool dirty_ = false;
    int dirtyStart_ = 0;
    int dirtyEnd_ = 0;
    QTimer flush_;
};

}  // namespace vk
