#include "editor/script_editor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "common/exceptions.h"
#include "editor/coloured_load.h"
#include "highlight/color_stream.h"
#include "support/test_support.h"

namespace vk {
namespace {

class ScriptEditorTest : public ::testing::Test {
protected:
    ScriptEditorTest() { editor.resize(400, 200); }
    ScriptEditor editor;
};

TEST_F(ScriptEditorTest, LineEndCountsTwoPositions) {
    editor.SetPlainText("abc\r\ndefg\r\nhi");
    EXPECT_EQ(editor.TextLength(), 13);
    EXPECT_EQ(editor.LineCount(), 3);
    EXPECT_EQ(editor.LineIndex(0), 0);
    EXPECT_EQ(editor.LineIndex(1), 5);
    EXPECT_EQ(editor.LineIndex(2), 11);
    EXPECT_EQ(editor.LineIndex(3), -1);
    EXPECT_EQ(editor.LineFromChar(4), 0) << "the CR belongs to its line";
    EXPECT_EQ(editor.LineFromChar(5), 1);
    EXPECT_EQ(editor.LineLength(1), 4);
    EXPECT_EQ(editor.Line(1), "defg");
    editor.SetSel(6, 3);
    EXPECT_EQ(editor.LineFromChar(-1), 1);
    EXPECT_EQ(editor.LineIndex(-1), 5);
}

TEST_F(ScriptEditorTest, EveryByteSurvivesLoadTextAndSave) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    editor.SetPlainText(all);
    EXPECT_EQ(editor.TextLength(), 256);
    EXPECT_EQ(editor.Text(), all);

    // A file holds the canonical text, so a text already in that shape comes
    // back byte for byte.
    std::string lines;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n') lines += static_cast<char>(b);
    lines += "\r\n\x80\x9F\xFF\r\n";
    editor.SetPlainText(lines);
    test::TempDir dir;
    editor.SaveToFile(dir.path() / "script.txt");
    EXPECT_EQ(test::ReadFileBytes(dir.path() / "script.txt"), lines);
    EXPECT_THROW(editor.SaveToFile(dir.path() / "missing" / "script.txt"), Exception);
}

TEST_F(ScriptEditorTest, CanonicalTextEndsEveryLineWithCrLf) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", ""},
        {"abc", "abc\r\n"},
        {"abc\r\n", "abc\r\n"},
        {"abc\r\n\r\n", "abc\r\n\r\n"},
    };
    for (const auto& [text, canonical] : cases) {
        editor.SetPlainText(text);
        EXPECT_EQ(editor.CanonicalText(), canonical) << text;
    }
}

struct LineEditCase {
    const char* name;
    std::string_view before;
    std::function<bool(ScriptEditor&)> edit;
    bool done;
    std::string_view after;
};

class LineEditTest : public ::testing::TestWithParam<LineEditCase> {};

