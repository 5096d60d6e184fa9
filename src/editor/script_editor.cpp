#include "editor/script_editor.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "common/exceptions.h"
#include "common/file_bytes.h"
#include "editor/ansi_text.h"
#include "editor/display_font.h"
#include "editor/line_model.h"
#include "editor/pending_formats.h"
#include "editor/virtual_keys.h"
#include "editor/word_breaks.h"
#include "highlight/rtf_reader.h"

namespace vk {

namespace {

constexpr int kDefaultStyle = QsciScintillaBase::STYLE_DEFAULT;

}  // namespace

// Marks an edit made by the program itself (loads, line operations): the
// text limit does not apply to it, and its deletions and insertions report
// one change at its end.
class ScriptEditor::ProgramEdit {
public:
    explicit ProgramEdit(ScriptEditor& editor) : editor_(editor) { ++editor_.programEdits_; }
    ~ProgramEdit() {
        if (--editor_.programEdits_ == 0) editor_.ReportChange();
    }
    ProgramEdit(const ProgramEdit&) = delete;
    ProgramEdit& operator=(const ProgramEdit&) = delete;

private:
    ScriptEditor& editor_;
};

ScriptEditor::ScriptEditor(QWidget* parent) : QsciScintilla(parent) {
    setUtf8(false);
    Send(SCI_SETCODEPAGE, 0);
    setEolMode(EolWindows);
    Send(SCI_SETEOLMODE, SC_EOL_CRLF);
    Send(SCI_SETPASTECONVERTENDINGS, 1);
    setWrapMode(WrapNone);
    // Colours come from the loaded rich text and from recolouring, never from
    // a lexer that would restyle the text behind the program's back.
    Send(SCI_SETLEXER, SCLEX_CONTAINER);
    for (unsigned long margin = 0; margin <= 4; ++margin) Send(SCI_SETMARGINWIDTHN, margin, 0);
    // Changes are taken from the notices before them: a notice after an
    // insertion or deletion makes QScintilla count the characters up to it
    // for accessibility, so each keystroke would cost time in proportion to
    // its position in the script. The change is reported once the edit is
    // done (ReportChange), with its accessibility event.
    // The mask is matched against the whole modification type, so the flags
    // that come with every insertion and deletion (who performed it, the
    // start of an undo action) must be out of it too.
    constexpr unsigned long kNotNotified =
        SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT | SC_PERFORMED_USER | SC_PERFORMED_UNDO |
        SC_PERFORMED_REDO | SC_MULTISTEPUNDOREDO | SC_LASTSTEPINUNDOREDO | SC_MULTILINEUNDOREDO |
        SC_STARTACTION;
    Send(SCI_SETMODEVENTMASK, (static_cast<unsigned long>(SC_MODEVENTMASKALL) & ~kNotNotified) |
                                  SC_MOD_INSERTCHECK | SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);

    // Fixed selection colours, so that the Windows-1252 overlay matches them.
    selectionFore_ = palette().color(QPalette::Active, QPalette::HighlightedText);
    selectionBack_ = palette().color(QPalette::Active, QPalette::Highlight);
    setSelectionForegroundColor(selectionFore_);
    setSelectionBackgroundColor(selectionBack_);

    styles_.Reset(TextFormat{"Courier New", 20, 0, false, false});
    ApplyStyle(kDefaultStyle, styles_.Base());
    Send(SCI_STYLECLEARALL);
    // Every style is now a copy of the default one.
    for (int style = 0; style < StyleTable::kStyleCount; ++style)
        appliedStyles_.at(static_cast<std::size_t>(style)) = appliedStyles_.at(kDefaultStyle);

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char* text, int length, int, int, int, int, int,
                   int) { OnModified(position, type, text, length); });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &ScriptEditor::OnUpdateUi);
    connect(this, &QsciScintillaBase::SCN_STYLENEEDED, this, [this](int position) {
        EnsureStyledTo(static_cast<std::size_t>(std::max(position, 0)));
    });
}

ScriptEditor::~ScriptEditor() = default;

