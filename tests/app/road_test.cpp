// The whole road of a script through the running program: pick a database,
// a category and a form from the toolbar's menus, see the script coloured,
// edit it, update it into Commence and open it again.
#include <QAction>
#include <QTest>

#include "common/messages.h"
#include "document/checksum_check.h"
#include "document/script_lines.h"
#include "document/tag_lines.h"
#include "road_fixture.h"

namespace vk::test {
namespace {

TEST_F(RoadTest, PickEditUpdateAndReopen) {
    Settings().applyTimeTag = true;
    Settings().applyIdTag = true;
    Settings().applyChecksumTag = true;
    const MainToolbars& bars = Window().Toolbars();
    const MainActions& actions = Window().Actions();

    actions.acLoadDatabases->trigger();
    EXPECT_EQ(Names(bars.pmDatabases), QStringList({"Demo Sales", "Field Service"}));
    EXPECT_FALSE(Item(bars.pmDatabases, "Demo Sales")->isChecked()) << "no Commence runs yet";

    Pick(bars.pmDatabases, "Demo Sales");
    EXPECT_EQ(Caption(bars.tbbDatabases), "Demo Sales");
    EXPECT_EQ(Names(bars.pmCategories),
              QStringList({"Account", "Contact", "Sales Opportunity", "Employee", "Activity Log"}));
    EXPECT_TRUE(actions.acLoadCategories->isEnabled());
    EXPECT_TRUE(actions.acFocusCommence->isEnabled());
    EXPECT_FALSE(actions.acUpdate->isEnabled());

    Pick(bars.pmCategories, "Account");
    EXPECT_EQ(Caption(bars.tbbCategories), "Account");
    EXPECT_EQ(Names(bars.pmForms), QStringList({"Account", "Account (Short)", "Account Billing"}));
    EXPECT_TRUE(actions.acLoadForms->isEnabled());
    EXPECT_FALSE(Editor().isEnabled());

    const std::string original = ServerScript("Demo Sales", "Account", "Account");
    Pick(bars.pmForms, "Account");
    EXPECT_EQ(Caption(bars.tbbForms), "Account");
    ASSERT_EQ(Editor().Text(), original);
    EXPECT_TRUE(Editor().isEnabled());
    EXPECT_FALSE(Editor().IsModified());
    for (QAction* action :
         {actions.acUpdate, actions.acUpdateAndFocus, actions.acSaveToDisk, actions.acIndentBlock,
          actions.acUnindentBlock, actions.acSetNextBookmark})
        EXPECT_TRUE(action->isEnabled()) << action->objectName().toStdString();
    EXPECT_FALSE(actions.acPrintScript->isEnabled());
    EXPECT_EQ(Panel(0), kChecksumNotFound);

    // "Option" is a keyword: blue and bold, as the colour settings say; the
    // blank after it is not.
    const RangeFormatReport keyword = Editor().RangeFormat(0, 6);
    EXPECT_EQ(keyword.color, kKeywordColor);
    EXPECT_TRUE(keyword.bold);
    EXPECT_TRUE(keyword.colorUniform);
    EXPECT_NE(Editor().RangeFormat(6, 1).color, kKeywordColor);

    // Commence now runs for the database, and the menu says so.
    actions.acLoadDatabases->trigger();
    EXPECT_TRUE(Item(bars.pmDatabases, "Demo Sales")->isChecked());
    EXPECT_FALSE(Item(bars.pmDatabases, "Field Service")->isChecked());

    TypeAtLine(2, QStringLiteral("Dim typedHere"));
    QTest::keyClick(&Editor(), Qt::Key_Return);
    EXPECT_TRUE(Editor().IsModified());
    EXPECT_EQ(Panel(1), "Modified");

    // Ctrl+U in the editor is the window's update, not the editor's own
    // lower-case command.
    Window().show();
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    Editor().setFocus();
    QTest::keyClick(&Editor(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts().front();
    const std::string stored = ServerScript("Demo Sales", "Account", "Account");
    EXPECT_EQ(stored, Editor().CanonicalText());
    EXPECT_EQ(VerifyChecksum(stored).outcome, ChecksumVerdict::Outcome::Correct);
    const std::vector<std::string> lines = SplitScriptText(stored);
    ASSERT_GT(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Option Explicit");
    EXPECT_EQ(lines[1].substr(0, 8), kChecksumTagPrefix);
    EXPECT_EQ(lines[2], "'#Category Account, Account");
    EXPECT_EQ(lines[3].substr(0, 8), kSavedTagPrefix);
    EXPECT_NE(lines[3].find(" on \\\\" + Context().Machine().computerName + " by Dana Whitfield"),
              std::string::npos)
        << lines[3];
    EXPECT_NE(stored.find("\r\nDim typedHere\r\n"), std::string::npos);
    EXPECT_FALSE(Editor().IsModified());
    EXPECT_EQ(Panel(1), "");

    // Opening it again: nothing is modified, so no question, and the stored
    // checksum holds.
    Pick(bars.pmForms, "Account");
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(Editor().Text(), stored);
    EXPECT_EQ(Panel(0), kChecksumCorrect);
}

TEST_F(RoadTest, TitleNamesWhatIsOpenWithAModifiedMarker) {
    const MainToolbars& bars = Window().Toolbars();
    EXPECT_EQ(Window().windowTitle(), "Vellumkit");
    Window().Actions().acLoadDatabases->trigger();
    Pick(bars.pmDatabases, "Demo Sales");
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Demo Sales \u2014 Vellumkit"));
    Pick(bars.pmCategories, "Account");
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Account \u2014 Demo Sales \u2014 Vellumkit"));
    Pick(bars.pmForms, "Account (Short)");
    const QString open =
        QStringLiteral("Account (Short) \u2014 Account \u2014 Demo Sales \u2014 Vellumkit");
    EXPECT_EQ(Window().windowTitle(), open);

    TypeAtLine(1, QStringLiteral("x"));
    EXPECT_EQ(Window().windowTitle(),
              QStringLiteral("Account (Short)* \u2014 Account \u2014 Demo Sales \u2014 Vellumkit"));
    Window().Actions().acUpdate->trigger();
    EXPECT_FALSE(Editor().IsModified());
    EXPECT_EQ(Window().windowTitle(), open);

    // Another category closes the script: its form goes from the title.
    Pick(bars.pmCategories, "Contact");
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Contact \u2014 Demo Sales \u2014 Vellumkit"));
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts().front();
}

// Windows-1252 bytes and CR LF line ends come back from Commence exactly as
// they went out, with only the typed line added.
TEST_F(RoadTest, BytesSurviveCheckOutEditAndCheckIn) {
    const std::string original = ServerScript("Demo Sales", "Contact", "Contact");
    ASSERT_NE(original.find('\x80'), std::string::npos);
    ASSERT_NE(original.find('\xE9'), std::string::npos);

    OpenForm("Demo Sales", "Contact", "Contact");
    ASSERT_EQ(Editor().Text(), original);
    const int at = Editor().LineIndex(3);
    TypeAtLine(3, QString::fromUtf8("' caf\u00e9 \u20ac \u00ff"));
    QTest::keyClick(&Editor(), Qt::Key_Return);
    Window().Actions().acUpdate->trigger();

    std::string expected = original;
    expected.insert(static_cast<std::size_t>(at), "' caf\xE9 \x80 \xFF\r\n");
    EXPECT_EQ(ServerScript("Demo Sales", "Contact", "Contact"), expected);
    EXPECT_FALSE(Editor().IsModified());
}

// A database whose only category has one form, or a category with a single
// form, opens the script at once.
TEST_F(RoadTest, SingleFormOpensAtOnce) {
    Window().Actions().acLoadDatabases->trigger();
    Pick(Window().Toolbars().pmDatabases, "Demo Sales");
    Pick(Window().Toolbars().pmCategories, "Employee");
    EXPECT_EQ(Context().CurrentForm(), "Employee");
    EXPECT_EQ(Caption(Window().Toolbars().tbbForms), "Employee");
    EXPECT_TRUE(Editor().isEnabled());
    EXPECT_EQ(Editor().Text(), ServerScript("Demo Sales", "Employee", "Employee"));
}

}  // namespace
}  // namespace vk::test