TEST_P(LineEditTest, ChangesTheRightLine) {
    const LineEditCase& c = GetParam();
    ScriptEditor editor;
    editor.SetPlainText(c.before);
    EXPECT_EQ(c.edit(editor), c.done);
    EXPECT_EQ(editor.Text(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineEditTest,
    ::testing::Values(
        LineEditCase{"PutMiddle", "a\r\nb\r\nc", [](auto& e) { return e.PutLine(1, "xyz"); }, true,
                     "a\r\nxyz\r\nc"},
        LineEditCase{"PutPastLastLine", "a\r\n", [](auto& e) { return e.PutLine(1, "x"); }, false,
                     "a\r\n"},
        LineEditCase{"InsertFirst", "a\r\nb", [](auto& e) { return e.InsertLine(0, "x"); }, true,
                     "x\r\na\r\nb"},
        LineEditCase{"InsertSecond", "a\r\nb", [](auto& e) { return e.InsertLine(1, "x"); }, true,
                     "a\r\nx\r\nb"},
        LineEditCase{"AppendAfterUnterminatedLine", "a",
                     [](auto& e) { return e.InsertLine(1, "x"); }, true, "a\r\nx"},
        LineEditCase{"AppendAfterFinalBreak", "a\r\n", [](auto& e) { return e.InsertLine(1, "x"); },
                     true, "a\r\nx\r\n"},
        LineEditCase{"InsertIntoEmpty", "", [](auto& e) { return e.InsertLine(0, "x"); }, true,
                     "x\r\n"},
        LineEditCase{"EmptyEditorTakesNoSecondLine", "",
                     [](auto& e) { return e.InsertLine(1, "x"); }, false, ""},
        LineEditCase{"DeleteMiddle", "a\r\nb\r\nc", [](auto& e) { return e.DeleteLine(1); }, true,
                     "a\r\nc"},
        LineEditCase{"DeleteLastUnterminated", "a\r\nb", [](auto& e) { return e.DeleteLine(1); },
                     true, "a\r\n"},
        LineEditCase{"DeleteOutOfRange", "a\r\n", [](auto& e) { return e.DeleteLine(1); }, false,
                     "a\r\n"},
        LineEditCase{"ReplaceBlockKeepsLineEnds", "a\r\nb\r\nc\nd",
                     [](auto& e) {
                         return e.ReplaceLines(1, {"x", "y"});
                     },
                     true, "a\r\nx\r\ny\nd"},
        LineEditCase{"ReplaceUnterminatedLastLine", "a\r\nb",
                     [](auto& e) { return e.ReplaceLines(1, {"z"}); }, true, "a\r\nz"},
        LineEditCase{"ReplacePastLastLine", "a\r\nb\r\n",
                     [](auto& e) {
                         return e.ReplaceLines(1, {"x", "y"});
                     },
                     false, "a\r\nb\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptEditorTest, ColouredLoadCarriesClassColoursAndFonts) {
    ClassFonts fonts{};
    fonts[IndexOf(TokenClass::Keyword)].color = 0xFF0000;  // blue
    fonts[IndexOf(TokenClass::Keyword)].style = kBold;
    fonts[IndexOf(TokenClass::Comment)].color = 0x008000;  // green
    fonts[IndexOf(TokenClass::Comment)].style = kItalic;
    fonts[IndexOf(TokenClass::String)].color = 0x000080;  // maroon
    TColorStream stream(fonts);
    const std::string script = "Dim x ' note\r\nx = \"a{b}\\c\"\r\n";
    stream.LoadText(script);
    stream.ConvertToRtf();
    editor.LoadRichText(stream.Data());

    ASSERT_EQ(editor.Text(), script);
    EXPECT_FALSE(editor.IsPlainTextMode());
    const RangeFormatReport dim = editor.RangeFormat(0, 3);
    EXPECT_EQ(dim.color, 0xFF0000u);
    EXPECT_TRUE(dim.bold && dim.colorUniform && dim.boldUniform);
    const RangeFormatReport comment = editor.RangeFormat(6, 6);
    EXPECT_EQ(comment.color, 0x008000u);
    EXPECT_TRUE(comment.italic && !comment.bold && comment.colorUniform);
    const RangeFormatReport string = editor.RangeFormat(18, 8);
    EXPECT_EQ(string.color, 0x000080u);
    EXPECT_TRUE(string.colorUniform);
    const RangeFormatReport identifier = editor.RangeFormat(4, 1);
    EXPECT_EQ(identifier.color, 0u) << "the default colour reads as colour 0";
    EXPECT_FALSE(identifier.bold);

    const RangeFormatReport mixed = editor.RangeFormat(0, 8);
    EXPECT_FALSE(mixed.colorUniform);
    EXPECT_FALSE(mixed.boldUniform);
    EXPECT_FALSE(mixed.italicUniform);
}

// The styles reach the editor in blocks; a text of several blocks must be
// styled byte for byte across their seams.
TEST_F(ScriptEditorTest, ColouredLoadStylesEveryByteOfALongText) {
    ClassFonts fonts{};
    fonts[IndexOf(TokenClass::Keyword)].color = 0xFF0000;
    fonts[IndexOf(TokenClass::Keyword)].style = kBold;
    TColorStream stream(fonts);
    std::string script;
    while (script.size() < 200000) script += "Dim x\r\n";
    stream.LoadText(script);
    stream.ConvertToRtf();
    editor.LoadRichText(stream.Data());
    ASSERT_EQ(editor.Text(), script);

    auto styleAt = [&](std::size_t pos) { return editor.StyleAt(static_cast<int>(pos)); };
    const int keyword = styleAt(0);
    const int other = styleAt(3);
    ASSERT_NE(keyword, other);
    for (std::size_t pos = 0; pos < script.size(); ++pos)
        ASSERT_EQ(styleAt(pos), pos % 7 < 3 ? keyword : other) << "byte " << pos;
}

// The styles of a coloured load reach the control as it draws: wherever the
// view goes, and before an edit shifts the text under them.
TEST_F(ScriptEditorTest, ColouredLoadStylesWhatIsDrawnAndSurvivesEdits) {
    ClassFonts fonts{};
    fonts[IndexOf(TokenClass::Keyword)].color = 0xFF0000;  // blue
    TColorStream stream(fonts);
    std::string script;
    while (script.size() < 300000) script += "Dim x\r\n";
    ASSERT_TRUE(LoadColouredScript(editor, script, stream));
    ASSERT_EQ(editor.Text(), script);

    editor.show();
    auto blueIsShown = [&] {
        QApplication::processEvents();
        const QImage image = editor.viewport()->grab().toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.blue() > 150 && c.red() < 100 && c.green() < 100) return true;
            }
        return false;
    };
    EXPECT_TRUE(blueIsShown());

    // An edit near the top, while most of the text is not styled yet.
    const std::string inserted = "' top\r\n";
    editor.SetCaret(0);
    ASSERT_TRUE(editor.ReplaceSelection(inserted));
    const auto keyword = editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, inserted.size());
    const auto other = editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, inserted.size() + 3);
    ASSERT_NE(keyword, other);
    for (std::size_t pos = 0; pos < script.size(); ++pos)
        ASSERT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, inserted.size() + pos),
                  pos % 7 < 3 ? keyword : other)
            << "byte " << pos;

    editor.ScrollToLine(editor.LineCount() - 3);
    EXPECT_TRUE(blueIsShown()) << "the end of a long script is coloured too";
}

