// The editor's search and position commands on the main window: the caret
// read-out in panel 2, go to line, the jump offset and the find dialog.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <optional>
#include <string>

#include "browser/code_browser.h"
#include "editor/ansi_text.h"
#include "editor/find_dialog.h"
#include "editor/goto_line.h"
#include "editor/script_editor.h"
#include "main_window_fixture.h"

namespace vk::test {
namespace {

std::string PanelText(const TfMain& window, int panel) {
    return ToAnsi(window.StatusPanel(panel)->text());
}

// Lines "' line 1" to "' line <count>".
std::string NumberedScript(int count) {
    std::string script;
    for (int i = 1; i <= count; ++i) script += "' line " + std::to_string(i) + "\r\n";
    return script;
}

int LinesOnScreen(const ScriptEditor& editor) {
    return static_cast<int>(editor.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));
}

TEST_F(MainWindowTest, PositionReadoutFollowsTheSelectionEnd) {
    struct Row {
        const char* name;
        std::string text;
        int selStart;
        int selLength;
        std::string expected;
    };
    const Row rows[] = {
        {"first character of Dim", "Dim x", 0, 0, "Row 1  Col 1  Char 1  Asc 068"},
        {"before a tab indent", "\tx = 1", 0, 0, "Row 1  Col 1  Char 0  Asc 009"},
        {"after a tab indent", "\tx = 1", 1, 0, "Row 1  Col 2  Char 1  Asc 120"},
        {"inside blank indentation", "    x", 1, 0, "Row 1  Col 2  Char -2  Asc 032"},
        {"line end counts two", "ab\r\n  cd", 7, 0, "Row 2  Col 4  Char 2  Asc 100"},
        {"at a line end", "ab\r\ncd", 2, 0, "Row 1  Col 3  Char 3  Asc 013"},
        {"end of the text", "ab\r\ncd", 6, 0, "Row 2  Col 3  Char 3  Asc 000"},
        {"a selection reads its end", "Dim x", 0, 3, "Row 1  Col 4  Char 4  Asc 032"},
        {"a high byte", "x\xE9", 1, 0, "Row 1  Col 2  Char 2  Asc 233"},
        {"empty editor", "", 0, 0, "1 / 0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto window = MakeWindow();
        {
            // As a load does: the editor reports its selection once the
            // text is in, also when the caret stays at 0.
            const ScriptEditor::DetachedNotifications loading(
                *window->reScript(), ScriptEditor::OnAttach::SelectionChange);
            window->reScript()->SetPlainText(row.text);
        }
        window->reScript()->SetSel(row.selStart, row.selLength);
        EXPECT_EQ(PanelText(*window, 2), row.expected);
    }
}

TEST_F(MainWindowTest, PositionReadoutFollowsTypingAndDeletion) {
    auto window = MakeWindow();
    ScriptEditor& editor = *window->reScript();
    editor.SetPlainText("ab\r\ncd");
    window->Actions().acEnableEdit->trigger();
    editor.SetCaret(1);
    QTest::keyClick(&editor, Qt::Key_Right);
    EXPECT_EQ(PanelText(*window, 2), "Row 1  Col 3  Char 3  Asc 013");
    QTest::keyClick(&editor, Qt::Key_Home);
    // Delete leaves the caret where it was, with another character after it.
    QTest::keyClick(&editor, Qt::Key_Delete);
    EXPECT_EQ(PanelText(*window, 2), "Row 1  Col 1  Char 1  Asc 098");
    QTest::keyClicks(&editor, "x");
    EXPECT_EQ(PanelText(*window, 2), "Row 1  Col 2  Char 2  Asc 098");
}

TEST_F(MainWindowTest, LineNumberAsksAndJumpsOrNamesTheRange) {
    struct Row {
        const char* name;
        std::optional<std::string> answer;  // nullopt cancels
        int caretLine;
        std::vector<std::string> messages;
    };
    const std::string range = "Please enter a line number from 1 to 100";
    // clang-format off
    const Row rows[] = {
        {"a line of the script", "50", 49, {}},
        {"zero is the first line", "0", 0, {}},
        {"the last line", "100", 99, {}},
        {"past the last line", "101", 10, {range}},
        {"not a number", "abc", 10, {range}},
        {"negative", "-5", 10, {range}},
        {"empty answer", "", 10, {}},
        {"cancelled", std::nullopt, 10, {}},
    };
    // clang-format on
    auto window = MakeWindow();
    ScriptEditor& editor = *window->reScript();
    editor.SetPlainText(NumberedScript(100));
    window->Actions().acEnableEdit->trigger();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        editor.SetCaret(editor.LineIndex(10) + 2);
        messages.messages.clear();
        messages.inputs.clear();
        messages.inputAnswers = {row.answer};
        window->EditorMenu().miGotoLine->trigger();

        ASSERT_EQ(messages.inputs.size(), 1u);
        EXPECT_EQ(messages.inputs[0].title, "Vellumkit");
        EXPECT_EQ(messages.inputs[0].prompt, "Go to line number");
        EXPECT_EQ(messages.inputs[0].initial, "");
        const int expectedPos = editor.LineIndex(row.caretLine) + (row.caretLine == 10 ? 2 : 0);
        EXPECT_EQ(editor.CaretPos(), expectedPos);
        EXPECT_EQ(messages.Texts(), row.messages);
        for (const auto& m : messages.messages) EXPECT_EQ(m.icon, MessageIcon::Warning);
    }
}

TEST_F(MainWindowTest, GotoLineKeepsTheJumpOffsetAboveTheTarget) {
    struct Row {
        const char* name;
        int offset;
        int line;
        int caretLine;
        int top;  // -1: the target need only be in view
    };
    const Row rows[] = {
        {"offset lines above", 3, 49, 49, 46},
        {"fewer lines above than the offset", 3, 1, 1, 0},
        {"no offset", 0, 120, 120, 120},
        {"past the end goes to the last line", 3, 500, 199, -1},
        {"offset taller than the view", 100, 150, 150, -1},
    };
    auto window = MakeWindow();
    window->resize(800, 400);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ScriptEditor& editor = *window->reScript();
    editor.SetPlainText(NumberedScript(200));
    window->Actions().acEnableEdit->trigger();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        editor.ScrollToLine(100);
        editor.SetCaret(editor.LineIndex(100) + 3);
        GotoLine(editor, row.line, row.offset);
        EXPECT_EQ(editor.SelLength(), 0);
        EXPECT_EQ(editor.CaretPos(), editor.LineIndex(row.caretLine));
        const int top = editor.FirstVisibleLine();
        if (row.top >= 0) {
            EXPECT_EQ(top, row.top);
        }
        EXPECT_LE(top, row.caretLine);
        EXPECT_LT(row.caretLine, top + LinesOnScreen(editor));
    }

