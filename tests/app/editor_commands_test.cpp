#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <string>

#include "app/editor_commands_wiring.h"
#include "editor/bookmark_tags.h"
#include "editor/line_number_margin.h"
#include "editor/line_recolourer.h"
#include "editor/recolouring.h"
#include "editor/script_editor.h"
#include "highlight/class_looks.h"
#include "highlight/color_stream.h"
#include "main_window_fixture.h"

namespace vk::test {
namespace {

class EditorCommandsTest : public MainWindowTest {
protected:
    void SetUp() override {
        window = MakeWindow();
        commands = AttachEditorCommands(*window);
        editor = window->reScript();
        editor->setEnabled(true);
        for (QAction* action : {window->Actions().acIndentBlock, window->Actions().acUnindentBlock,
                                window->Actions().acSetNextBookmark})
            action->setEnabled(true);
    }

    // Characters of a line whose colour or style is not their class's.
    int WrongOnLine(int line) {
        const ClassLooks looks = ClassLooksAsLoaded(window->ColorStream().Fonts());
        const std::string text = editor->Line(line);
        const std::vector<TokenClass> classes = ClassesOf(text);
        int wrong = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const RangeFormatReport f =
                editor->RangeFormat(editor->LineIndex(line) + static_cast<int>(i), 1);
            if (ClassLook{f.color, f.bold, f.italic} != looks[IndexOf(classes[i])]) ++wrong;
        }
        return wrong;
    }

