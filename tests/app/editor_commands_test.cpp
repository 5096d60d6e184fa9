#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>
#include <string>

#include "app/editor_commands_wiring.h"
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

}  // namespace
}  // namespace vk::test