    // The code browser and the line-number command jump the same way.
    Settings().jumpOffset = 3;
    ASSERT_TRUE(window->CodeBrowser().gotoLine);
    window->CodeBrowser().gotoLine(49);
    EXPECT_EQ(editor.FirstVisibleLine(), 46);
    editor.ScrollToLine(0);
    messages.inputAnswers = {std::string("50")};
    window->EditorMenu().miGotoLine->trigger();
    EXPECT_EQ(editor.FirstVisibleLine(), 46);
    EXPECT_EQ(editor.CaretPos(), editor.LineIndex(49));
}

TEST_F(MainWindowTest, CtrlFOpensTheModelessDialogAndCtrlGAsksForALine) {
    auto window = MakeWindow();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ScriptEditor& editor = *window->reScript();
    editor.SetPlainText("Dim a\r\nDim b\r\n");
    QTest::keyClick(window.get(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(messages.inputs.empty()) << "no line to go to before a script is open";
    window->Actions().acEnableEdit->trigger();
    editor.setFocus();

    QTest::keyClick(&editor, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(messages.inputs.size(), 1u) << "Ctrl+G asks for a line number";

    QTest::keyClick(&editor, Qt::Key_F, Qt::ControlModifier);
    auto* dialog = window->findChild<TfFindReplace*>(QStringLiteral("dlgReplace"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_FALSE(dialog->xbWrapAround()->isChecked());
    EXPECT_FALSE(dialog->xbRegex()->isChecked());
    EXPECT_FALSE(dialog->btFindNext()->isEnabled()) << "nothing to find yet";
}

TEST_F(MainWindowTest, FindDialogSearchesAndReplacesInTheEditor) {
    auto window = MakeWindow();
    ScriptEditor& editor = *window->reScript();
    editor.SetPlainText("Dim a\r\nDim b\r\n");
    window->Actions().acEnableEdit->trigger();
    window->MenuItems().miFindReplace->trigger();
    auto* dialog = window->findChild<TfFindReplace*>(QStringLiteral("dlgReplace"));
    ASSERT_NE(dialog, nullptr);
    dialog->edFindText()->setText(QStringLiteral("Dim"));
    dialog->edReplaceText()->setText(QStringLiteral("Const"));

    QTest::mouseClick(dialog->btFindNext(), Qt::LeftButton);
    EXPECT_EQ(editor.SelStart(), 0);
    EXPECT_EQ(editor.SelLength(), 3);
    EXPECT_EQ(PanelText(*window, 2), "Row 1  Col 4  Char 4  Asc 032");

    // The selected match is passed over: the question is about the second.
    messages.answers = {MessageAnswer::Yes};
    QTest::mouseClick(dialog->btReplaceAll(), Qt::LeftButton);
    EXPECT_EQ(editor.Text(), "Dim a\r\nConst b\r\n");
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"Replace this entry?", "Not found:\rDim"}));
    EXPECT_EQ(PanelText(*window, 1), "Modified");
    EXPECT_EQ(PanelText(*window, 2), "Row 2  Col 6  Char 6  Asc 032");
}

TEST_F(MainWindowTest, F3AndShiftF3RepeatTheSearchWithoutTheDialog) {
    auto window = MakeWindow();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ScriptEditor& editor = *window->reScript();
    editor.SetPlainText("Dim a\r\nDim b\r\nDim c\r\n");
    window->Actions().acEnableEdit->trigger();
    editor.setFocus();
    auto* dialog = window->findChild<TfFindReplace*>(QStringLiteral("dlgReplace"));
    ASSERT_NE(dialog, nullptr);

    // Nothing searched for yet: the dialog opens to ask.
    QTest::keyClick(&editor, Qt::Key_F3);
    EXPECT_TRUE(dialog->isVisible());
    dialog->edFindText()->setText(QStringLiteral("dim"));
    dialog->close();
    editor.setFocus();
    editor.SetCaret(2);

    const struct {
        Qt::KeyboardModifiers modifiers;
        int selStart;
    } presses[] = {
        {Qt::NoModifier, 7}, {Qt::NoModifier, 14}, {Qt::ShiftModifier, 7}, {Qt::ShiftModifier, 0}};
    for (const auto& press : presses) {
        QTest::keyClick(&editor, Qt::Key_F3, press.modifiers);
        EXPECT_EQ(editor.SelStart(), press.selStart);
        EXPECT_EQ(editor.SelLength(), 3);
    }
    EXPECT_TRUE(messages.messages.empty());
    // No wrapping unless asked for: the first match stays selected.
    QTest::keyClick(&editor, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Not found:\rdim"});
    EXPECT_EQ(editor.SelStart(), 0);
    EXPECT_FALSE(dialog->isVisible());
}

// Regression: the dialog and its question sat on top of the match they were
// about.
TEST_F(MainWindowTest, TheFindDialogAndItsQuestionsLeaveTheMatchInSight) {
    auto window = MakeWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ScriptEditor& editor = *window->reScript();
    editor.SetPlainText(NumberedScript(6) + "target = 1\r\n" + NumberedScript(6));
    window->Actions().acEnableEdit->trigger();
    window->MenuItems().miFindReplace->trigger();
    auto* dialog = window->findChild<TfFindReplace*>(QStringLiteral("dlgReplace"));
    ASSERT_NE(dialog, nullptr);
    dialog->edFindText()->setText(QStringLiteral("target"));
    const int match = editor.LineIndex(6);
    const auto onScreen = [&editor](int pos) {
        const auto at = static_cast<long>(pos);
        return editor.viewport()->mapToGlobal(
            QPoint(static_cast<int>(
                       editor.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, at)),
                   static_cast<int>(
                       editor.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, at)) +
                       2));
    };
    dialog->move(onScreen(match) - QPoint(20, 20));
    ASSERT_TRUE(dialog->frameGeometry().contains(onScreen(match + 3)));

    QTest::mouseClick(dialog->btFindNext(), Qt::LeftButton);
    ASSERT_EQ(editor.SelStart(), match);
    for (const int pos : {match, match + 3, match + 5})
        EXPECT_FALSE(dialog->frameGeometry().contains(onScreen(pos))) << pos;

    editor.SetCaret(0);
    messages.answers = {MessageAnswer::No};
    QTest::mouseClick(dialog->btReplace(), Qt::LeftButton);
    ASSERT_EQ(messages.Texts().front(), "Replace this entry?");
    const std::optional<ScreenArea> kept = messages.messages.front().keptClear;
    ASSERT_TRUE(kept.has_value());
    const QRect area(kept->x, kept->y, kept->width, kept->height);
    for (const int pos : {match, match + 3, match + 5})
        EXPECT_TRUE(area.contains(onScreen(pos))) << pos;
    EXPECT_FALSE(messages.keepClear.has_value()) << "only while the search runs";
}

}  // namespace
}  // namespace vk::test

namespace vk::test {
namespace {

// Regression: the read-out once repainted the status bar at once, and the
// editor reports a click's caret move from inside its own painting; the
// nested paint broke the editor's painter and the program crashed.
TEST_F(MainWindowTest, ClickingIntoTheShownEditorUpdatesTheReadout) {
    auto window = MakeWindow();
    window->resize(800, 400);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ScriptEditor& editor = *window->reScript();
    editor.SetPlainText(NumberedScript(20));
    window->Actions().acEnableEdit->trigger();
    QTest::qWait(20);
    const QPoint onLine3(5, 2 * editor.textHeight(0) + editor.textHeight(0) / 2);
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, onLine3);
    QTest::qWait(50);
    EXPECT_EQ(PanelText(*window, 2).substr(0, 6), "Row 3 ");
}

}  // namespace
}  // namespace vk::test