// Loads reuse the control's styles; one that now stands for another format
// must be defined again.
TEST_F(ScriptEditorTest, ReloadsDefineTheStylesTheirFormatsNeed) {
    for (std::uint32_t color : {0xFF0000u, 0x0000FFu, 0xFF0000u}) {
        ClassFonts fonts{};
        fonts[IndexOf(TokenClass::Keyword)].color = color;
        TColorStream stream(fonts);
        ASSERT_TRUE(LoadColouredScript(editor, "Dim x\r\n", stream));
        const auto style = static_cast<unsigned long>(editor.StyleAt(0));
        EXPECT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, style),
                  static_cast<long>(color));
    }
    editor.SetEditorFont("DejaVu Sans Mono", 14);
    const auto style = static_cast<unsigned long>(editor.StyleAt(0));
    EXPECT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, style), 14);
}

TEST_F(ScriptEditorTest, ColouredLoadFailsWhenTheConversionDoes) {
    TColorStream stream;
    stream.SetOutputLimit(64);
    EXPECT_FALSE(LoadColouredScript(editor, "Dim x\r\n", stream));
    stream.SetOutputLimit(std::nullopt);
    EXPECT_TRUE(LoadColouredScript(editor, "Dim x\r\n", stream));
    EXPECT_FALSE(editor.IsPlainTextMode());
}

TEST_F(ScriptEditorTest, UnreadableRichTextThrowsAndKeepsTheText) {
    editor.SetPlainText("keep");
    EXPECT_THROW(editor.LoadRichText("{\\rtf1 {\\fonttbl"), Exception);
    EXPECT_EQ(editor.Text(), "keep");
}

TEST_F(ScriptEditorTest, RangeFormatSetsOnlyTheRange) {
    editor.SetPlainText("alpha beta");
    editor.SetRangeFormat(6, 4, 0x0000FF, true, false);
    EXPECT_EQ(editor.RangeFormat(6, 4).color, 0x0000FFu);
    EXPECT_TRUE(editor.RangeFormat(6, 4).bold);
    EXPECT_EQ(editor.RangeFormat(0, 5).color, 0u);
    EXPECT_FALSE(editor.RangeFormat(5, 2).colorUniform);
    EXPECT_FALSE(editor.IsModified()) << "colouring is not an edit";
}

