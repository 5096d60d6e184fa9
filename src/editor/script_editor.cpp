#include "editor/script_editor.h"

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

KeyModifiers ModifiersOf(const QKeyEvent& event) {
    const auto m = event.modifiers();
    return {m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier),
            m.testFlag(Qt::AltModifier)};
}

// The character a key types, as Windows would hand it to a key-press event:
// control characters as they are (Enter 13, Backspace 8, Ctrl+A 1), others
// as their Windows-1252 byte. Delete and Ctrl+digit type nothing.
std::optional<char> TypedChar(const QKeyEvent& event, int virtualKey) {
    const auto m = event.modifiers();
    if (m.testFlag(Qt::ControlModifier) && !m.testFlag(Qt::AltModifier)) {
        // Ctrl+letter types its control character; other Ctrl keys type none.
        if (virtualKey >= 'A' && virtualKey <= 'Z') return static_cast<char>(virtualKey - 'A' + 1);
        return std::nullopt;
    }
    const QString text = event.text();
    if (text.size() == 1) {
        const char16_t u = text.at(0).unicode();
        if (u == 0x7F) return std::nullopt;
        if (u < 0x20) return static_cast<char>(u);
        return ToAnsi(text)[0];
    }
    if (text.isEmpty() &&
        (virtualKey == 8 || virtualKey == 9 || virtualKey == 13 || virtualKey == 27))
        return static_cast<char>(virtualKey);
    return std::nullopt;
}

}  // namespace

// Marks an edit made by the program itself (loads, line operations): the
// text limit does not apply to it, and its deletions and insertions report
// one change at its end.
class ScriptEditor::ProgramEdit {
public:
    explicit ProgramEdit(ScriptEditor& editor) : editor_(editor) { ++editor_.programEdits_; }
    ~ProgramEdit() {
        if (--editor_.programEdits_ > 0 || !editor_.programChanged_) return;
        editor_.programChanged_ = false;
        if (editor_.NotificationsAttached()) emit editor_.scriptChanged();
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
    Send(SCI_SETMODEVENTMASK, static_cast<unsigned long>(Send(SCI_GETMODEVENTMASK)) |
                                  SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT | SC_MOD_INSERTCHECK |
                                  SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);

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
            [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
                OnModified(position, type, length);
            });
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
    LoadRichDocument(std::move(*result.document));
}