// --- Whole text ------------------------------------------------------------

std::string_view ScriptEditor::View() const {
    const auto length = static_cast<std::size_t>(Send(SCI_GETLENGTH));
    if (length == 0) return {};
    const auto* data = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return {data, length};
}

void ScriptEditor::LoadText(std::string_view bytes) {
    // The old text's formats go with it, unstyled.
    DropPendingFormats();
    ProgramEdit edit(*this);
    Send(SCI_SETUNDOCOLLECTION, 0);
    Send(SCI_CLEARALL);
    // SCI_APPENDTEXT takes a length, so NUL bytes are kept as well.
    if (!bytes.empty())
        SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(bytes.size()), bytes.data());
    Send(SCI_EMPTYUNDOBUFFER);
    Send(SCI_SETUNDOCOLLECTION, 1);
    Send(SCI_SETSAVEPOINT);
    forcedModified_ = false;
    Send(SCI_SETEMPTYSELECTION, 0);
    ReportSelectionIfMoved();
    emit scriptLoaded();
}

void ScriptEditor::SetPlainText(std::string_view bytes) {
    styles_.Reset(styles_.Base());
    LoadText(bytes);
    const auto length = static_cast<long>(bytes.size());
    if (length == 0) return;
    Send(SCI_STARTSTYLING, 0, 0xFF);
    Send(SCI_SETSTYLING, static_cast<unsigned long>(length), 0);
}

void ScriptEditor::LoadRichText(std::string_view rtf) {
    RtfReadResult result = ReadRtf(rtf);
    if (!result.document)
        throw Exception(result.error.empty() ? std::string("Invalid rich text") : result.error);
    RtfDocument& doc = *result.document;
    LoadTextToColour(doc.text.View());
    // The editor holds its own copy now; giving this one back before the
    // styling keeps the load's peak memory down.
    const std::size_t length = std::min(doc.text.Size(), doc.runs.TextLength());
    doc.text.Clear();
    std::vector<ColouredPiece> pieces;
    pieces.push_back(ColouredPiece{0, length, std::move(doc.formats), std::move(doc.runs)});
    SetTextFormats(std::move(pieces));
}

void ScriptEditor::Clear() { SetPlainText({}); }

void ScriptEditor::ReplaceText(std::string_view bytes) {
    const std::string_view now = View();
    const std::size_t shortest = std::min(now.size(), bytes.size());
    std::size_t start = 0;
    while (start < shortest && now[start] == bytes[start]) ++start;
    std::size_t tail = 0;
    while (tail < shortest - start && now[now.size() - 1 - tail] == bytes[bytes.size() - 1 - tail])
        ++tail;
    if (start == now.size() && start == bytes.size()) return;
    const std::string_view inserted = bytes.substr(start, bytes.size() - start - tail);
    const auto end = static_cast<int>(now.size() - tail);
    ReplaceRange(static_cast<int>(start), end, inserted);
    Send(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(start + inserted.size()));
    ReportSelectionIfMoved();
}

void ScriptEditor::undo() {
    const ChangeReport report(*this);
    QsciScintilla::undo();
    ReportSelectionIfMoved();
}

void ScriptEditor::redo() {
    const ChangeReport report(*this);
    QsciScintilla::redo();
    ReportSelectionIfMoved();
}

void ScriptEditor::removeSelectedText() {
    const ChangeReport report(*this);
    QsciScintilla::removeSelectedText();
    ReportSelectionIfMoved();
}

void ScriptEditor::clear() {
    const ChangeReport report(*this);
    QsciScintilla::clear();
    ReportSelectionIfMoved();
}

std::string ScriptEditor::Text() const { return std::string(View()); }

int ScriptEditor::TextLength() const { return static_cast<int>(Send(SCI_GETLENGTH)); }

std::string ScriptEditor::CanonicalText() const { return vk::CanonicalText(View()); }

void ScriptEditor::SaveToFile(const std::filesystem::path& file) const {
    std::string why;
    if (!WriteWholeFileAtomically(file, CanonicalText(), &why))
        throw Exception("Cannot create file " + file.string() + ": " + why);
}

