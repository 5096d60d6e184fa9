// The editing context's questions, failures and side roads: unsaved changes
// on every change of database or form, a colouring that fails, a check-in
// that fails, the database menu, saving to disk and the checksum box.
#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "common/messages.h"
#include "document/checksum_check.h"
#include "document/script_checksum.h"
#include "highlight/color_stream.h"
#include "road_fixture.h"
#include "support/scripted_commence.h"

namespace vk::test {
namespace {

constexpr std::string_view kQuestion = "Save changes first ?";

class EditingContextTest : public RoadTest {
protected:
    void TypeSomething(const char* text) {
        TypeAtLine(0, QString::fromLatin1(text));
        ASSERT_TRUE(Editor().IsModified());
    }
    bool Asked() const {
        return !messages.messages.empty() && messages.messages.back().text == kQuestion &&
               messages.messages.back().icon == MessageIcon::Question &&
               messages.messages.back().buttons == MessageButtons::YesNoCancel;
    }
};

TEST_F(EditingContextTest, AnotherFormAsksFirst) {
    const std::string account = ServerScript("Demo Sales", "Account", "Account");
    const std::string shortForm = ServerScript("Demo Sales", "Account", "Account (Short)");
    OpenForm("Demo Sales", "Account", "Account");
    QMenu* forms = Window().Toolbars().pmForms;

    // Cancel: nothing changes.
    TypeSomething("' first ");
    const std::string edited = Editor().Text();
    messages.answers = {MessageAnswer::Cancel};
    Pick(forms, "Account (Short)");
    EXPECT_TRUE(Asked());
    EXPECT_EQ(Context().CurrentForm(), "Account");
    EXPECT_EQ(Caption(Window().Toolbars().tbbForms), "Account");
    EXPECT_EQ(Editor().Text(), edited);
    EXPECT_TRUE(Editor().IsModified());
    EXPECT_EQ(Panel(1), "Modified");

    // No: the edit is dropped, Commence keeps its script, the other form opens.
    messages.answers = {MessageAnswer::No};
    Pick(forms, "Account (Short)");
    EXPECT_TRUE(Asked());
    EXPECT_EQ(Context().CurrentForm(), "Account (Short)");
    EXPECT_EQ(Editor().Text(), shortForm);
    EXPECT_FALSE(Editor().IsModified());
    EXPECT_EQ(Panel(1), "");
    EXPECT_EQ(ServerScript("Demo Sales", "Account", "Account"), account);

    // Yes: the edit goes into Commence before the other form opens.
    TypeSomething("' second ");
    const std::string second = Editor().CanonicalText();
    messages.answers = {MessageAnswer::Yes};
    Pick(forms, "Account");
    EXPECT_TRUE(Asked());
    EXPECT_EQ(ServerScript("Demo Sales", "Account", "Account (Short)"), second);
    EXPECT_EQ(Context().CurrentForm(), "Account");
    EXPECT_EQ(Editor().Text(), account);
}

TEST_F(EditingContextTest, SameFormAgainAsksAndReloads) {
    const std::string account = ServerScript("Demo Sales", "Account", "Account");
    OpenForm("Demo Sales", "Account", "Account");
    TypeSomething("' dropped ");
    messages.answers = {MessageAnswer::No};
    Pick(Window().Toolbars().pmForms, "Account");
    EXPECT_TRUE(Asked());
    EXPECT_EQ(Editor().Text(), account);
    EXPECT_FALSE(Editor().IsModified());
}

TEST_F(EditingContextTest, AnotherDatabaseAsksFirst) {
    OpenForm("Demo Sales", "Account", "Account");
    const MainToolbars& bars = Window().Toolbars();
    TypeSomething("' kept ");
    const std::string edited = Editor().Text();

    messages.answers = {MessageAnswer::Cancel};
    Pick(bars.pmDatabases, "Field Service");
    EXPECT_TRUE(Asked());
    EXPECT_EQ(Context().CurrentDatabase(), "Demo Sales");
    EXPECT_EQ(Caption(bars.tbbDatabases), "Demo Sales");
    EXPECT_EQ(Editor().Text(), edited);
    EXPECT_TRUE(Editor().isEnabled());

    // Picking the current database again reloads its categories silently.
    const std::size_t boxes = messages.messages.size();
    Pick(bars.pmDatabases, "Demo Sales");
    EXPECT_EQ(messages.messages.size(), boxes);
    EXPECT_EQ(Editor().Text(), edited);

    messages.answers = {MessageAnswer::No};
    Pick(bars.pmDatabases, "Field Service");
    EXPECT_TRUE(Asked());
    EXPECT_EQ(Context().CurrentDatabase(), "Field Service");
    EXPECT_EQ(Context().CurrentCategory(), "");
    EXPECT_EQ(Context().CurrentForm(), "");
    EXPECT_EQ(Caption(bars.tbbDatabases), "Field Service");
    EXPECT_EQ(Caption(bars.tbbCategories), "Categories");
    EXPECT_EQ(Caption(bars.tbbForms), "Forms");
    EXPECT_TRUE(Names(bars.pmForms).isEmpty());
    EXPECT_TRUE(Names(bars.pmCategories).contains("Service Call"));
    EXPECT_EQ(Editor().Text(), "");
    EXPECT_FALSE(Editor().isEnabled());
    EXPECT_FALSE(Editor().IsModified());
    EXPECT_EQ(Panel(1), "");
    // The editing actions stay enabled until the next script.
    EXPECT_TRUE(Window().Actions().acUpdate->isEnabled());
}

TEST_F(EditingContextTest, DatabaseThatDoesNotAnswerIsForgotten) {
    auto key =
        registry.OpenKey(Hive::CurrentUser, "Software\\Commence\\Databases\\Lost\\Nowhere", true);
    ASSERT_TRUE(key);
    key->WriteString("Name", "Lost Base");
    key->WriteString("Path", (commence.Root() / "missing").string());

    Window().Actions().acLoadDatabases->trigger();
    Pick(Window().Toolbars().pmDatabases, "Lost Base");
    ASSERT_FALSE(messages.messages.empty());
    EXPECT_EQ(messages.messages.back().text, "The database Lost Base is not ready.");
    EXPECT_EQ(messages.messages.back().icon, MessageIcon::Error);
    EXPECT_EQ(Context().CurrentDatabase(), "");
    EXPECT_EQ(Caption(Window().Toolbars().tbbDatabases), "Databases");
}

// The colour stream refuses to grow past a few bytes, as when memory runs
// out: the script is shown uncoloured, without a box, and can be updated.
TEST_F(EditingContextTest, FailedColouringStillShowsTheScript) {
    Window().ColorStream().SetOutputLimit(64);
    const std::string original = ServerScript("Demo Sales", "Account", "Account");
    OpenForm("Demo Sales", "Account", "Account");
    EXPECT_EQ(Panel(0), "Highlighting failed");
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(Editor().Text(), original);
    EXPECT_EQ(Editor().RangeFormat(0, 6).color, 0u);
    EXPECT_FALSE(Editor().RangeFormat(0, 6).bold);
    EXPECT_TRUE(Editor().isEnabled());
    EXPECT_FALSE(Editor().IsModified());
    EXPECT_EQ(Window().ColorStream().Size(), 0u);

    TypeSomething("' uncoloured ");
    Window().Actions().acUpdate->trigger();
    EXPECT_EQ(ServerScript("Demo Sales", "Account", "Account"), Editor().CanonicalText());
    EXPECT_FALSE(Editor().IsModified());
}

// Nothing is lost when the check-in fails: the text and the modified flag
// stay, and no temporary file is left behind.
TEST_F(EditingContextTest, FailedCheckInKeepsTheScript) {
    TempDir temp;
    ScopedEnv tmpdir("TMPDIR", temp.path().string());
    Settings().applyChecksumTag = true;
    OpenForm("Demo Sales", "Account", "Account");
    TypeSomething("' unsaved ");
    const std::string edited = Editor().Text();

    // Commence goes away and cannot be started again.
    commence.StopServers();
    auto versions = registry.OpenKey(Hive::CurrentUser, "Software\\Commence\\Commence", false);
    ASSERT_TRUE(versions);
    for (const std::string& version : versions->SubkeyNames())
        if (auto settings = registry.OpenKey(
                Hive::CurrentUser, "Software\\Commence\\Commence\\" + version + "\\Settings", true))
            settings->WriteString("Program", (commence.Root() / "gone").string());

    Window().Actions().acUpdate->trigger();
    EXPECT_EQ(Panel(0), "Error accessing Demo Sales");
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(Editor().Text(), edited);
    EXPECT_TRUE(Editor().IsModified());
    EXPECT_EQ(Panel(1), "Modified");
    EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
}

// A reply that tells nothing about the check-in is an error of its own, shown
// in the error box; the script stays as unsaved as it may be.
TEST_F(EditingContextTest, GarbledCheckInReplyGoesToTheErrorBox) {
    OpenForm("Demo Sales", "Account", "Account");
    TypeSomething("' unsaved ");
    commence.StopServers();
    const ScriptedCommence garbled("Demo Sales", [](std::string_view item) {
        return std::optional<std::string>(item == commands::kGetLastError ? "busy" : "");
    });

    Window().Actions().acUpdate->trigger();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "'busy' is not a valid integer value.");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(Editor().IsModified());
    EXPECT_EQ(Panel(1), "Modified");
}

TEST_F(EditingContextTest, RefusedCheckInKeepsTheScript) {
    struct Row {
        const char* name;
        const char* category;
        const char* form;
        const char* message;
    };
    const Row rows[] = {
        {"unknown category", "Nope", "Ghost",
         "There was an error saving the script.\rThe category \"Nope\" is invalid."},
        {"unknown form", "Account", "Ghost",
         "There was an error saving the script.\rThe detail form \"Ghost\" is invalid."},
    };
    Window().Actions().acLoadDatabases->trigger();
    Pick(Window().Toolbars().pmDatabases, "Demo Sales");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        messages.answers = {MessageAnswer::No};
        Context().CategoryClick(row.category);
        Context().FormClick(row.form);
        ASSERT_TRUE(Editor().isEnabled());
        TypeSomething("' refused ");
        const std::string edited = Editor().Text();
        messages.messages.clear();
        Window().Actions().acUpdate->trigger();
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, row.message);
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(Editor().Text(), edited);
        EXPECT_TRUE(Editor().IsModified());