TEST_F(ScriptEditorTest, ReplaceTextChangesOnlyWhatDiffersAsOneUndoableEdit) {
    editor.SetPlainText("Dim a\r\nDim b\r\nDim c\r\n");
    editor.SetRangeFormat(0, 3, 0x0000FF, true, false);
    editor.SetRangeFormat(16, 3, 0x00FF00, false, true);
    editor.SetTextLimit(10);  // the program's edits are not held to it
    QSignalSpy changed(&editor, &ScriptEditor::scriptChanged);
    editor.ReplaceText("Dim a\r\nDim bb, x\r\nDim c\r\n");

    EXPECT_EQ(editor.Text(), "Dim a\r\nDim bb, x\r\nDim c\r\n");
    EXPECT_TRUE(editor.IsModified());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(editor.CaretPos(), 16) << "after the change";
    EXPECT_EQ(editor.RangeFormat(0, 3).color, 0x0000FFu) << "the same start keeps its format";
    EXPECT_EQ(editor.RangeFormat(20, 3).color, 0x00FF00u) << "the same end keeps its format";
    editor.undo();
    EXPECT_EQ(editor.Text(), "Dim a\r\nDim b\r\nDim c\r\n") << "one step";
    EXPECT_FALSE(editor.IsModified());

    editor.ReplaceText(editor.Text());
    EXPECT_FALSE(editor.IsModified()) << "the same text is no edit";
    editor.ReplaceText("");
    EXPECT_EQ(editor.TextLength(), 0);
    editor.undo();
    EXPECT_EQ(editor.Text(), "Dim a\r\nDim b\r\nDim c\r\n");
}

TEST_F(ScriptEditorTest, RunningOutOfStylesReusesFreedOnesThenTheNearest) {
    const std::string text(300, 'x');
    editor.SetPlainText(text);
    for (int i = 0; i < 300; ++i)
        editor.SetRangeFormat(i, 1, static_cast<std::uint32_t>(i), false, false);
    EXPECT_EQ(editor.Styles().AllocatedCount(), StyleTable::kUsableCount);
    EXPECT_EQ(editor.RangeFormat(100, 1).color, 100u);
    EXPECT_EQ(editor.RangeFormat(299, 1).color, 0x00002Bu)
        << "past the last style 0x00012B takes the closest colour that has one";

    // Once the text is recoloured uniformly the old styles are free again.
    editor.SetRangeFormat(0, 300, 0x123456, false, false);
    editor.SetRangeFormat(0, 1, 0x654321, true, true);
    EXPECT_EQ(editor.RangeFormat(0, 1).color, 0x654321u);
    EXPECT_TRUE(editor.RangeFormat(0, 1).italic);
    EXPECT_EQ(editor.Text(), text);
}

struct FindCase {
    const char* name;
    std::string_view what;
    bool matchCase;
    bool wholeWord;
    int start;
    int end;
    int expected;
};

class FindTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindTest, HonoursFlagsAndRange) {
    const FindCase& c = GetParam();
    ScriptEditor editor;
    editor.SetPlainText("Dim Total\r\ntotal = subtotal + total\r\n");
    EXPECT_EQ(editor.Find(c.what, c.start, c.end, {c.matchCase, c.wholeWord}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, FindTest,
    ::testing::Values(FindCase{"IgnoreCase", "total", false, false, 0, -1, 4},
                      FindCase{"MatchCase", "total", true, false, 0, -1, 11},
                      FindCase{"PartOfWordFound", "total", true, false, 12, -1, 22},
                      FindCase{"WholeWordSkipsPart", "total", true, true, 12, -1, 30},
                      FindCase{"EndLimitsRange", "total", true, true, 12, 30, -1},
                      FindCase{"CaseMismatch", "Sub", true, false, 0, -1, -1},
                      FindCase{"EmptyFindsNothing", "", false, false, 0, -1, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptEditorTest, ReplaceSelectionUndoesInOneStep) {
    editor.SetPlainText("Dim a, b");
    editor.SetSel(4, 4);
    ASSERT_TRUE(editor.ReplaceSelection("[ViewFilter(1)]"));
    EXPECT_EQ(editor.Text(), "Dim [ViewFilter(1)]");
    EXPECT_EQ(editor.CaretPos(), 19);
    EXPECT_EQ(editor.SelLength(), 0);
    EXPECT_TRUE(editor.IsModified());
    editor.undo();
    EXPECT_EQ(editor.Text(), "Dim a, b");
    EXPECT_FALSE(editor.IsModified()) << "undo returns to the saved state";
}

TEST_F(ScriptEditorTest, ModifiedFlagFollowsSavePoint) {
    editor.SetPlainText("abc");
    EXPECT_FALSE(editor.IsModified()) << "a load is not an edit";
    editor.PutLine(0, "abd");
    EXPECT_TRUE(editor.IsModified());
    editor.SetModified(false);
    EXPECT_FALSE(editor.IsModified());
    editor.SetModified(true);
    EXPECT_TRUE(editor.IsModified());
    editor.Clear();
    EXPECT_FALSE(editor.IsModified());
}

TEST_F(ScriptEditorTest, SelectionSaveRestoreAndWordBreaks) {
    editor.SetPlainText("x = MsgBox(\"hi\")");
    editor.SetSel(10, -6);
    const EditorSelection saved = editor.SaveSelection();
    EXPECT_EQ(editor.SelStart(), 4);
    EXPECT_EQ(editor.SelLength(), 6);
    EXPECT_EQ(editor.CaretPos(), 4);
    editor.SelectAll();
    EXPECT_EQ(editor.SelLength(), editor.TextLength());
    editor.RestoreSelection(saved);
    EXPECT_EQ(editor.SelStart(), 4);
    EXPECT_EQ(editor.CaretPos(), 4);
    EXPECT_EQ(editor.FindWordBreak(WordBreak::MoveWordLeft, 11), 4);
    EXPECT_EQ(editor.FindWordBreak(WordBreak::RightBreak, 6), 10);
}

TEST_F(ScriptEditorTest, NotificationsDetachAndFireOnceOnAttach) {
    editor.SetPlainText("a\r\nb\r\nc\r\n");
    QSignalSpy changed(&editor, &ScriptEditor::scriptChanged);
    QSignalSpy moved(&editor, &ScriptEditor::scriptSelectionChanged);

    editor.PutLine(0, "x");
    editor.SetCaret(3);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(moved.count(), 1);
    editor.SetCaret(3);
    EXPECT_EQ(moved.count(), 1) << "an unmoved caret is no change";

    changed.clear();
    moved.clear();
    {
        ScriptEditor::DetachedNotifications outer(editor);
        {
            ScriptEditor::DetachedNotifications inner(editor, ScriptEditor::OnAttach::Nothing);
            for (int i = 0; i < 3; ++i) editor.PutLine(i, "changed");
            editor.SetSel(0, 5);
        }
        EXPECT_FALSE(editor.NotificationsAttached()) << "the inner guard does not attach";
        EXPECT_EQ(changed.count(), 0);
        EXPECT_EQ(moved.count(), 0);
    }
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(moved.count(), 1);

    changed.clear();
    moved.clear();
    {
        ScriptEditor::DetachedNotifications quiet(editor, ScriptEditor::OnAttach::Nothing);
        editor.SetRangeFormat(0, 3, 0xFF, false, false);
        editor.SetCaret(0);
    }
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(moved.count(), 0);
    editor.SetCaret(0);
    EXPECT_EQ(moved.count(), 0) << "the position reached while detached counts as reported";
}

struct ChangeRoadCase {
    const char* name;
    std::function<void(ScriptEditor&)> edit;
    std::vector<std::string> reports;  // the text at each report
};

class ChangeRoadTest : public ::testing::TestWithParam<ChangeRoadCase> {};

// Whatever road an edit takes, the change is reported once, after the text
// has changed, and textChanging told of it before.
TEST_P(ChangeRoadTest, ReportsEachEditOnceWhenDone) {
    ScriptEditor editor;
    editor.show();
    editor.setFocus();
    editor.SetPlainText("abc\r\ndef\r\n");
    editor.SetSel(0, 3);
    QApplication::clipboard()->setText("xy");
    QSignalSpy changing(&editor, &ScriptEditor::textChanging);
    std::vector<std::string> seen;
    QObject::connect(&editor, &ScriptEditor::scriptChanged, [&] { seen.push_back(editor.Text()); });
    GetParam().edit(editor);
    QApplication::processEvents();  // the safety net for edits from elsewhere
    EXPECT_EQ(seen, GetParam().reports);
    EXPECT_GT(changing.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Roads, ChangeRoadTest,
    ::testing::Values(
        ChangeRoadCase{
            "TypedKey", [](ScriptEditor& e) { QTest::keyClick(&e, 'q'); }, {"q\r\ndef\r\n"}},
        ChangeRoadCase{"Paste", [](ScriptEditor& e) { e.paste(); }, {"xy\r\ndef\r\n"}},
        ChangeRoadCase{"Cut", [](ScriptEditor& e) { e.cut(); }, {"\r\ndef\r\n"}},
        ChangeRoadCase{"UndoOfAProgramEdit",
                       [](ScriptEditor& e) {
                           e.PutLine(1, "zz");
                           e.undo();
                       },
                       {"abc\r\nzz\r\n", "abc\r\ndef\r\n"}},
        ChangeRoadCase{
            "ProgramEdit", [](ScriptEditor& e) { e.PutLine(1, "zz"); }, {"abc\r\nzz\r\n"}},
        ChangeRoadCase{"MessageFromElsewhere",
                       [](ScriptEditor& e) {
                           e.SendScintilla(QsciScintillaBase::SCI_REPLACESEL,
                                           static_cast<uintptr_t>(0), "m");
                       },
                       {"m\r\ndef\r\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptEditorTest, GuardsAttachAndThawWhenAnExceptionPasses) {
    QSignalSpy changed(&editor, &ScriptEditor::scriptChanged);
    try {
        ScriptEditor::FrozenRedraw frozen(editor);
        ScriptEditor::DetachedNotifications detached(editor);
        EXPECT_TRUE(editor.RedrawFrozen());
        throw Exception("unindent failed");
    } catch (const Exception&) {
    }
    EXPECT_FALSE(editor.RedrawFrozen());
    EXPECT_TRUE(editor.NotificationsAttached());
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(ScriptEditorTest, TextLimitRefusesTypingAndPasteButNotLoads) {
    editor.show();
    editor.setFocus();
    editor.SetPlainText("123456");
    editor.SetTextLimit(8);
    editor.SetCaret(6);
    QTest::keyClicks(&editor, "abc");
    EXPECT_EQ(editor.Text(), "123456ab");
    EXPECT_FALSE(editor.ReplaceSelection("z"));

    QApplication::clipboard()->setText("xy");
    editor.SetSel(0, 1);
    editor.paste();
    EXPECT_EQ(editor.Text(), "123456ab") << "a paste that does not fit is refused whole";
    editor.SetSel(0, 2);
    editor.paste();
    EXPECT_EQ(editor.Text(), "xy3456ab");

    editor.SetPlainText("a text longer than the limit");
    EXPECT_EQ(editor.TextLength(), 28);
    EXPECT_TRUE(editor.InsertLine(0, "the program's own lines are not cut"));
}

TEST_F(ScriptEditorTest, ClipboardCarriesWindows1252AsUnicode) {
    editor.SetPlainText("\x80 \x93q\x94");
    editor.SelectAll();
    editor.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("€ “q”"));
    QApplication::clipboard()->setText(QString::fromUtf8("‘é’"));
    editor.SetSel(0, 1);
    editor.paste();
    EXPECT_EQ(editor.Text(), "\x91\xE9\x92 \x93q\x94");
}

TEST_F(ScriptEditorTest, ScrollingByLines) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line\r\n";
    editor.SetPlainText(text);
    editor.ScrollToLine(50);
    EXPECT_EQ(editor.FirstVisibleLine(), 50);
    editor.ScrollLines(-10);
    EXPECT_EQ(editor.FirstVisibleLine(), 40);
    editor.SetCaret(editor.LineIndex(120));
    EXPECT_EQ(editor.FirstVisibleLine(), 40) << "placing the caret does not scroll";
    editor.ScrollCaretIntoView();
    EXPECT_NE(editor.FirstVisibleLine(), 40);
}

}  // namespace
}  // namespace vk
