// Two clients on one script: the editor opens it, the command-line tool
// pushes a change, the editor checks in. Against the real server.
#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextDocument>
#include <QTimer>

#include "document/script_lines.h"
#include "history/ui/changed_in_commence_dialog.h"
#include "history/ui/diff_view.h"
#include "history_ui_fixture.h"

namespace vk::test {
namespace {

using Dialog = TfChangedInCommence;

constexpr const char* kMine = "' added in the editor";
constexpr const char* kTheirs = "' added by the command-line tool\r\n";

class ChangedInCommenceTest : public HistoryUiTest {
protected:
    // The editor opens Account, a line is typed at its top, and the tool
    // adds a line at its end meanwhile.
    void EditOnBothSides() {
        Keeper();
        OpenForm("Demo Sales", "Account", "Account");
        opened = Editor().Text();
        TypeAtLine(0, QString::fromLatin1(kMine));
        QTest::keyClick(&Editor(), Qt::Key_Return);
        mine = Editor().CanonicalText();
        PushFromCli("Account", "Account", [](const std::string& s) { return s + kTheirs; });
        theirs = ServerScript("Demo Sales", "Account", "Account");
        ASSERT_EQ(theirs, opened + kTheirs);
    }

    std::string opened, mine, theirs;
};

TEST_F(ChangedInCommenceTest, TheDialogShowsTheThreeVersionsAndCancelStoresNothing) {
    EditOnBothSides();
    std::vector<QString> titles;
    std::vector<std::string> panes;
    std::vector<int> rows;
    OnDialog<Dialog>([&](Dialog& dialog) {
        Click(dialog, "btShowDifferences");
        TDiffView* differences = dialog.Differences();
        EXPECT_TRUE(differences->isVisible());
        for (int i = 0; i < differences->PaneCount(); ++i) {
            titles.push_back(differences->Title(i));
            panes.push_back(ToAnsi(differences->Pane(i)->toPlainText()));
            rows.push_back(differences->Pane(i)->document()->blockCount());
        }
        Click(dialog, "btCancel");
    });
    CheckIn();

    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(ServerScript("Demo Sales", "Account", "Account"), theirs) << "nothing overwritten";
    EXPECT_EQ(Editor().CanonicalText(), mine);
    EXPECT_TRUE(Editor().IsModified());
    ASSERT_EQ(titles.size(), 3u);
    EXPECT_EQ(titles[0], "Mine (this editor)");
    EXPECT_EQ(titles[1], "Theirs (Commence now)");
    EXPECT_EQ(titles[2], "Base (as opened)");
    // Rows line up: mine's extra first line faces empty rows, theirs' last
    // line too, and the base holds neither.
    ASSERT_EQ(panes.size(), 3u);
    EXPECT_EQ(panes[0].substr(0, panes[0].find('\n')), kMine);
    EXPECT_EQ(panes[1].substr(0, panes[1].find('\n')), "");
    EXPECT_NE(panes[1].find("' added by the command-line tool"), std::string::npos);
    EXPECT_EQ(panes[2].find("' added"), std::string::npos);
    EXPECT_EQ(rows, std::vector<int>(3, static_cast<int>(SplitScriptText(opened).size()) + 2));

    // "Save changes first ?" with Yes goes through the same check: Cancel
    // there keeps the script and stops the form change.
    messages.answers = {MessageAnswer::Yes};
    OnDialog<Dialog>([](Dialog& dialog) { Click(dialog, "btCancel"); });
    Pick(Window().Toolbars().pmForms, "Account (Short)");
    EXPECT_EQ(dialogsShown, 2);
    EXPECT_EQ(Context().CurrentForm(), "Account");
    EXPECT_EQ(Editor().CanonicalText(), mine);
}

TEST_F(ChangedInCommenceTest, MergeKeepsBothSidesAndStoresOnlyAtTheNextCheckIn) {
    EditOnBothSides();
    OnDialog<Dialog>([](Dialog& dialog) { Click(dialog, "btMerge"); });
    CheckIn();

    ASSERT_EQ(dialogsShown, 1);
    const std::string merged = std::string(kMine) + "\r\n" + theirs;
    EXPECT_EQ(Editor().CanonicalText(), merged);
    EXPECT_TRUE(Editor().IsModified()) << "merged, not stored";
    EXPECT_EQ(ServerScript("Demo Sales", "Account", "Account"), theirs);
    ASSERT_FALSE(messages.messages.empty());
    EXPECT_NE(messages.messages.back().text.find("Nothing is stored yet"), std::string::npos);

    // Their change is the base now: the next check-in stores at once (a
    // question there would be cancelled, and counted).
    OnDialog<Dialog>([](Dialog& dialog) { Click(dialog, "btCancel"); });
    CheckIn();
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(ServerScript("Demo Sales", "Account", "Account"), merged);
    EXPECT_FALSE(Editor().IsModified());

    const auto versions = history.Store().Versions({"Demo Sales", "Account", "Account"});
    std::vector<std::string> sources;
    for (const HistoryVersion& v : versions) sources.emplace_back(SourceName(v.source));
    // loaded (opening), checked in (the tool's push), merged, checked in.
    EXPECT_EQ(sources, (std::vector<std::string>{"loaded", "checked in", "merged", "checked in"}));
}

TEST_F(ChangedInCommenceTest, OverwriteStoresMine) {
    EditOnBothSides();
    OnDialog<Dialog>([](Dialog& dialog) { Click(dialog, "btOverwrite"); });
    CheckIn();
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(ServerScript("Demo Sales", "Account", "Account"), mine);
    EXPECT_FALSE(Editor().IsModified());
    // What was stored is the base now: no question at the next check-in.
    TypeAtLine(1, QStringLiteral("' more"));
    OnDialog<Dialog>([](Dialog& dialog) { Click(dialog, "btCancel"); });
    CheckIn();
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(ServerScript("Demo Sales", "Account", "Account"), Editor().CanonicalText());
}

// Regression: a check-in that landed while the user was asked was
// overwritten by "Overwrite", which had been given for the version before.
TEST_F(ChangedInCommenceTest, AChangeLandingWhileTheUserIsAskedIsAskedAboutAgain) {
    EditOnBothSides();
    std::string later;
    int asked = 0;
    QPointer<Dialog> answered;  // each question is answered once
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog == answered) return;
        answered = dialog;
        if (++asked == 1) {
            PushFromCli("Account", "Account",
                        [](const std::string& s) { return s + "' later\r\n"; });
            later = ServerScript("Demo Sales", "Account", "Account");
            Click(*dialog, "btOverwrite");
        } else {
            Click(*dialog, "btCancel");
        }
    });
    watcher.start(10);
    CheckIn();
    watcher.stop();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(later, theirs + "' later\r\n");
    EXPECT_EQ(ServerScript("Demo Sales", "Account", "Account"), later) << "nothing overwritten";
    EXPECT_TRUE(Editor().IsModified());
}