        // Yes to the question before another form, and the check-in is refused
        // again: going on would drop the edits, so the form stays open.
        messages.messages.clear();
        messages.answers = {MessageAnswer::Yes};
        Context().FormClick("Account (Short)");
        ASSERT_EQ(messages.Texts(),
                  (std::vector<std::string>{"Save changes first ?", row.message}));
        EXPECT_EQ(Context().CurrentForm(), row.form);
        EXPECT_EQ(Editor().Text(), edited);
        EXPECT_TRUE(Editor().IsModified());
    }
}

TEST_F(EditingContextTest, DatabaseMenuSortsAndBreaksIntoColumnsOf20) {
    Settings().noDdeCheck = true;
    QStringList expected = {"alpha", "Beta", "Demo Sales", "Field Service"};
    for (int i = 0; i < 41; ++i) {
        const std::string name = "Zone " + std::string(i < 10 ? "0" : "") + std::to_string(i);
        auto key = registry.OpenKey(Hive::LocalMachine,
                                    "Software\\Commence\\Databases\\Many\\" + name, true);
        ASSERT_TRUE(key);
        key->WriteString("Name", name);
        expected << QString::fromStdString(name);
    }
    for (const char* name : {"Beta", "alpha"}) {
        auto key = registry.OpenKey(
            Hive::LocalMachine, std::string("Software\\Commence\\Databases\\Few\\") + name, true);
        key->WriteString("Name", name);
    }
    expected.insert(40, "|");
    expected.insert(20, "|");

    Window().Actions().acLoadDatabases->trigger();
    EXPECT_EQ(Names(Window().Toolbars().pmDatabases), expected);
    for (QAction* item : Window().Toolbars().pmDatabases->actions())
        EXPECT_FALSE(item->isChecked());
}

