#include "editor/line_recolourer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <string>

#include "editor/coloured_load.h"
#include "editor/recolouring.h"
#include "editor/script_editor.h"

namespace vk {
namespace {

ClassFonts SchemeFonts() {
    ClassFonts fonts{};
    fonts[IndexOf(TokenClass::Keyword)] = TFont{"Courier New", 10, 0x800000, kBold};
    fonts[IndexOf(TokenClass::Comment)] = TFont{"Courier New", 10, 0x008000, kItalic};
    fonts[IndexOf(TokenClass::String)] = TFont{"Courier New", 10, 0x000080, 0};
    fonts[IndexOf(TokenClass::Number)] = TFont{"Courier New", 10, 0x808000, 0};
    return fonts;
}

class LineRecolourerTest : public ::testing::Test {
protected:
    LineRecolourerTest() {
        editor.resize(400, 200);
        editor.show();
        editor.setFocus();
    }

    void LoadColoured(const std::string& text) {
        ASSERT_TRUE(LoadColouredScript(editor, text, stream));
    }

    // Characters of a line (with its line end) whose colour or style is not
    // their token class's.
    int WrongOnLine(int line) {
        const int start = editor.LineIndex(line);
        const int length = std::min(editor.LineLength(line) + 2, editor.TextLength() - start);
        const std::string text =
            editor.Text().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
        const std::vector<TokenClass> classes = ClassesOf(text);
        int wrong = 0;
        for (int i = 0; i < length; ++i) {
            const RangeFormatReport f = editor.RangeFormat(start + i, 1);
            const ClassLook& want = looks[IndexOf(classes[static_cast<std::size_t>(i)])];
            if (ClassLook{f.color, f.bold, f.italic} != want) ++wrong;
        }
        return wrong;
    }

    // Gives the whole line the base format, as text inserted uncoloured has.
    void Uncolour(int line) {
        editor.SetRangeFormat(editor.LineIndex(line), editor.LineLength(line), 0, false, false);
    }

