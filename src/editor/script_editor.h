#pragma once

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor_key_event.h"
#include "editor/style_table.h"
#include "highlight/class_looks.h"
#include "highlight/piece_colouring.h"
#include "highlight/rtf_reader.h"

namespace vk {

// Colour and bold/italic over a range, and whether each is the same for every
// character of it. An empty range reports the format of the character at its
// start, uniform.
struct RangeFormatReport {
    std::uint32_t color = 0;  // 0x00BBGGRR of the first character
    bool bold = false;
    bool italic = false;
    bool colorUniform = true;
    bool boldUniform = true;
    bool italicUniform = true;
};

// The two word breaks the program asks for.
enum class WordBreak {
    MoveWordLeft,  // start of the word left of a position (Ctrl+Left)
    RightBreak,    // end of the word at a position
};

// A selection as saved and restored by the program: the anchor stays where the
// selection began, the caret is where it ends.
struct EditorSelection {
    int anchor = 0;
    int caret = 0;
};

// The script editor: one QScintilla view in CR LF end-of-line mode and
// single-byte mode, so that a line end counts two positions and every byte of
// a script is one position and survives unchanged (bytes travel through the
// SCI_* messages, never through QString). Windows-1252 characters display as
// Windows shows them. Positions are byte offsets from 0.
//
// Line model: lines end at CR LF; an empty piece after the last line end is
// not a line ("abc\r\n" has one line). Line operations take an index from 0
// to LineCount() - 1 (InsertLine also LineCount(), which appends); with any
// other index they do nothing and return false, so an empty editor takes no
// line at index 1.
//
// Notifications: scriptChanged() after every change of the text, once for the
// edits of one key, paste, undo or program operation; scriptSelectionChanged()
// when the caret or selection moves; both are held back while a
// DetachedNotifications guard lives.
class ScriptEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit ScriptEditor(QWidget* parent = nullptr);
    ~ScriptEditor() override;

    // --- Whole text -------------------------------------------------------
    // Replaces the text, uncoloured; the undo history is emptied and the
    // editor is left unmodified with the caret at 0.
    void SetPlainText(std::string_view bytes);
    // Replaces the text with the text and formats of an RTF document, one
    // style per distinct format, and switches to rich-text mode. Throws
    // vk::Exception with the reader's message when the RTF cannot be read
    // (the editor is then unchanged).
    void LoadRichText(std::string_view rtf);
    // A coloured load in two steps, so that the colouring can run while the
    // editor takes the text: LoadTextToColour replaces the text (shown
    // uncoloured, undo history emptied, unmodified, caret at 0), then
    // SetTextFormats gives it the formats of its pieces (in order, from the
    // start) and switches to rich-text mode.
    //
    // The formats reach the control as it draws the text or is asked for
    // them (StyleAt, RangeFormat), and all at once before the first edit: a
    // long script costs no styling until it is shown.
    void LoadTextToColour(std::string_view bytes);
    void SetTextFormats(std::vector<ColouredPiece> pieces);
    void Clear();
    // Makes the text `bytes` as one undo step that changes only the stretch
    // between the common start and end, so the rest keeps its colours and
    // marks, and leaves the caret after the change. A program edit: not held
    // to the text limit. Unlike a load it is an edit (modified, undoable).
    void ReplaceText(std::string_view bytes);
    [[nodiscard]] std::string Text() const;
    [[nodiscard]] int TextLength() const;
    // Every line followed by CR LF (see line_model.h).
    [[nodiscard]] std::string CanonicalText() const;
    // Plain-text mode: the text is taken as one format (saving to disk
    // switches to it; a rich-text load switches back).
    void SetPlainTextMode(bool plain) { plainTextMode_ = plain; }
    [[nodiscard]] bool IsPlainTextMode() const { return plainTextMode_; }
    // Writes the canonical text; throws vk::Exception when the file cannot be
    // written.
    void SaveToFile(const std::filesystem::path& file) const;

    // --- Lines ------------------------------------------------------------
    [[nodiscard]] int LineCount() const;
    [[nodiscard]] std::string Line(int line) const;  // without the line end; "" when none
    bool PutLine(int line, std::string_view text);
    // Inserts before `line`; at LineCount() it appends a line.
    bool InsertLine(int line, std::string_view text);
    bool DeleteLine(int line);
    // Replaces the lines `first` to `first + lines.size() - 1` by `lines`, as
    // one edit: a block of lines costs one change, not one per line. Refused
    // (false) unless every line replaced exists.
    bool ReplaceLines(int first, const std::vector<std::string>& lines);
    // Line of a position; -1 gives the line of the selection start.
    [[nodiscard]] int LineFromChar(int pos) const;
    // First position of a line (-1: the selection start's line); -1 when the
    // line does not exist.
    [[nodiscard]] int LineIndex(int line) const;
    [[nodiscard]] int LineLength(int line) const;  // without the line end

