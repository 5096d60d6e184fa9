// The code browser in the main window: filled on load, rescanned once when
// idle after typing, jumping on double-click, switched off by its setting.
#include "browser/code_browser.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "app/editing_context.h"
#include "app/main_window_fixture.h"
#include "editor/script_editor.h"

namespace vk::test {
namespace {

class CodeBrowserTest : public MainWindowTest {
protected:
    // A script shown as a load shows it, with the tree filled by the hook.
    void Load(const std::string& script) {
        if (!window) window = MakeWindow();
        window->reScript()->SetPlainText(script);
        window->EnableEdit();
        window->CodeBrowser().ScriptLoaded();
    }

    QTreeWidget& Tree() const { return *window->tvCodeBrowser(); }
    TCodeBrowser& Browser() const { return window->CodeBrowser(); }

    QStringList Children(int root) const {
        QStringList names;
        const QTreeWidgetItem* item = Tree().topLevelItem(root);
        for (int i = 0; item != nullptr && i < item->childCount(); ++i)
            names << item->child(i)->text(0);
        return names;
    }

    void TypeAtEnd(const char* text) {
        ScriptEditor& editor = *window->reScript();
        editor.SetCaret(editor.TextLength());
        QTest::keyClicks(&editor, QString::fromLatin1(text));
    }

    std::unique_ptr<TfMain> window;
};

TEST_F(CodeBrowserTest, LoadFillsTheTreeWithTheStateIcons) {
    Settings().iconCode = 2;
    Settings().iconNoCode = 9;
    Settings().iconNoEnd = 14;
    Load(
        "Sub Form_OnSave()\r\n  x = 1\r\nEnd Sub\r\n"
        "Function Calc(a)\r\nEnd Function\r\n"
        "Sub Open()\r\n");

    ASSERT_EQ(Tree().topLevelItemCount(), 2);
    EXPECT_EQ(Tree().topLevelItem(0)->text(0), "Events");
    EXPECT_EQ(Tree().topLevelItem(1)->text(0), "Subs/Functions");
    EXPECT_TRUE(Tree().topLevelItem(0)->isExpanded());
    EXPECT_EQ(Children(0), QStringList({"OnSave"}));
    EXPECT_EQ(Children(1), QStringList({"Calc", "Open"}));

    const struct {
        const char* name;
        const QTreeWidgetItem* item;
        int offset;
        int image;
    } rows[] = {
        {"event with code", Tree().topLevelItem(0)->child(0), 9, 2},
        {"function without body", Tree().topLevelItem(1)->child(0), 46, 9},
        {"sub without end", Tree().topLevelItem(1)->child(1), 73, 14},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.item->data(0, TCodeBrowser::kOffsetRole).toInt(), row.offset);
        EXPECT_EQ(row.item->data(0, TCodeBrowser::kImageRole).toInt(), row.image);
        EXPECT_EQ(row.item->icon(0).cacheKey(),
                  Browser().Images().at(static_cast<std::size_t>(row.image)).cacheKey());
    }
    EXPECT_EQ(Browser().Images().size(), 16u);