// --- Lines -----------------------------------------------------------------

int ScriptEditor::SciLineCount() const { return static_cast<int>(Send(SCI_GETLINECOUNT)); }

int ScriptEditor::LineCount() const {
    const int lines = SciLineCount();
    return LineLength(lines - 1) == 0 ? lines - 1 : lines;
}

std::string ScriptEditor::Line(int line) const {
    if (line < 0 || line >= SciLineCount()) return {};
    const long start = Send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long end = Send(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    std::string text(static_cast<std::size_t>(end - start) + 1, '\0');
    SendScintilla(SCI_GETTEXTRANGE, start, end, text.data());
    text.pop_back();
    return text;
}

void ScriptEditor::ReplaceRange(int start, int end, std::string_view text) {
    ProgramEdit edit(*this);
    Send(SCI_BEGINUNDOACTION);
    Send(SCI_SETTARGETSTART, static_cast<unsigned long>(start));
    Send(SCI_SETTARGETEND, static_cast<unsigned long>(end));
    SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(text.size()),
                  text.empty() ? "" : text.data());
    Send(SCI_ENDUNDOACTION);
}

bool ScriptEditor::PutLine(int line, std::string_view text) {
    if (line < 0 || line >= LineCount()) return false;
    const int start = LineIndex(line);
    ReplaceRange(start, start + LineLength(line), text);
    ReportSelectionIfMoved();
    return true;
}

bool ScriptEditor::InsertLine(int line, std::string_view text) {
    if (line < 0 || line > LineCount()) return false;
    if (line < SciLineCount()) {
        const int at = LineIndex(line);
        ReplaceRange(at, at, std::string(text) + "\r\n");
    } else {
        // After a last line that has no line end.
        const int end = TextLength();
        ReplaceRange(end, end, "\r\n" + std::string(text));
    }
    ReportSelectionIfMoved();
    return true;
}

bool ScriptEditor::ReplaceLines(int first, const std::vector<std::string>& lines) {
    const int last = first + static_cast<int>(lines.size()) - 1;
    if (lines.empty() || first < 0 || last >= LineCount()) return false;
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    const int start = LineIndex(first);
    ReplaceRange(start, LineIndex(last) + LineLength(last), text);
    ReportSelectionIfMoved();
    return true;
}

bool ScriptEditor::DeleteLine(int line) {
    if (line < 0 || line >= LineCount()) return false;
    const int start = LineIndex(line);
    const int end = line + 1 < SciLineCount() ? LineIndex(line + 1) : TextLength();
    ReplaceRange(start, end, {});
    ReportSelectionIfMoved();
    return true;
}

int ScriptEditor::LineFromChar(int pos) const {
    if (pos < 0) pos = SelStart();
    return static_cast<int>(Send(SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos)));
}

int ScriptEditor::LineIndex(int line) const {
    if (line < 0) line = LineFromChar(-1);
    if (line >= SciLineCount()) return -1;
    return static_cast<int>(Send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)));
}

int ScriptEditor::LineLength(int line) const {
    if (line < 0) line = LineFromChar(-1);
    if (line >= SciLineCount()) return 0;
    return static_cast<int>(Send(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line)) -
                            Send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)));
}

// --- Selection and caret ---------------------------------------------------

int ScriptEditor::SelStart() const { return static_cast<int>(Send(SCI_GETSELECTIONSTART)); }

int ScriptEditor::SelLength() const {
    return static_cast<int>(Send(SCI_GETSELECTIONEND) - Send(SCI_GETSELECTIONSTART));
}

void ScriptEditor::SetSel(int start, int length) {
    const int size = TextLength();
    const int anchor = std::clamp(start, 0, size);
    const int caret = std::clamp(anchor + length, 0, size);
    RestoreSelection({anchor, caret});
}

int ScriptEditor::CaretPos() const { return static_cast<int>(Send(SCI_GETCURRENTPOS)); }