    // --- Selection and caret ------------------------------------------------
    [[nodiscard]] int SelStart() const;
    [[nodiscard]] int SelLength() const;
    // Selects `length` characters from `start`; the caret ends at the far end.
    void SetSel(int start, int length);
    [[nodiscard]] int CaretPos() const;
    void SetCaret(int pos);
    [[nodiscard]] EditorSelection SaveSelection() const;
    void RestoreSelection(const EditorSelection& selection);
    void SelectAll();
    void ScrollCaretIntoView();
    // Replaces the selection (inserts at the caret when it is empty) as one
    // undo step and leaves the caret after the new text. Refused, returning
    // false, when the result would pass the text limit.
    bool ReplaceSelection(std::string_view text);

    // --- Find and words -------------------------------------------------------
    struct FindOptions {
        bool matchCase = false;
        bool wholeWord = false;
        // `what` is a regular expression (ECMAScript grammar), matched within
        // single lines.
        bool regex = false;
    };
    struct FoundText {
        int start = 0;
        int length = 0;
    };
    // First occurrence of `what` within [start, end) (end -1: to the end of
    // the text); its position, or -1.
    [[nodiscard]] int Find(std::string_view what, int start, int end, FindOptions options) const;
    // The same, with the length of what matched (a regular expression's
    // match may be shorter or longer than `what`, or empty); nothing when
    // there is no match or the expression is not valid.
    [[nodiscard]] std::optional<FoundText> FindText(std::string_view what, int start, int end,
                                                    FindOptions options) const;
    // The character at `pos`; 0 past the end of the text.
    [[nodiscard]] unsigned char CharAt(int pos) const;
    [[nodiscard]] int FindWordBreak(WordBreak kind, int pos) const;

    // --- Limits, modified flag, view ----------------------------------------
    // Typing, pasting and ReplaceSelection may not make the text longer than
    // `bytes`; 0 means no limit. Loads and line operations of the program are
    // not limited, so a long script is never cut.
    void SetTextLimit(int bytes) { textLimit_ = bytes; }
    [[nodiscard]] int TextLimit() const { return textLimit_; }
    [[nodiscard]] bool IsModified() const;
    // false marks the current text as saved; true marks it modified until the
    // next SetModified(false) or load.
    void SetModified(bool modified);
    void ScrollLines(int lines);
    [[nodiscard]] int FirstVisibleLine() const;
    void ScrollToLine(int line);
    void SetTabWidth(int chars);
    void SetGutterWidth(int pixels);
    // The editor font: face and size of the whole text and of new text;
    // colours and bold/italic stay.
    void SetEditorFont(std::string_view face, int sizePoints);

    // --- Formats ------------------------------------------------------------
    void SetRangeFormat(int start, int length, std::uint32_t color, bool bold, bool italic);
    [[nodiscard]] RangeFormatReport RangeFormat(int start, int length) const;
    // The style of the character at `pos` (that of the base format past the
    // end).
    [[nodiscard]] int StyleAt(int pos) const;
    [[nodiscard]] const StyleTable& Styles() const { return styles_; }
    // Gives every character from `start` to `start + length` the colour and
    // bold/italic of its token class (the classes cut from that stretch
    // alone), keeping its face and size; styles are set only where they
    // differ. Returns the number of characters restyled, 0 for text that
    // already had its colours.
    int RecolourRange(int start, int length, const ClassLooks& looks);

    // --- Notifications and redraw ------------------------------------------
    // What a DetachedNotifications guard raises when it attaches again.
    enum class OnAttach { Nothing, SelectionChange, Both };

    // Holds back scriptChanged() and scriptSelectionChanged() for its
    // lifetime; the outermost guard attaches them again on destruction (also
    // when an exception passes) and raises what the guards asked for, once:
    // the selection change first, then the change.
    class DetachedNotifications {
    public:
        explicit DetachedNotifications(ScriptEditor& editor, OnAttach onAttach = OnAttach::Both);
        ~DetachedNotifications();
        DetachedNotifications(const DetachedNotifications&) = delete;
        DetachedNotifications& operator=(const DetachedNotifications&) = delete;

    private:
        ScriptEditor& editor_;
    };

    // Freezes redrawing for its lifetime; the outermost guard repaints.
    class FrozenRedraw {
    public:
        explicit FrozenRedraw(ScriptEditor& editor);
        ~FrozenRedraw();
        FrozenRedraw(const FrozenRedraw&) = delete;
        FrozenRedraw& operator=(const FrozenRedraw&) = delete;

    private:
        ScriptEditor& editor_;
    };