TEST_F(EditingContextTest, SaveToDiskWritesTheTextWithoutTags) {
    Settings().applyIdTag = true;
    Settings().applyChecksumTag = true;
    OpenForm("Demo Sales", "Account", "Account (Short)");
    TypeSomething("' to disk ");
    TempDir folder;
    QString title, suffix;
    QStringList filters;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        suffix = dialog->defaultSuffix();
        filters = dialog->nameFilters();
        dialog->selectFile(QString::fromStdString((folder.path() / "backup").string()));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    Window().Actions().acSaveToDisk->trigger();

    EXPECT_EQ(title, "Save Script as");
    EXPECT_EQ(suffix, "txt");
    EXPECT_EQ(filters, QStringList({"Text Files (*.txt)", "Commence VBScript Backup (*.cvb)",
                                    "All Files (*.*)"}));
    EXPECT_EQ(ReadFileBytes(folder.path() / "backup.txt"), Editor().CanonicalText());
    EXPECT_EQ(Editor().CanonicalText().find("'#"), std::string::npos);
    EXPECT_TRUE(Editor().IsPlainTextMode());
    EXPECT_TRUE(Editor().IsModified());
}

TEST_F(EditingContextTest, ChecksumBoxAndWrongChecksumWarning) {
    OpenForm("Demo Sales", "Account", "Account Billing");
    Window().Actions().acShowChecksum->trigger();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              ShowChecksumMessage(ScriptChecksum(Editor().CanonicalText())));
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Information);

    // A tag that does not match is reported in a warning box; the script
    // still loads.
    Editor().SetPlainText("'#CRC32 0000abcd\r\nDim x\r\n");
    Window().Actions().acUpdate->trigger();  // tags off: stored as it stands
    Settings().applyChecksumTag = true;
    messages.messages.clear();
    Pick(Window().Toolbars().pmForms, "Account Billing");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(messages.messages[0].text,
              "This script's checksum is not correct.\rThe calculated checksum is " +
                  FormatChecksum(ScriptChecksum("Dim x\r\n")) +
                  "\rThe stored checksum is 0000abcd");
    EXPECT_EQ(Editor().Text(), "'#CRC32 0000abcd\r\nDim x\r\n");
}

