#include "help/syntax_help.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include "app/help_wiring.h"
#include "app/main_window_fixture.h"
#include "editor/script_editor.h"
#include "help/help_list_dialog.h"
#include "help/syntax_list.h"
#include "help/topic_viewer.h"

namespace vk {
namespace {

constexpr const char* kCustom = "Custom HTMLHelp file";
constexpr const char* kVbscript = "VBScript 3.1";
constexpr const char* kScript50 = "Microsoft Windows Script 5.0 Documentation";
constexpr const char* kScript55 = "Microsoft Windows Script 5.5 Documentation";

QString FixtureFile(const char* name) { return QDir(VK_HELP_FIXTURE).filePath(name); }

// A main window with the syntax help over the fixture documentation; the
// opener and the chooser are recorded instead of shown.
class SyntaxHelpTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        window = MakeWindow();
        help = &AttachSyntaxHelp(*window, index);
        help->openTopic = [this](const QString& path) { opened << path; };
        help->runChooser = [this](TfHelpList& chooser) {
            chooserTitle = chooser.windowTitle();
            for (int i = 0; i < chooser.lbSelection()->count(); ++i)
                chooserItems << chooser.lbSelection()->item(i)->text();
            chooserSelected = chooser.SelectedPath();
            return chooserAnswer;
        };
        window->EnableEdit();
    }

    void Enable(std::initializer_list<const char*> names) {
        for (HelpFile& file : Settings().helpFiles) {
            file.enabled = false;
            for (const char* name : names) file.enabled |= file.name == name;
        }
    }

    // Puts `text` in the editor with the caret at `caret`, then presses F1
    // through the menu item.
    void F1(std::string_view text, int caret) {
        window->reScript()->SetPlainText(text);
        window->reScript()->SetCaret(caret);
        window->MenuItems().miSyntaxHelp->trigger();
    }

    QString Panel3() const { return window->StatusPanel(3)->text(); }

    const TSyntaxList index = TSyntaxList::FromFolder(VK_HELP_FIXTURE);
    std::unique_ptr<TfMain> window;
    TSyntaxHelp* help = nullptr;
    QStringList opened;
    QString chooserTitle;
    QStringList chooserItems;
    QString chooserSelected;
    int chooserAnswer = QDialog::Rejected;
};

// Regression: the word was taken between blanks, so an argument gave the
// function it is passed to, the caret at a line's start gave the last word
// of the line above and a word in a string was looked up. A word without an
// entry, and a place without a word, leave the line as it was.
TEST_F(SyntaxHelpTest, SyntaxLineFollowsTheWordAtTheCaretAndStaysWithoutAnEntry) {
    ScriptEditor& editor = *window->reScript();
    editor.SetPlainText("x = Abs(nValue)\r\nd = Date\r\n\r\nMsgBox \"abs value\" ' sgn\r\n");
    const auto press = [&editor](Qt::Key key, int times = 1) {
        for (int i = 0; i < times; ++i) QTest::keyClick(&editor, key);
    };
    editor.SetCaret(0);
    press(Qt::Key_Right, 5);  // inside "Abs"
    EXPECT_EQ(Panel3(), "Abs(number)");
    press(Qt::Key_Right, 4);  // inside "nValue", the argument: no entry
    EXPECT_EQ(Panel3(), "Abs(number)");
    press(Qt::Key_Down);
    press(Qt::Key_End);  // just after "Date"
    EXPECT_EQ(Panel3(), "Date");
    press(Qt::Key_Down);  // the empty line under it: no word
    EXPECT_EQ(Panel3(), "Date");
    press(Qt::Key_Down);
    press(Qt::Key_Home);
    press(Qt::Key_Right, 9);  // inside "abs" of the string
    EXPECT_EQ(Panel3(), "Date");
    press(Qt::Key_End);  // after "sgn" of the comment
    EXPECT_EQ(Panel3(), "Date");
    editor.SetSel(0, 7);  // a selection counts from its end: inside "Abs"
    EXPECT_EQ(Panel3(), "Abs(number)");
}

// Regression: "Disable syntax help" was stored but nothing read it. It stops
// F1's lookups; the syntax line is no lookup in the help systems and stays.
TEST_F(SyntaxHelpTest, SwitchedOffF1FindsNothingAndTheSyntaxLineStays) {
    Enable({kCustom, kVbscript});
    ScriptEditor& editor = *window->reScript();
    editor.SetPlainText("y = Sgn(x)");
    editor.SetCaret(4);
    EXPECT_EQ(Panel3(), "Sgn(number)");

    QTimer::singleShot(0, window.get(), [this] {
        auto* dialog = window->findChild<QDialog*>(QStringLiteral("fConfiguration"));
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QCheckBox*>(QStringLiteral("xbDisableSyntaxHelp"))->setChecked(true);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("bbOK")), Qt::LeftButton);
    });
    window->Actions().acShowConfiguration->trigger();
    ASSERT_FALSE(Settings().syntaxHelpEnabled);
    QTest::keyClick(&editor, Qt::Key_Right);  // still on "Sgn"
    EXPECT_EQ(Panel3(), "Sgn(number)");

    window->MenuItems().miSyntaxHelp->trigger();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(chooserTitle.isEmpty());
    EXPECT_TRUE(window->meWarnings()->toPlainText().isEmpty());
    // The help systems keep their marks for when help is switched on again.
    const std::vector<HelpFile>& files = Settings().helpFiles;
    const auto vbscript = std::find_if(files.begin(), files.end(),
                                       [](const HelpFile& f) { return f.name == kVbscript; });
    ASSERT_NE(vbscript, files.end());
    EXPECT_TRUE(vbscript->enabled);
}