    [[nodiscard]] bool NotificationsAttached() const { return detachDepth_ == 0; }
    [[nodiscard]] bool RedrawFrozen() const { return freezeDepth_ > 0; }

public slots:
    // Pastes the clipboard as Windows-1252 text, within the text limit.
    void paste() override;
    // The editing slots report their change (scriptChanged) when done.
    void cut() override;
    void undo() override;
    void redo() override;
    void removeSelectedText() override;
    void clear() override;

signals:
    void scriptChanged();
    // Text is about to be inserted at `position` (`length` bytes) or
    // deleted from there, by the user or the program, whether the
    // notifications are attached or not.
    void textChanging(int position, int length, bool inserting);
    void scriptSelectionChanged();
    // The whole text was replaced by a load (SetPlainText, LoadRichText,
    // LoadTextToColour, Clear); such text comes with its formats.
    void scriptLoaded();

    // Keys. Behaviours (bookmarks, block indent, recolouring, validation)
    // listen to these with a direct connection, any number of them; Qt calls
    // them in the order they were connected, so a behaviour connected earlier
    // sees a key first and may swallow it (EditorKeyEvent::Swallow) before
    // the later ones, which then find it swallowed and leave it alone.
    //
    // keyDown: every key-down with a Windows code, before the editor acts on
    // it; a swallowed key-down does nothing further (its key-up still comes).
    // Auto-repeat gives further key-downs without key-ups, as on Windows.
    void keyDown(vk::EditorKeyEvent& key);
    // keyPress: the character a key-down that was not swallowed types, before
    // it is typed (see EditorCharEvent).
    void keyPress(vk::EditorCharEvent& typed);
    // keyUp: every key-up with a Windows code (not for auto-repeat).
    void keyUp(vk::EditorKeyEvent& key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    QByteArray fromMimeData(const QMimeData* source, bool& rectangular) const override;
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override;

private:
    class ProgramEdit;

    // QScintilla's QString text access converts through Latin-1 and loses the
    // bytes 0x80-0x9F; the script travels only as bytes (Text, SetPlainText,
    // Line, ReplaceSelection and the rest above).
    using QsciScintilla::append;
    using QsciScintilla::insert;
    using QsciScintilla::insertAt;
    using QsciScintilla::replaceSelectedText;
    using QsciScintilla::selectedText;
    using QsciScintilla::setText;
    using QsciScintilla::text;
    using QsciScintilla::wordAtLineIndex;
    using QsciScintilla::wordAtPoint;

    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const {
        return SendScintilla(message, wParam, lParam);
    }
    [[nodiscard]] std::string_view View() const;
    [[nodiscard]] int SciLineCount() const;
    void LoadText(std::string_view bytes);
    void ReplaceRange(int start, int end, std::string_view text);
    int StyleFor(const TextFormat& format);
    void ApplyStyle(int style, const TextFormat& format);
    // Frees the styles no character uses, except those flagged in `keep`.
    void ReleaseUnusedStyles(std::array<bool, StyleTable::kStyleCount> keep);
    void TypeByte(char byte);
    void PaintWindowsCharacters();

    // Gives the control the formats still waiting, up to at least `pos`.
    void EnsureStyledTo(std::size_t pos) const;
    void DropPendingFormats() const;

    void OnModified(int position, int type, const char* text, int length);
    // Emits scriptChanged() once for the edits since the last report, when
    // no program edit is under way.
    void ReportChange();
    // Reports the edits of an event or slot when it ends.
    class ChangeReport {
    public:
        explicit ChangeReport(ScriptEditor& editor) : editor_(editor) {}
        ~ChangeReport() { editor_.ReportChange(); }
        ChangeReport(const ChangeReport&) = delete;
        ChangeReport& operator=(const ChangeReport&) = delete;

    private:
        ScriptEditor& editor_;
    };
    struct AccessibleChange {
        int position;
        bool inserted;
        QString text;
    };
    void OnUpdateUi(int updated);
    void ReportSelectionIfMoved();
    void Attach();

    StyleTable styles_;
    // The format each control style was last given, so that an unchanged
    // style is not defined again.
    std::array<std::optional<TextFormat>, StyleTable::kStyleCount> appliedStyles_;
    struct PendingFormats;
    // The formats of a coloured load not yet in the control; mutable because
    // handing them over changes nothing a caller can see.
    mutable std::unique_ptr<PendingFormats> pending_;
    bool plainTextMode_ = true;
    int textLimit_ = 0;
    bool forcedModified_ = false;
    int programEdits_ = 0;
    bool changePending_ = false;
    std::vector<AccessibleChange> accessibleChanges_;
    int detachDepth_ = 0;
    OnAttach pendingOnAttach_ = OnAttach::Nothing;
    int freezeDepth_ = 0;
    EditorSelection reportedSelection_;
    QColor selectionFore_;
    QColor selectionBack_;
};

}  // namespace vk