TEST_F(ChangedInCommenceTest, ConflictsAreMarkedAndQuestionedBeforeTheyAreStored) {
    Keeper();
    OpenForm("Demo Sales", "Account", "Account");
    const int line = 5;
    ASSERT_EQ(Editor().Line(line), "Const REVENUE_LARGE = 1000000");
    TypeAtLine(line, QStringLiteral("' mine: "));
    PushFromCli("Account", "Account", [](std::string s) {
        const std::size_t at = s.find("1000000");
        return s.replace(at, 7, "2000000");
    });
    OnDialog<Dialog>([](Dialog& dialog) { Click(dialog, "btMerge"); });
    CheckIn();

    const std::vector<std::string> lines = SplitScriptText(Editor().Text());
    const std::vector<std::string> expected = {"<<<<<<< mine (this editor)",
                                               "' mine: Const REVENUE_LARGE = 1000000",
                                               "||||||| base (as opened)",
                                               "Const REVENUE_LARGE = 1000000",
                                               "=======",
                                               "Const REVENUE_LARGE = 2000000",
                                               ">>>>>>> Commence"};
    ASSERT_GE(lines.size(), line + expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + line, lines.begin() + line + 7), expected);
    EXPECT_EQ(Editor().LineFromChar(Editor().CaretPos()), line) << "the caret at the conflict";
    EXPECT_NE(messages.messages.back().text.find("1 place was changed on both sides"),
              std::string::npos)
        << messages.messages.back().text;

    // Checking in with the markers still there is asked about first.
    const std::string before = ServerScript("Demo Sales", "Account", "Account");
    messages.answers = {MessageAnswer::No};
    CheckIn();
    EXPECT_EQ(messages.messages.back().icon, MessageIcon::Question);
    EXPECT_NE(messages.messages.back().text.find("still holds a conflict"), std::string::npos);
    EXPECT_EQ(ServerScript("Demo Sales", "Account", "Account"), before);
    EXPECT_TRUE(Editor().IsModified());
}

}  // namespace
}  // namespace vk::test