    // The load's own ready text does not hide the block left open.
    window->SetStatus("", 1);
    EXPECT_EQ(window->StatusPanel(0)->text(), "Open not terminated @ line 6");
    EXPECT_EQ(Tree().editTriggers(), QAbstractItemView::NoEditTriggers);
}

// A burst of keystrokes arms one rescan; it runs when the application is idle
// and keeps the roots as the user left them.
TEST_F(CodeBrowserTest, TypingANewSubAddsItAfterOneIdleRescan) {
    Load("Sub Form_OnLoad()\r\n  x = 1\r\nEnd Sub\r\nSub First()\r\nEnd Sub\r\n");
    Tree().topLevelItem(0)->setExpanded(false);
    QSignalSpy rebuilt(&Browser(), &TCodeBrowser::rebuilt);

    TypeAtEnd("Sub Added()");
    EXPECT_TRUE(Browser().RescanPending());
    EXPECT_EQ(Children(1), QStringList({"First"}));  // not before the application is idle
    QCoreApplication::processEvents();

    EXPECT_EQ(rebuilt.count(), 1);
    EXPECT_FALSE(Browser().RescanPending());
    EXPECT_EQ(Children(1), QStringList({"First", "Added"}));
    EXPECT_FALSE(Tree().topLevelItem(0)->isExpanded());
    EXPECT_TRUE(Tree().topLevelItem(1)->isExpanded());
}

// Scan warnings replace those of the scan before; other lines stay, and the
// same warnings again do not reopen the panel the user closed.
TEST_F(CodeBrowserTest, RescanReplacesItsOwnWarnings) {
    window = MakeWindow();
    window->AddWarning("Checksum note");
    Load("Sub \r\nSub B()\r\nEnd Sub\r\n");
    EXPECT_EQ(window->meWarnings()->toPlainText(),
              "Checksum note\nIncomplete declaration on line 1");

    window->HideWarnings();
    TypeAtEnd("x");
    QCoreApplication::processEvents();
    EXPECT_EQ(window->WarningsHeight(), 0);

    window->reScript()->SetCaret(3);
    QTest::keyClicks(window->reScript(), "A");  // "SubA " is no declaration
    QCoreApplication::processEvents();
    EXPECT_EQ(window->meWarnings()->toPlainText(), "Checksum note");
}

// Regression: "Sub " typed in the middle of a script opened the warnings
// panel, which stayed open and empty once the name was typed.
TEST_F(CodeBrowserTest, PanelOpenedByATypingWarningClosesWhenTheWarningGoes) {
    for (const bool otherLine : {false, true}) {
        SCOPED_TRACE(otherLine ? "with another line" : "alone");
        window = MakeWindow();
        if (otherLine) {
            window->AddWarning("Checksum note");
            window->HideWarnings();
        }
        Load("Sub A()\r\nEnd Sub\r\n\r\nSub B()\r\nEnd Sub\r\n");
        ASSERT_EQ(window->WarningsHeight(), 0);
        ScriptEditor& editor = *window->reScript();
        editor.SetCaret(editor.LineIndex(2));
        QTest::keyClicks(&editor, "Sub ");
        QCoreApplication::processEvents();
        EXPECT_TRUE(
            window->meWarnings()->toPlainText().endsWith("Incomplete declaration on line 3"));
        EXPECT_GT(window->WarningsHeight(), 0);

        QTest::keyClicks(&editor, "C()");
        QCoreApplication::processEvents();
        EXPECT_EQ(window->meWarnings()->toPlainText(), otherLine ? "Checksum note" : "");
        if (otherLine)
            EXPECT_GT(window->WarningsHeight(), 0);
        else
            EXPECT_EQ(window->WarningsHeight(), 0);
    }
}

// A load empties the warnings panel, so the same warnings of a reloaded
// script must come back; a closed script leaves bare roots and no rescan.
TEST_F(CodeBrowserTest, ReloadShowsItsWarningsAgainAndCloseEmptiesTheTree) {
    const std::string script = "Sub \r\nSub B()\r\nEnd Sub\r\n";
    Load(script);
    window->meWarnings()->clear();
    Load(script);
    EXPECT_EQ(window->meWarnings()->toPlainText(), "Incomplete declaration on line 1");

    TypeAtEnd("x");
    ASSERT_TRUE(Browser().RescanPending());
    Browser().ScriptClosed();
    EXPECT_FALSE(Browser().RescanPending());
    ASSERT_EQ(Tree().topLevelItemCount(), 2);
    EXPECT_TRUE(Children(0).isEmpty());
    EXPECT_TRUE(Children(1).isEmpty());
}

TEST_F(CodeBrowserTest, DoubleClickJumpsToTheNameOrTheLine) {
    Settings().jumpOffset = 3;
    std::string script;
    for (int i = 0; i < 40; ++i) script += "' line " + std::to_string(i) + "\r\n";
    script += "Sub Form_Target()\r\nEnd Sub\r\n";
    for (int i = 0; i < 60; ++i) script += "' more\r\n";
    Load(script);
    window->resize(800, 400);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ScriptEditor& editor = *window->reScript();
    const int lineStart = editor.LineIndex(40);

    auto doubleClick = [this](QTreeWidgetItem* item) {
        const QRect rect = Tree().visualItemRect(item);
        // A double-click follows a press on the same item, as with a mouse.
        QTest::mouseClick(Tree().viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, {}, rect.center());
    };

    editor.SetCaret(5);
    doubleClick(Tree().topLevelItem(0));  // a root does not jump (the tree folds it)
    EXPECT_EQ(editor.CaretPos(), 5);
    EXPECT_EQ(editor.FirstVisibleLine(), 0);
    Tree().expandAll();

    const struct {
        const char* name;
        std::uint8_t jumpTo;
        int caret;
    } rows[] = {
        {"JumpTo 1: start of the line", 1, lineStart},
        {"JumpTo 0: the name after Form_", 0, lineStart + 9},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Settings().jumpTo = row.jumpTo;
        editor.ScrollToLine(0);
        editor.SetCaret(0);
        doubleClick(Tree().topLevelItem(0)->child(0));
        EXPECT_EQ(editor.FirstVisibleLine(), 37);
        EXPECT_EQ(editor.CaretPos(), row.caret);
        EXPECT_TRUE(editor.hasFocus());
    }
}

TEST_F(CodeBrowserTest, SwitchedOffHidesTheTreeAndStopsRescans) {
    Load("Sub A()\r\nEnd Sub\r\n");
    window->show();
    QSignalSpy rebuilt(&Browser(), &TCodeBrowser::rebuilt);

    Settings().codeBrowserDisabled = true;
    window->ApplyCodeBrowserSetting();
    EXPECT_FALSE(Tree().isVisible());
    TypeAtEnd("Sub B()");
    QTest::keyClick(window->reScript(), Qt::Key_Return);
    EXPECT_FALSE(Browser().RescanPending());
    window->CodeBrowser().ScriptLoaded();
    QCoreApplication::processEvents();
    EXPECT_EQ(rebuilt.count(), 0);
    EXPECT_EQ(Children(1), QStringList({"A"}));

    // On again with a script open: rebuilt at once.
    Settings().codeBrowserDisabled = false;
    window->ApplyCodeBrowserSetting();
    EXPECT_TRUE(Tree().isVisible());
    EXPECT_EQ(rebuilt.count(), 1);
    EXPECT_EQ(Children(1), QStringList({"A", "B"}));
}

}  // namespace
}  // namespace vk::test