void ScriptEditor::LoadRichDocument(RtfDocument doc) {
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

std::string ScriptEditor::Text() const { return std::string(View()); }

int ScriptEditor::TextLength() const { return static_cast<int>(Send(SCI_GETLENGTH)); }

std::string ScriptEditor::CanonicalText() const { return vk::CanonicalText(View()); }

void ScriptEditor::SaveToFile(const std::filesystem::path& file) const {
    const std::string text = CanonicalText();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (out) out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw Exception("Cannot create file " + file.string());
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
    if (what.empty()) return -1;
    const int size = TextLength();
    if (end < 0 || end > size) end = size;
    start = std::clamp(start, 0, size);
    int flags = 0;
    if (options.matchCase) flags |= SCFIND_MATCHCASE;
    if (options.wholeWord) flags |= SCFIND_WHOLEWORD;
    Send(SCI_SETTARGETSTART, static_cast<unsigned long>(start));
    Send(SCI_SETTARGETEND, static_cast<unsigned long>(end));
    Send(SCI_SETSEARCHFLAGS, static_cast<unsigned long>(flags));
    const long found =
        SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(what.size()), what.data());
    return found < 0 ? -1 : static_cast<int>(found);
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

void ScriptEditor::SetEditorFont(std::string_view face, int sizePoints) {
    TextFormat base = styles_.Base();
    base.face = std::string(face);
    base.sizeHalfPoints = sizePoints * 2;
    styles_.SetFontOfAll(base.face, base.sizeHalfPoints);
    ApplyStyle(kDefaultStyle, base);
    for (int style = 0; style < StyleTable::kStyleCount; ++style)
        if (const auto& format = styles_.FormatOf(style)) ApplyStyle(style, *format);
}

// --- Formats ---------------------------------------------------------------

void ScriptEditor::ApplyStyle(int style, const TextFormat& format) {
    TextFormat shown = format;
    if (shown.face.empty()) shown.face = styles_.Base().face;
    // Each load hands out its styles afresh, mostly with the formats they
    // had before; defining a style again costs a font lookup for nothing.
    std::optional<TextFormat>& applied = appliedStyles_.at(static_cast<std::size_t>(style));
    if (applied == shown) return;
    applied = shown;
    const auto s = static_cast<uintptr_t>(style);
    const QByteArray face = DisplayFace(shown.face).toLatin1();
    SendScintilla(SCI_STYLESETFONT, s, face.constData());
    Send(SCI_STYLESETSIZEFRACTIONAL, s, format.sizeHalfPoints * 50L);
    Send(SCI_STYLESETFORE, s, static_cast<long>(format.color & 0xFFFFFF));
    Send(SCI_STYLESETBOLD, s, format.bold ? 1 : 0);
    Send(SCI_STYLESETITALIC, s, format.italic ? 1 : 0);
}

int ScriptEditor::StyleFor(const TextFormat& format) {
    bool isNew = false;
    std::optional<int> style = styles_.Allocate(format, isNew);
    if (!style) return styles_.Nearest(format);
    if (isNew) ApplyStyle(*style, format);
    return *style;
}

void ScriptEditor::ReleaseUnusedStyles(std::array<bool, StyleTable::kStyleCount> used) {
    const int size = TextLength();
    EnsureStyledTo(static_cast<std::size_t>(size));
    for (int pos = 0; pos < size; ++pos)
        used[static_cast<std::size_t>(Send(SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) &
                                      0xFF)] = true;
    styles_.Release(used);
}

void ScriptEditor::SetRangeFormat(int start, int length, std::uint32_t color, bool bold,
                                  bool italic) {
    const int size = TextLength();
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    if (length == 0) return;
    EnsureStyledTo(static_cast<std::size_t>(start + length));

    std::string current(static_cast<std::size_t>(length), '\0');
    for (int i = 0; i < length; ++i)
        current[static_cast<std::size_t>(i)] =
            static_cast<char>(Send(SCI_GETSTYLEAT, static_cast<unsigned long>(start + i)));

    auto restyled = [&](unsigned char old) {
        TextFormat format = styles_.FormatOf(old).value_or(styles_.Base());
        format.color = color & 0xFFFFFF;
        format.bold = bold;
        format.italic = italic;
        return format;
    };
    // When every style is taken, styles that no character uses any more are
    // freed once; after that a format without a style gets the nearest one.
    std::array<int, StyleTable::kStyleCount> mapping;
    mapping.fill(-1);
    bool released = false;
    for (char c : current) {
        const auto old = static_cast<unsigned char>(c);
        if (mapping[old] >= 0) continue;
        const TextFormat format = restyled(old);
        bool isNew = false;
        std::optional<int> style = styles_.Allocate(format, isNew);
        if (!style && !released) {
            // Styles picked earlier in this call are not in the text yet.
            std::array<bool, StyleTable::kStyleCount> keep{};
            for (int picked : mapping)
                if (picked >= 0) keep[static_cast<std::size_t>(picked)] = true;
            ReleaseUnusedStyles(keep);
            released = true;
            style = styles_.Allocate(format, isNew);
        }
        if (!style) style = styles_.Nearest(format);
        if (isNew) ApplyStyle(*style, format);
        mapping[old] = *style;
    }

    std::string wanted(current.size(), '\0');
    for (std::size_t i = 0; i < current.size(); ++i)
        wanted[i] = static_cast<char>(mapping[static_cast<unsigned char>(current[i])]);
    if (wanted == current) return;
    Send(SCI_STARTSTYLING, static_cast<unsigned long>(start), 0xFF);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<uintptr_t>(wanted.size()), wanted.data());
}

RangeFormatReport ScriptEditor::RangeFormat(int start, int length) const {
    const int size = TextLength();
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    EnsureStyledTo(static_cast<std::size_t>(start + length) + 1);
    auto formatAt = [&](int pos) -> TextFormat {
        if (pos >= size) return styles_.Base();
        const auto style =
            static_cast<int>(Send(SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) & 0xFF);
        return styles_.FormatOf(style).value_or(styles_.Base());
    };
    const TextFormat first = formatAt(start);
    RangeFormatReport report{first.color, first.bold, first.italic};
    int previousStyle = -1;
    for (int pos = start + 1; pos < start + length; ++pos) {
        const auto style =
            static_cast<int>(Send(SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) & 0xFF);
        if (style == previousStyle) continue;
        previousStyle = style;
        const TextFormat f = styles_.FormatOf(style).value_or(styles_.Base());
        report.colorUniform = report.colorUniform && f.color == first.color;
        report.boldUniform = report.boldUniform && f.bold == first.bold;
        report.italicUniform = report.italicUniform && f.italic == first.italic;
    }
    return report;
}