TEST_F(SyntaxHelpTest, F1WithOneMatchOpensItWithoutChooser) {
    Enable({kVbscript});
    F1("y = Sgn(x)", 5);
    EXPECT_EQ(opened, QStringList{FixtureFile("sgn.htm")});
    EXPECT_TRUE(chooserTitle.isEmpty());
}

TEST_F(SyntaxHelpTest, F1WithSeveralMatchesShowsChooserAndOpensTheChosenTopic) {
    Enable({kVbscript});
    chooserAnswer = QDialog::Accepted;
    F1("d = date", 6);
    EXPECT_EQ(chooserTitle, "Help topics for \"date\"");
    EXPECT_EQ(chooserItems, (QStringList{"Date Function", "DateAdd Function"}));
    EXPECT_EQ(chooserSelected, FixtureFile("date.htm"));  // the first is selected
    EXPECT_EQ(opened, QStringList{FixtureFile("date.htm")});
}

TEST_F(SyntaxHelpTest, ChooserCancelOpensNothing) {
    Enable({kVbscript});
    F1("Abs", 1);  // "Abs Function" and "Absolute Value"
    EXPECT_EQ(chooserItems.size(), 2);
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(SyntaxHelpTest, F1OnWhiteSpaceOffersTheWholeIndex) {
    Enable({kVbscript});
    F1("a    b", 2);
    EXPECT_EQ(chooserTitle, "Help topics for \"\"");
    EXPECT_EQ(chooserItems.size(), static_cast<qsizetype>(index.Count()));
}

TEST_F(SyntaxHelpTest, F1HandlesEveryEnabledHelpSystem) {
    struct Case {
        const char* name;
        std::initializer_list<const char*> enabled;
        int warnings;
        bool looksUp;
    };
    const Case cases[] = {
        {"custom and vbscript", {kCustom, kVbscript}, 1, true},
        {"5.0 and 5.5", {kScript50, kScript55}, 2, false},
        {"only the default 5.6", {"Microsoft Windows Script 5.6 Documentation"}, 0, false},
        {"none", {}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window->meWarnings()->clear();
        opened.clear();
        Enable(c.enabled);
        F1("Sgn", 1);
        const QString warnings = window->meWarnings()->toPlainText();
        EXPECT_EQ(warnings.count("Help System not yet supported"), c.warnings);
        EXPECT_EQ(!opened.isEmpty(), c.looksUp);
    }
}

TEST_F(SyntaxHelpTest, UnknownWordOpensNothing) {
    Enable({kVbscript});
    F1("Frobnicate", 2);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(chooserTitle.isEmpty());
}

TEST(HelpListDialog, SizesAndDoubleClickAccepts) {
    TfHelpList chooser;
    EXPECT_EQ(chooser.size(), QSize(295, 161));
    EXPECT_EQ(chooser.lbSelection()->size(), QSize(291, 119));
    EXPECT_EQ(chooser.lbSelection()->font().pointSize(), 10);
    EXPECT_EQ(chooser.bOK()->text(), "OK");
    EXPECT_EQ(chooser.bCancel()->text(), "Cancel");
    chooser.AddTopic("Abs Function", "/doc/abs.htm");
    chooser.AddTopic("Absolute Value", "/doc/absval.htm");
    chooser.show();
    QListWidget& list = *chooser.lbSelection();
    EXPECT_EQ(list.visualItemRect(list.item(0)).height(), 16);
    const QPoint second = list.visualItemRect(list.item(1)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(chooser.SelectedPath(), "/doc/absval.htm");
}

TEST(TopicViewer, ShowsTopicsWithBackAndForward) {
    TfTopicViewer viewer;
    viewer.ShowTopic(FixtureFile("abs.htm"));
    EXPECT_TRUE(viewer.tbTopic()->toPlainText().contains("Abs(number)"));
    EXPECT_TRUE(viewer.tbTopic()->isReadOnly());
    EXPECT_FALSE(viewer.sbBack()->isEnabled());
    viewer.ShowTopic(FixtureFile("sgn.htm"));
    ASSERT_TRUE(viewer.sbBack()->isEnabled());
    viewer.sbBack()->click();
    EXPECT_TRUE(viewer.tbTopic()->toPlainText().contains("Abs(number)"));
    ASSERT_TRUE(viewer.sbForward()->isEnabled());
    viewer.sbForward()->click();
    EXPECT_TRUE(viewer.tbTopic()->toPlainText().contains("Sgn(number)"));
}

}  // namespace
}  // namespace vk