    TColorStream stream{SchemeFonts()};
    ClassLooks looks = ClassLooksAsLoaded(SchemeFonts());
    ScriptEditor editor;
    TLineRecolourer* recolourer =
        new TLineRecolourer(editor, [this]() -> const ClassFonts& { return stream.Fonts(); });
};

TEST_F(LineRecolourerTest, LoadedTextNeedsNoChange) {
    LoadColoured(
        "Option Explicit\r\nDim x ' a \"note\"\r\nx = &H1F + 2.5E3 & \"s\"\r\n$OBJECT=Form\r\n");
    EXPECT_EQ(recolourer->RecolourLines(0, editor.LineCount() - 1), 0);
}

TEST_F(LineRecolourerTest, TypingInACommentRecoloursThatLineOnly) {
    LoadColoured("x = 1\r\n' note\r\nDim y\r\n");
    Uncolour(0);
    Uncolour(2);
    editor.SetCaret(editor.LineIndex(1) + 3);
    QTest::keyClick(&editor, 'a');
    EXPECT_EQ(editor.Line(1), "' naote");
    EXPECT_EQ(WrongOnLine(1), 0);
    EXPECT_GT(WrongOnLine(0), 0);
    EXPECT_GT(WrongOnLine(2), 0);
    QApplication::processEvents();  // nothing else is pending either
    EXPECT_GT(WrongOnLine(2), 0);
}

TEST_F(LineRecolourerTest, TypingAnApostropheTurnsCodeIntoAComment) {
    LoadColoured("x = 1\r\nDim y = \"s\"\r\n");
    editor.SetCaret(editor.LineIndex(1));
    QTest::keyClick(&editor, Qt::Key_Apostrophe);
    ASSERT_EQ(editor.Line(1), "'Dim y = \"s\"");
    EXPECT_EQ(WrongOnLine(1), 0);
    EXPECT_TRUE(editor.RangeFormat(editor.LineIndex(1), editor.LineLength(1)).italic);
}

TEST_F(LineRecolourerTest, DeletingAnApostropheRecoloursTheLineAfterIt) {
    LoadColoured("x = 1\r\n'Dim y\r\n");
    editor.SetCaret(editor.LineIndex(1));
    QTest::keyClick(&editor, Qt::Key_Delete);
    ASSERT_EQ(editor.Line(1), "Dim y");
    EXPECT_EQ(WrongOnLine(1), 0);
}

TEST_F(LineRecolourerTest, PastedLinesAreAllColoured) {
    LoadColoured("x = 1\r\ny = 2\r\n");
    QApplication::clipboard()->setText(
        QStringLiteral("Dim a\r\n' comment\r\nIf a Then b = \"s\"\r\nEnd If\r\n"));
    editor.SetCaret(editor.LineIndex(1));
    QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(editor.LineCount(), 6);
    ASSERT_EQ(editor.Line(4), "End If");
    for (int line = 0; line < editor.LineCount(); ++line) EXPECT_EQ(WrongOnLine(line), 0) << line;
}

// Lines changed by the program rather than by a key (tag lines, a menu
// paste, a replacement) are coloured once the event loop runs.
TEST_F(LineRecolourerTest, LinesInsertedByTheProgramAreColouredOnceIdle) {
    LoadColoured("x = 1\r\n");
    editor.InsertLine(1, "'#CRC32 1234");
    editor.InsertLine(0, "Dim z");
    EXPECT_GT(WrongOnLine(0), 0);
    QApplication::processEvents();
    for (int line = 0; line < editor.LineCount(); ++line) EXPECT_EQ(WrongOnLine(line), 0) << line;
}

TEST_F(LineRecolourerTest, ALoadIsNotRecoloured) {
    editor.SetPlainText("Dim x\r\n");
    QApplication::processEvents();
    EXPECT_EQ(WrongOnLine(0), 3);  // the keyword stays as loaded
}

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    bool recolours;
};

class RecolourKeyTest : public LineRecolourerTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(RecolourKeyTest, RecoloursTheCaretLineOrNothing) {
    editor.SetPlainText("Dim x\r\nDim y\r\n");
    editor.SetCaret(editor.LineIndex(1) + 1);
    QTest::keyClick(&editor, static_cast<Qt::Key>(GetParam().key), GetParam().modifiers);
    EXPECT_EQ(editor.Text(), "Dim x\r\nDim y\r\n");
    EXPECT_EQ(WrongOnLine(1) == 0, GetParam().recolours);
    EXPECT_GT(WrongOnLine(0), 0);
    EXPECT_EQ(recolourer->KeyDownSelStart(), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, RecolourKeyTest,
    ::testing::Values(KeyCase{"Shift", Qt::Key_Shift, Qt::ShiftModifier, false},
                      KeyCase{"F9", Qt::Key_F9, {}, false},
                      KeyCase{"CtrlDigitIsABookmarkCommand", Qt::Key_3, Qt::ControlModifier, false},
                      KeyCase{"Right", Qt::Key_Right, {}, false},
                      KeyCase{"F10", Qt::Key_F10, {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineRecolourerTest, AutoRepeatKeepsThePositionOfTheFirstKeyDown) {
    LoadColoured("a\r\nb\r\n");
    editor.SetCaret(1);
    QTest::sendKeyEvent(QTest::Press, &editor, Qt::Key_X, 'x', {});
    QTest::sendKeyEvent(QTest::Press, &editor, Qt::Key_X, 'x', {});
    EXPECT_EQ(recolourer->KeyDownSelStart(), 1);
    QTest::sendKeyEvent(QTest::Release, &editor, Qt::Key_X, 'x', {});
    EXPECT_EQ(recolourer->KeyDownSelStart(), -1);
}

}  // namespace
}  // namespace vk