void ScriptEditor::SetCaret(int pos) { SetSel(pos, 0); }

EditorSelection ScriptEditor::SaveSelection() const {
    return {static_cast<int>(Send(SCI_GETANCHOR)), CaretPos()};
}

void ScriptEditor::RestoreSelection(const EditorSelection& selection) {
    // SCI_SETSELECTION does not scroll, so a restored selection keeps the view.
    Send(SCI_SETSELECTION, static_cast<unsigned long>(selection.caret), selection.anchor);
    ReportSelectionIfMoved();
}

void ScriptEditor::SelectAll() { SetSel(0, TextLength()); }

void ScriptEditor::ScrollCaretIntoView() { Send(SCI_SCROLLCARET); }

bool ScriptEditor::ReplaceSelection(std::string_view text) {
    const int start = SelStart();
    const long newLength =
        static_cast<long>(TextLength()) - SelLength() + static_cast<long>(text.size());
    if (textLimit_ > 0 && newLength > textLimit_) return false;
    ReplaceRange(start, start + SelLength(), text);
    Send(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(start + static_cast<int>(text.size())));
    ReportSelectionIfMoved();
    return true;
}

// --- Find and words --------------------------------------------------------

int ScriptEditor::Find(std::string_view what, int start, int end, FindOptions options) const {
    const std::optional<FoundText> found = FindText(what, start, end, options);
    return found ? found->start : -1;
}

std::optional<ScriptEditor::FoundText> ScriptEditor::FindText(std::string_view what, int start,
                                                              int end, FindOptions options) const {
    if (what.empty()) return std::nullopt;
    const int size = TextLength();
    if (end < 0 || end > size) end = size;
    start = std::clamp(start, 0, size);
    int flags = 0;
    if (options.matchCase) flags |= SCFIND_MATCHCASE;
    if (options.wholeWord) flags |= SCFIND_WHOLEWORD;
    if (options.regex) flags |= SCFIND_REGEXP | SCFIND_CXX11REGEX;
    Send(SCI_SETTARGETSTART, static_cast<unsigned long>(start));
    Send(SCI_SETTARGETEND, static_cast<unsigned long>(end));
    Send(SCI_SETSEARCHFLAGS, static_cast<unsigned long>(flags));
    // An invalid expression is reported as -2; it finds nothing.
    const long found =
        SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(what.size()), what.data());
    if (found < 0) return std::nullopt;
    return FoundText{static_cast<int>(found),
                     static_cast<int>(Send(SCI_GETTARGETEND) - Send(SCI_GETTARGETSTART))};
}

unsigned char ScriptEditor::CharAt(int pos) const {
    if (pos < 0 || pos >= TextLength()) return 0;
    return static_cast<unsigned char>(Send(SCI_GETCHARAT, static_cast<unsigned long>(pos)));
}

int ScriptEditor::FindWordBreak(WordBreak kind, int pos) const {
    const auto at = static_cast<std::size_t>(std::max(pos, 0));
    return static_cast<int>(kind == WordBreak::MoveWordLeft ? MoveWordLeft(View(), at)
                                                            : RightWordBreak(View(), at));
}

// --- Modified flag and view --------------------------------------------------

bool ScriptEditor::IsModified() const { return forcedModified_ || Send(SCI_GETMODIFY) != 0; }

void ScriptEditor::SetModified(bool modified) {
    forcedModified_ = modified;
    if (!modified) Send(SCI_SETSAVEPOINT);
}

void ScriptEditor::ScrollLines(int lines) { Send(SCI_LINESCROLL, 0, lines); }

int ScriptEditor::FirstVisibleLine() const {
    return static_cast<int>(Send(SCI_GETFIRSTVISIBLELINE));
}

void ScriptEditor::ScrollToLine(int line) {
    Send(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(std::max(line, 0)));
}

void ScriptEditor::SetTabWidth(int chars) {
    Send(SCI_SETTABWIDTH, static_cast<unsigned long>(std::max(chars, 1)));
}

void ScriptEditor::SetGutterWidth(int pixels) { Send(SCI_SETMARGINLEFT, 0, std::max(pixels, 0)); }