// --- Notifications and redraw ----------------------------------------------

void ScriptEditor::OnModified(int, int type, int length) {
    if ((type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)) != 0) {
        // Positions are about to shift under the formats still waiting.
        EnsureStyledTo(SIZE_MAX);
        return;
    }
    if ((type & SC_MOD_INSERTCHECK) != 0) {
        if (programEdits_ == 0 && textLimit_ > 0 && TextLength() + length > textLimit_)
            SendScintilla(SCI_CHANGEINSERTION, static_cast<uintptr_t>(0), "");
        return;
    }
    if ((type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)) == 0 || length <= 0) return;
    if (programEdits_ > 0)
        programChanged_ = true;
    else if (NotificationsAttached())
        emit scriptChanged();
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

// --- Keys ----------------------------------------------------------------

void ScriptEditor::TypeByte(char byte) {
    const char text[2] = {byte, '\0'};
    SendScintilla(SCI_REPLACESEL, static_cast<uintptr_t>(0), text);
}

void ScriptEditor::keyPressEvent(QKeyEvent* event) {
    const int virtualKey = VirtualKeyFromQt(event->key(), event->modifiers());
    if (keyDown_ && virtualKey != 0) {
        int key = virtualKey;
        keyDown_(key, ModifiersOf(*event));
        if (key == 0) {
            event->accept();
            return;
        }
    }
    if (const std::optional<char> typed = TypedChar(*event, virtualKey)) {
        char key = *typed;
        if (keyPress_) keyPress_(key);
        const auto byte = static_cast<unsigned char>(key);
        // QScintilla would type 0x80-0x9F as '?' (it converts as Latin-1),
        // and a replaced character is not the key's own.
        const bool typeHere = key != *typed ? byte >= 0x20 : (byte >= 0x80 && byte < 0xA0);
        if (key == 0 || typeHere) {
            if (typeHere) TypeByte(key);
            event->accept();
            ReportSelectionIfMoved();
            return;
        }
    }
    const KeyModifiers modifiers = ModifiersOf(*event);
    if (modifiers.ctrl && !modifiers.alt && !event->text().isEmpty()) {
        // Ctrl with a key types nothing on Windows (Ctrl+3 is a bookmark
        // command, not a '3'); QScintilla would type the key's text.
        QKeyEvent command(event->type(), event->key(), event->modifiers(), QString(),
                          event->isAutoRepeat(), static_cast<quint16>(event->count()));
        QsciScintilla::keyPressEvent(&command);
        event->setAccepted(command.isAccepted());
    } else {
        QsciScintilla::keyPressEvent(event);
    }
    ReportSelectionIfMoved();
}

void ScriptEditor::keyReleaseEvent(QKeyEvent* event) {
    if (keyUp_ && !event->isAutoRepeat()) {
        int key = VirtualKeyFromQt(event->key(), event->modifiers());
        if (key != 0) keyUp_(key, ModifiersOf(*event));
    }
    QsciScintilla::keyReleaseEvent(event);
}

// --- Clipboard -------------------------------------------------------------

void ScriptEditor::paste() {
    // A paste that does not fit is refused before it replaces the selection.
    if (textLimit_ > 0) {
        bool rectangular = false;
        const QMimeData* data = QApplication::clipboard()->mimeData();
        if (data == nullptr) return;
        const QByteArray bytes = fromMimeData(data, rectangular);
        qsizetype added = bytes.size();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const bool lone = (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) ||
                              (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'));
            added += lone ? 1 : 0;  // a lone CR or LF is pasted as CR LF
        }
        if (TextLength() - SelLength() + added > textLimit_) return;
    }
    QsciScintilla::paste();
    ReportSelectionIfMoved();
}

// The clipboard holds Unicode; the script holds Windows-1252 bytes.
QByteArray ScriptEditor::fromMimeData(const QMimeData* source, bool& rectangular) const {
    rectangular = false;
    const std::string bytes = ToAnsi(source->text());
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QMimeData* ScriptEditor::toMimeData(const QByteArray& text, bool rectangular) const {
    auto* data = QsciScintilla::toMimeData(text, rectangular);
    data->setText(
        FromAnsi(std::string_view(text.constData(), static_cast<std::size_t>(text.size()))));
    return data;
}

}  // namespace vk