// A category without forms lists none, and the editor it cleared stays off
// with an empty code browser.
TEST_F(EditingContextTest, CategoryWithoutFormsKeepsTheEditorDisabled) {
    OpenForm("Demo Sales", "Account", "Account");
    ASSERT_TRUE(Editor().isEnabled());
    const QTreeWidgetItem* events = Window().tvCodeBrowser()->topLevelItem(0);
    ASSERT_GT(events->childCount(), 0);
    const MainToolbars& bars = Window().Toolbars();
    Pick(bars.pmCategories, "Activity Log");
    // The code browser lists nothing of the script that is gone.
    EXPECT_EQ(events->childCount(), 0);
    EXPECT_TRUE(Names(bars.pmForms).isEmpty());
    EXPECT_EQ(Caption(bars.tbbCategories), "Activity Log");
    EXPECT_EQ(Caption(bars.tbbForms), "Forms");
    EXPECT_FALSE(Editor().isEnabled());
    EXPECT_EQ(Editor().Text(), "");
    EXPECT_TRUE(Window().Actions().acLoadForms->isEnabled());
}

// What the start-up options name opens as the menus open it; an unknown
// name is reported as a pick of it is, and the window stays as it is.
TEST_F(EditingContextTest, OpenSelectionPicksAsTheMenusDo) {
    const MainToolbars& bars = Window().Toolbars();
    Context().OpenSelection("Demo Sales", "Account", "Account Billing");
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(Caption(bars.tbbDatabases), "Demo Sales");
    EXPECT_EQ(Caption(bars.tbbCategories), "Account");
    EXPECT_EQ(Caption(bars.tbbForms), "Account Billing");
    EXPECT_EQ(Editor().Text(), ServerScript("Demo Sales", "Account", "Account Billing"));
    EXPECT_TRUE(Editor().isEnabled());

    Context().OpenSelection("Field Service", "Technician", "");
    EXPECT_EQ(Context().CurrentForm(), "Technician") << "a single form opens at once";
    EXPECT_EQ(Editor().Text(), ServerScript("Field Service", "Technician", "Technician"));

    Context().OpenSelection("No Such Base", "Account", "Account");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "The database No Such Base is not ready.");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(Context().CurrentDatabase(), "");
    EXPECT_EQ(Caption(bars.tbbDatabases), "Databases");
}

}  // namespace
}  // namespace vk::test