    std::unique_ptr<TfMain> window;
    EditorCommands commands;
    ScriptEditor* editor = nullptr;
};

// Line starts in "a\r\nb\r\nc\r\nd\r\n": 0, 3, 6, 9; the end 12.
constexpr const char* kFourLines = "a\r\nb\r\nc\r\nd\r\n";

struct IndentCase {
    const char* name;
    const char* text;
    int indentStyle;
    int tabWidth;
    bool unindent;
    int selStart, selLength;
    const char* expected;
    int expectedLength;
};

class BlockIndentTest : public EditorCommandsTest,
                        public ::testing::WithParamInterface<IndentCase> {};

TEST_P(BlockIndentTest, ChangesTheBlockAndItsSelection) {
    const IndentCase& c = GetParam();
    Settings().indentStyle = static_cast<std::uint8_t>(c.indentStyle);
    Settings().tabWidth = c.tabWidth;
    editor->SetPlainText(c.text);
    editor->SetSel(c.selStart, c.selLength);
    (c.unindent ? window->Actions().acUnindentBlock : window->Actions().acIndentBlock)->trigger();
    EXPECT_EQ(editor->Text(), c.expected);
    EXPECT_EQ(editor->SelStart(), c.selStart);
    EXPECT_EQ(editor->SelLength(), c.expectedLength);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(window->StatusPanel(1)->text(), QStringLiteral("Modified"));
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, BlockIndentTest,
    ::testing::Values(IndentCase{"TabsFromLineStartToLineStart", kFourLines, 0, 3, false, 3, 6,
                                 "a\r\n\tb\r\n\tc\r\nd\r\n", 8},
                      IndentCase{"SpacesGrowTheSelectionByTabWidthPerLine", kFourLines, 1, 3, false,
                                 3, 6, "a\r\n   b\r\n   c\r\nd\r\n", 12},
                      IndentCase{"CaretAloneIndentsItsLine", kFourLines, 0, 3, false, 7, 0,
                                 "a\r\nb\r\n\tc\r\nd\r\n", 1},
                      IndentCase{"CaretAtALineStartIndentsThatLine", kFourLines, 0, 3, false, 6, 0,
                                 "a\r\nb\r\n\tc\r\nd\r\n", 1},
                      IndentCase{"EmptyLinesAreIndentedToo", "a\r\n\r\nb\r\n", 1, 2, false, 0, 7,
                                 "  a\r\n  \r\n  b\r\n", 13},
                      IndentCase{"UnindentTabsSpacesAndEmptyLines", "\ta\r\n   b\r\n\r\n\t  c\r\n",
                                 0, 3, true, 0, 18, "a\r\nb\r\n\r\n  c\r\n", 13},
                      IndentCase{"UnindentSpacesWhateverTheStyle", "    x\r\n", 0, 4, true, 0, 7,
                                 "x\r\n", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorCommandsTest, FailedUnindentChangesNothingAndSaysWhichLine) {
    Settings().tabWidth = 3;
    const std::string text = "\ta\r\n   b\r\n  c\r\n \r\n";
    editor->SetPlainText(text);
    editor->SetSel(0, static_cast<int>(text.size()));
    window->Actions().acUnindentBlock->trigger();
    EXPECT_EQ(editor->Text(), text);
    EXPECT_EQ(editor->SelStart(), 0);
    EXPECT_EQ(editor->SelLength(), static_cast<int>(text.size()));
    EXPECT_FALSE(editor->IsModified());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Cannot unindent line 3.");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
}

TEST_F(EditorCommandsTest, IndentedLinesAreColouredAndOneUndoTakesTheIndentBack) {
    const std::string text = "Dim x\r\nIf x Then ' c\r\nEnd If\r\n";
    editor->SetPlainText(text);
    editor->SetSel(0, static_cast<int>(text.size()));
    window->Actions().acIndentBlock->trigger();
    for (int line = 0; line < 3; ++line) EXPECT_EQ(WrongOnLine(line), 0) << line;
    editor->undo();
    EXPECT_EQ(editor->Text(), text);
}

// Twelve lines "line 1" to "line 12".
std::string TwelveLines() {
    std::string text;
    for (int i = 1; i <= 12; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
}

TEST_F(EditorCommandsTest, CtrlShiftDigitSetsMovesAndRemovesABookmark) {
    editor->SetPlainText(TwelveLines());
    editor->SetCaret(editor->LineIndex(9) + 2);  // in "line 10"
    QTest::keyClick(editor, Qt::Key_5, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->Line(9), "'#Bookmark 5");
    EXPECT_EQ(editor->LineFromChar(editor->SelStart()), 10);
    EXPECT_EQ(editor->SelStart(), editor->LineIndex(10) + 2);
    EXPECT_EQ(WrongOnLine(9), 0);  // the tag line is coloured as a comment
    EXPECT_EQ(window->StatusPanel(1)->text(), QStringLiteral("Modified"));

    // Again from the line below the tag: deleted and put back in place.
    const std::string withTag = editor->Text();
    QTest::keyClick(editor, Qt::Key_5, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->Text(), withTag);
    EXPECT_EQ(editor->SelStart(), editor->LineIndex(10) + 2);

    // From line 2 the tag moves up to just above it.
    editor->SetCaret(editor->LineIndex(1));
    QTest::keyClick(editor, Qt::Key_5, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->Line(1), "'#Bookmark 5");
    EXPECT_EQ(editor->Line(10), "line 10");
    EXPECT_EQ(editor->SelStart(), editor->LineIndex(2));

    // On the tag line itself it goes.
    editor->SetCaret(editor->LineIndex(1) + 4);
    QTest::keyClick(editor, Qt::Key_5, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->Text(), TwelveLines());

    // One undo takes one command back.
    editor->undo();
    EXPECT_EQ(editor->Line(1), "'#Bookmark 5");
}

// The user may let go of Ctrl before the digit, and holding the keys repeats
// the key-down: the bookmark is still set, and only once.
TEST_F(EditorCommandsTest, BookmarkKeyActsOnceWhicheverKeyIsReleasedFirst) {
    editor->SetPlainText("x\r\ny\r\n");
    editor->SetCaret(editor->LineIndex(1));
    const Qt::KeyboardModifiers both = Qt::ControlModifier | Qt::ShiftModifier;
    QTest::sendKeyEvent(QTest::Press, editor, Qt::Key_Percent, '%', both);
    QTest::sendKeyEvent(QTest::Press, editor, Qt::Key_Percent, '%', both);  // auto-repeat
    QTest::sendKeyEvent(QTest::Release, editor, Qt::Key_Control, QString(), Qt::ShiftModifier);
    QTest::sendKeyEvent(QTest::Release, editor, Qt::Key_Shift, QString(), {});
    QTest::sendKeyEvent(QTest::Release, editor, Qt::Key_5, '5', {});
    EXPECT_EQ(editor->Text(), "x\r\n'#Bookmark 5\r\ny\r\n");
}

TEST_F(EditorCommandsTest, CtrlDigitJumpsToTheBookmarkAndChangesNothing) {
    const std::string text = "x\r\ny\r\n'#Bookmark 3\r\nz\r\n";
    editor->SetPlainText(text);
    QTest::keyClick(editor, Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(editor->SelStart(), editor->LineIndex(2));
    EXPECT_EQ(editor->Text(), text);
    editor->SetCaret(0);
    QTest::keyClick(editor, Qt::Key_4, Qt::ControlModifier);  // not set
    EXPECT_EQ(editor->SelStart(), 0);
}

TEST_F(EditorCommandsTest, SetBookmarkTakesTheNextFreeNumberUntilAllTenAreSet) {
    std::string text;
    for (int n = 1; n <= 9; ++n) text += BookmarkTag(n) + "\r\n";
    text += "x\r\n";
    editor->SetPlainText(text);
    editor->SetCaret(editor->LineIndex(9));
    window->Actions().acSetNextBookmark->trigger();
    EXPECT_EQ(editor->Line(9), "'#Bookmark 0");
    EXPECT_EQ(editor->Line(10), "x");
    EXPECT_EQ(editor->SelStart(), editor->LineIndex(10));
    EXPECT_TRUE(messages.messages.empty());

    const std::string full = editor->Text();
    window->Actions().acSetNextBookmark->trigger();
    EXPECT_EQ(editor->Text(), full);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              "There are no more bookmarks available.\rClean up some bookmarks or use an "
              "existing bookmark.");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
}

TEST_F(EditorCommandsTest, BookmarkMenuListsAllTenAndActsOnThem) {
    editor->SetPlainText("'#Bookmark 2 loop start\r\nx\r\n'#Bookmark 4\r\ny\r\n");
    QMenu* menu = window->Toolbars().pmBookmarks;
    for (int round = 0; round < 2; ++round) emit menu->aboutToShow();  // rebuilt, not added to
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 10);
    QStringList captions;
    for (QAction* item : items)
        captions << item->text() + (item->isChecked() ? QStringLiteral("*") : QString());
    EXPECT_EQ(captions,
              (QStringList{"1 (none)", "2 loop start*", "3 (none)", "4 Bookmark 4*", "5 (none)",
                           "6 (none)", "7 (none)", "8 (none)", "9 (none)", "0 (none)"}));

    editor->SetCaret(editor->LineIndex(3));
    items[1]->trigger();  // bookmark 2, on the first line
    EXPECT_EQ(editor->SelStart(), 0);

    editor->SetCaret(editor->LineIndex(3));
    items[6]->trigger();  // 7 is not set: set it at the caret's line
    EXPECT_EQ(editor->Line(3), "'#Bookmark 7");
    EXPECT_EQ(editor->Line(4), "y");
}

// Ticks or clears a check box of the configuration dialog that `configure`
// opens, and presses OK.
void ConfigureBox(QAction* configure, const char* box, bool on) {
    QTimer::singleShot(0, [box, on] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto* check = dialog->findChild<QCheckBox*>(QString::fromLatin1(box));
        ASSERT_NE(check, nullptr) << box;
        check->setChecked(on);
        dialog->findChild<QPushButton*>(QStringLiteral("bbOK"))->click();
    });
    configure->trigger();
}

void ConfigureLineNumbers(QAction* configure, bool on) {
    ConfigureBox(configure, "xbLineNumbers", on);
}

TEST_F(EditorCommandsTest, LineNumberMarginFollowsItsSettingAndTheLineCount) {
    editor->SetPlainText("x\r\n");
    EXPECT_EQ(commands.lineNumbers->Width(), 0);  // off by default

    ConfigureLineNumbers(window->Actions().acShowConfiguration, true);
    EXPECT_TRUE(Settings().lineNumbers);
    const int narrow = commands.lineNumbers->Width();
    EXPECT_GT(narrow, 0);
    std::string many;
    for (int i = 0; i < 12000; ++i) many += "y\r\n";
    editor->SetCaret(0);
    editor->ReplaceSelection(many);
    EXPECT_GT(commands.lineNumbers->Width(), narrow);

    ConfigureLineNumbers(window->MenuItems().miConfigEditor, false);
    EXPECT_EQ(commands.lineNumbers->Width(), 0);
}

TEST_F(EditorCommandsTest, KeepIndentationOnEnterCopiesTheLeadingBlanksOfTheLineAbove) {
    const auto enterAfter = [this](const char* line) {
        editor->SetPlainText(line);
        editor->SetCaret(editor->TextLength());
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClicks(editor, "y");
        return editor->Line(1);
    };
    // Off by default: Enter is a plain line break.
    EXPECT_EQ(enterAfter("\t  If x Then"), "y");

    ConfigureBox(window->MenuItems().miConfigEditor, "xbKeepIndent", true);
    ASSERT_TRUE(Settings().keepIndentation);
    const struct {
        const char* name;
        const char* line;
        const char* expected;
    } rows[] = {
        {"tabs and blanks", "\t  If x Then", "\t  y"},
        {"no indentation", "If x Then", "y"},
        {"only blanks", "\t\t", "\t\ty"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(enterAfter(row.line), row.expected);
        EXPECT_EQ(editor->Line(0), row.line);
        EXPECT_EQ(editor->CaretPos(), editor->TextLength());
    }
    // A line break that does not come from Enter copies nothing.
    editor->SetPlainText("\tx");
    editor->SetCaret(editor->TextLength());
    editor->ReplaceSelection("\r\nz");
    EXPECT_EQ(editor->Line(1), "z");
}

}  // namespace
}  // namespace vk::test