// --- Notifications and redraw ----------------------------------------------

void ScriptEditor::OnModified(int position, int type, const char* text, int length) {
    if ((type & SC_MOD_INSERTCHECK) != 0) {
        if (programEdits_ == 0 && textLimit_ > 0 && TextLength() + length > textLimit_)
            SendScintilla(SCI_CHANGEINSERTION, static_cast<uintptr_t>(0), "");
        return;
    }
    if ((type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)) == 0) return;
    // Positions are about to shift under the formats still waiting.
    EnsureStyledTo(SIZE_MAX);
    if (length <= 0) return;
    const bool inserting = (type & SC_MOD_BEFOREINSERT) != 0;
    emit textChanging(position, length, inserting);
    // While the notifications are detached a change is not reported; the
    // guard reports what it was asked to when it goes.
    if (!NotificationsAttached()) return;
    if (QAccessible::isActive()) {
        std::string bytes;
        if (inserting && text != nullptr) {
            bytes.assign(text, static_cast<std::size_t>(length));
        } else if (!inserting) {
            bytes.assign(static_cast<std::size_t>(length) + 1, '\0');
            SendScintilla(SCI_GETTEXTRANGE, position, position + length, bytes.data());
            bytes.pop_back();
        }
        accessibleChanges_.push_back({position, inserting, FromAnsi(bytes)});
    }
    if (!changePending_ && programEdits_ == 0)
        // A safety net for edits that reach the control some other way
        // than the events and slots that report at their end.
        QMetaObject::invokeMethod(
            this, [this] { ReportChange(); }, Qt::QueuedConnection);
    changePending_ = true;
}

void ScriptEditor::ReportChange() {
    if (!changePending_ || programEdits_ > 0) return;
    changePending_ = false;
    for (const AccessibleChange& change : accessibleChanges_) {
        if (change.inserted) {
            QAccessibleTextInsertEvent event(this, change.position, change.text);
            QAccessible::updateAccessibility(&event);
        } else {
            QAccessibleTextRemoveEvent event(this, change.position, change.text);
            QAccessible::updateAccessibility(&event);
        }
    }
    accessibleChanges_.clear();
    if (NotificationsAttached()) emit scriptChanged();
}

void ScriptEditor::OnUpdateUi(int updated) {
    if ((updated & SC_UPDATE_SELECTION) != 0) ReportSelectionIfMoved();
}

void ScriptEditor::ReportSelectionIfMoved() {
    if (!NotificationsAttached()) return;
    const EditorSelection now = SaveSelection();
    if (now.anchor == reportedSelection_.anchor && now.caret == reportedSelection_.caret) return;
    reportedSelection_ = now;
    emit scriptSelectionChanged();
}

void ScriptEditor::Attach() {
    const OnAttach raise = pendingOnAttach_;
    pendingOnAttach_ = OnAttach::Nothing;
    reportedSelection_ = SaveSelection();
    if (raise != OnAttach::Nothing) emit scriptSelectionChanged();
    if (raise == OnAttach::Both) emit scriptChanged();
}

ScriptEditor::DetachedNotifications::DetachedNotifications(ScriptEditor& editor, OnAttach onAttach)
    : editor_(editor) {
    ++editor_.detachDepth_;
    editor_.pendingOnAttach_ = std::max(editor_.pendingOnAttach_, onAttach);
}

ScriptEditor::DetachedNotifications::~DetachedNotifications() {
    if (--editor_.detachDepth_ == 0) editor_.Attach();
}

ScriptEditor::FrozenRedraw::FrozenRedraw(ScriptEditor& editor) : editor_(editor) {
    if (editor_.freezeDepth_++ == 0) editor_.setUpdatesEnabled(false);
}

ScriptEditor::FrozenRedraw::~FrozenRedraw() {
    if (--editor_.freezeDepth_ == 0) {
        editor_.setUpdatesEnabled(true);
        editor_.viewport()->update();
    }
}

}  // namespace vk
