// The History window of the open form, and the loads the history keeps.
#include "history/ui/history_window.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "commence/transfer.h"
#include "document/script_checksum.h"
#include "document/script_lines.h"
#include "document/script_checksum.h"
#include "history/ui/diff_view.h"
#include "history_ui_fixture.h"

namespace vk::test {
namespace {

const FormLocation kAccount{"Demo Sales", "Account", "Account"};

class HistoryWindowTest : public HistoryUiTest {
protected:
    std::vector<std::string> Column(int column) {
        std::vector<std::string> texts;
        QTreeWidget* list = Keeper().HistoryWindow()->lvVersions();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts.push_back(list->topLevelItem(i)->text(column).toStdString());
        return texts;
    }
    // Selects the rows of these versions as the user does, Ctrl+click.
    void Select(std::initializer_list<std::int64_t> numbers) {
        QTreeWidget* list = Keeper().HistoryWindow()->lvVersions();
        list->clearSelection();
        const std::vector<std::int64_t> listed = Keeper().HistoryWindow()->ListedNumbers();
        for (const std::int64_t number : numbers) {
            const auto row = std::find(listed.begin(), listed.end(), number) - listed.begin();
            QTreeWidgetItem* item = list->topLevelItem(static_cast<int>(row));
            list->scrollToItem(item);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              list->visualItemRect(item).center());
        }
    }
};

TEST_F(HistoryWindowTest, ListsComparesAndRestoresVersionsOfTheOpenForm) {
    Keeper();
    EXPECT_FALSE(Keeper().acShowHistory()->isEnabled()) << "no script open";
    OpenForm("Demo Sales", "Account", "Account");
    const std::string v1 = Editor().CanonicalText();
    TypeAtLine(0, QStringLiteral("' two"));
    CheckIn();
    TypeAtLine(0, QStringLiteral("' three"));
    CheckIn();
    const std::string v3 = ServerScript("Demo Sales", "Account", "Account");

    ASSERT_TRUE(Keeper().acShowHistory()->isEnabled());
    Keeper().acShowHistory()->trigger();
    TfHistory* window = Keeper().HistoryWindow();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_EQ(window->ListedNumbers(), (std::vector<std::int64_t>{3, 2, 1})) << "newest first";
    EXPECT_EQ(Column(4), (std::vector<std::string>{"checked in", "checked in", "loaded"}));
    EXPECT_EQ(Column(2)[0], std::to_string(v3.size()));
    EXPECT_EQ(Column(3)[2], FormatChecksum(PrintOf(v1).checksum));
    EXPECT_EQ(Column(1)[0].size(), std::string("2026-12-11 10:06:21").size());

    auto* compare = window->findChild<QPushButton*>("btCompare");
    auto* withEditor = window->findChild<QPushButton*>("btCompareWithEditor");
    auto* restore = window->findChild<QPushButton*>("btRestore");
    Select({1, 3});
    EXPECT_TRUE(compare->isEnabled());
    EXPECT_FALSE(restore->isEnabled()) << "one version is restored, not two";
    QTest::mouseClick(compare, Qt::LeftButton);
    TDiffView* differences = window->Differences();
    EXPECT_EQ(differences->Title(0), "Version 1");
    EXPECT_EQ(differences->Title(1), "Version 3");
    EXPECT_EQ(ToAnsi(differences->Pane(1)->toPlainText()).substr(0, 16), "' three' twoOpti");
    EXPECT_EQ(differences->Summary(), "1 change");

    Select({2});
    QTest::mouseClick(withEditor, Qt::LeftButton);
    EXPECT_EQ(differences->Title(1), "Editor");
    EXPECT_EQ(differences->Summary(), "1 change");

    // Restoring is an edit: undoable, and stored only by a check-in.
    Select({1});
    QTest::mouseClick(restore, Qt::LeftButton);
    EXPECT_EQ(Editor().CanonicalText(), v1);
    EXPECT_TRUE(Editor().IsModified());
    EXPECT_EQ(ServerScript("Demo Sales", "Account", "Account"), v3);
    Editor().undo();
    EXPECT_EQ(Editor().CanonicalText(), v3);
    EXPECT_FALSE(Editor().IsModified()) << "back at what was stored";
    Editor().redo();
    CheckIn();
    EXPECT_EQ(ServerScript("Demo Sales", "Account", "Account"), v1);
    EXPECT_EQ(window->ListedNumbers(), (std::vector<std::int64_t>{4, 3, 2, 1}))
        << "the window follows the check-in";
}

TEST_F(HistoryWindowTest, KeepsALoadOnlyWhenItDiffersFromTheNewestVersion) {
    Keeper();
    OpenForm("Demo Sales", "Account", "Account");
    Pick(Window().Toolbars().pmForms, "Account");  // opened again, unchanged
    EXPECT_EQ(history.Store().Versions(kAccount).size(), 1u);

    // Changed in Commence by a program that keeps no history here.
    NullStatusSink quiet;
    MemoryScriptLines lines(ServerScript("Demo Sales", "Account", "Account") + "' elsewhere\r\n");
    {
        struct Silent final : CheckInRecorder {
            void CheckedIn(const FormLocation&, std::string_view) noexcept override {}
            void Loaded(const FormLocation&, std::string_view) noexcept override {}
        } silent;
        const ScopedCheckInRecorder quietRecorder(silent);
        ASSERT_EQ(ScriptTransfer(registry, quiet).CheckIn(kAccount, lines, {}).outcome,
                  CheckInResult::Outcome::Stored);
    }
    Pick(Window().Toolbars().pmForms, "Account");
    const auto versions = history.Store().Versions(kAccount);
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_EQ(versions[1].source, VersionSource::Loaded);
    EXPECT_EQ(history.Store().Text(kAccount, 2), Editor().Text());
}

}  // namespace
}  // namespace vk::test
