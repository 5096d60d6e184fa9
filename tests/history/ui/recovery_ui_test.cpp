// Unsaved changes kept for recovery: written while the editor types,
// removed when nothing is unsaved, and offered again after a real editor
// process was killed with kill -9 in the middle of typing.
#include <QLabel>
#include <QSignalSpy>
#include <chrono>
#include <regex>
#include <sstream>
#include <thread>

#include "common/file_bytes.h"
#include "history/recovery_record.h"
#include "history/ui/diff_view.h"
#include "history/ui/recovery_dialog.h"
#include "history/ui/recovery_offer.h"
#include "history/ui/recovery_writer.h"
#include "history_ui_fixture.h"
#include "support/test_process.h"
#include "typist_script.h"

namespace vk::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

RecoveryRecord ReadRecord(const fs::path& file) {
    std::string why;
    const auto record = DecodeRecovery(ReadFileBytes(file), &why);
    if (!record) ADD_FAILURE() << file << ": " << why;
    return record.value_or(RecoveryRecord{});
}

TEST_F(HistoryUiTest, UnsavedChangesAreKeptUntilNothingIsUnsaved) {
    Keeper();
    QSignalSpy written(&Keeper().Recovery(), &TRecoveryWriter::written);
    OpenForm("Demo Sales", "Account", "Account");
    const std::string opened = Editor().Text();
    EXPECT_TRUE(RecoveryFiles().empty()) << "nothing unsaved yet";

    TypeAtLine(1, QStringLiteral("' typed"));
    ASSERT_TRUE(written.wait(5000)) << "written once typing pauses";
    ASSERT_EQ(RecoveryFiles().size(), 1u);
    RecoveryRecord record = ReadRecord(RecoveryFiles()[0]);
    EXPECT_EQ(record.form.form, "Account");
    EXPECT_EQ(record.base, opened);
    EXPECT_EQ(record.text, Editor().CanonicalText());

    CheckIn();
    EXPECT_TRUE(RecoveryFiles().empty()) << "checked in";

    // Typing and undoing back to what was stored leaves nothing unsaved.
    TypeAtLine(1, QStringLiteral("x"));
    ASSERT_TRUE(written.wait(5000));
    EXPECT_EQ(RecoveryFiles().size(), 1u);
    Editor().undo();
    QTest::qWait(static_cast<int>(TRecoveryWriter::kIdleAfterTyping.count()) + 500);
    EXPECT_TRUE(RecoveryFiles().empty()) << "undone to the stored text";

    // Picking another form with "No" throws the changes away, and the file.
    TypeAtLine(1, QStringLiteral("y"));
    ASSERT_TRUE(written.wait(5000));
    messages.answers = {MessageAnswer::No};
    Pick(Window().Toolbars().pmForms, "Account (Short)");
    EXPECT_TRUE(RecoveryFiles().empty());
}

// A real editor process types until it is killed.
class KilledEditorTest : public HistoryUiTest {
protected:
    static constexpr int kPadding = 20000;  // about a megabyte to write each time

    KilledEditorTest() {
        // Written every second while typing goes on, so writes fall among
        // the keys; and room to type in a script that long.
        auto history =
            registry.OpenKey(Hive::CurrentUser, std::string(kProgramKey) + "\\History", true);
        EXPECT_TRUE(history && history->WriteInteger("Recovery interval", 1));
        auto editor =
            registry.OpenKey(Hive::CurrentUser, std::string(kProgramKey) + "\\Editor", true);
        EXPECT_TRUE(editor && editor->WriteInteger("Memory buffer", 4096));
    }

    struct Run {
        std::string opened;
        int lastReported = -1;
    };

    // Starts the typist, waits for `writes` reported writes and a little
    // more, and kills it with SIGKILL.
    Run TypeAndKill(int writes, std::chrono::milliseconds extra) {
        const fs::path output = commence.Root() / ("typist-" + std::to_string(++runs_) + ".out");
        const ProcessId typist =
            StartProgram(BuiltProgram("recovery_typist"), {std::to_string(kPadding), "kill"},
                         {{}, output, fs::path(output) += ".err"});
        Run run;
        const auto deadline = std::chrono::steady_clock::now() + 90s;
        for (int seen = 0; seen < writes && std::chrono::steady_clock::now() < deadline;) {
            std::this_thread::sleep_for(20ms);
            seen = 0;
            std::istringstream lines(ReadFileBytes(output));
            for (std::string line; std::getline(lines, line);)
                if (line.rfind("written ", 0) == 0) ++seen;
        }
        std::this_thread::sleep_for(extra);
        EXPECT_TRUE(Kill(typist));
        EXPECT_EQ(WaitForExit(typist, 10s), 128 + 9) << "killed, not ended";

        std::istringstream lines(ReadFileBytes(output));
        int openedBytes = -1;
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("opened ", 0) == 0) openedBytes = std::stoi(line.substr(7));
            if (line.rfind("written ", 0) == 0) run.lastReported = std::stoi(line.substr(8));
        }
        run.opened =
            ServerScript(kTypistDatabase, kTypistCategory, kTypistForm) + TypistPadding(kPadding);
        EXPECT_EQ(openedBytes, static_cast<int>(run.opened.size()));
        EXPECT_GE(run.lastReported, 0)
            << ReadFileBytes(output) << ReadFileBytes(fs::path(output) += ".err");
        return run;
    }

    // The recovered text is what was typed up to a write the typist made:
    // the last one it told of, or one it made after but had no time to tell.
    static int KeysIn(const Run& run, const std::string& text) {
        if (text.compare(0, run.opened.size(), run.opened) != 0) return -1;
        const std::string typed = text.substr(run.opened.size());
        for (int keys = 0; keys < run.lastReported + 2000; ++keys)
            if (TypistText({}, keys) == typed) return keys;
        return -1;
    }

private:
    int runs_ = 0;
};

TEST_F(KilledEditorTest, TheRecoveredTextIsWhatWasTypedUpToTheLastWrite) {
    // Killed at different moments after a write; the file is read whole
    // every time, never a part of a write.
    RecoveryRecord last;
    for (const auto extra : {0ms, 130ms, 370ms}) {
        SCOPED_TRACE(extra.count());
        const Run run = TypeAndKill(3, extra);
        const std::vector<fs::path> files = RecoveryFiles();
        ASSERT_EQ(files.size(), 1u) << "one editor, one file";
        last = ReadRecord(files[0]);
        const int keys = KeysIn(run, last.text);
        EXPECT_GE(keys, run.lastReported) << "recovered text is not what was typed";
        EXPECT_EQ(last.base, ServerScript(kTypistDatabase, kTypistCategory, kTypistForm));
        if (extra != 370ms) fs::remove(files[0]);
    }

    // The next start offers it, showing the form, the time and the
    // differences from what Commence holds now; Restore puts it into the
    // editor, not stored.
    Keeper();
    QString explanation;
    std::vector<QString> titles;
    OnDialog<TfRecoverScript>([&](TfRecoverScript& dialog) {
        explanation = dialog.Explanation();
        titles = {dialog.Differences()->Title(0), dialog.Differences()->Title(1)};
        Click(dialog, "btRestore");
    });
    EXPECT_TRUE(OfferRecovery(Window(), Context(), Keeper(), RecoveryFolder::Default()));
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_TRUE(explanation.contains("\"Account\" (category \"Account\", database \"Demo Sales\")"))
        << explanation.toStdString();
    EXPECT_TRUE(explanation.contains(
        QDateTime::fromSecsSinceEpoch(last.savedAt).toString("yyyy-MM-dd HH:mm:ss")));
    EXPECT_EQ(titles, (std::vector<QString>{"Commence now", "Your unsaved changes"}));

    EXPECT_EQ(Context().CurrentForm(), kTypistForm);
    EXPECT_EQ(Editor().CanonicalText(), last.text);
    EXPECT_TRUE(Editor().IsModified());
    EXPECT_EQ(ServerScript(kTypistDatabase, kTypistCategory, kTypistForm), last.base);
    // The base is the one the changes were made against, so a change made in
    // Commence since the crash is caught at the check-in.
    ASSERT_TRUE(Keeper().Base());
    EXPECT_EQ(Keeper().Base()->text, last.base);
    // The killed editor's file went once this editor kept the changes.
    const std::vector<fs::path> files = RecoveryFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0], Keeper().Recovery().File());
    EXPECT_EQ(ReadRecord(files[0]).text, last.text);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(RecoveryFolder::Default(), ec))
        EXPECT_EQ(entry.path().stem(), files[0].stem()) << "left over: " << entry.path();
}

TEST_F(KilledEditorTest, ANormalCloseLeavesNothingToRecover) {
    const fs::path output = commence.Root() / "typist.out";
    const ProcessId typist = StartProgram(BuiltProgram("recovery_typist"), {"10", "close"},
                                          {{}, output, commence.Root() / "typist.err"});
    EXPECT_EQ(WaitForExit(typist, 90s), 0) << ReadFileBytes(commence.Root() / "typist.err");
    EXPECT_NE(ReadFileBytes(output).find("written"), std::string::npos);
    EXPECT_TRUE(RecoveryFiles().empty());
}

TEST_F(HistoryUiTest, OfferedChangesCanBeKeptForLaterOrThrownAway) {
    const RecoveryRecord record{{"Demo Sales", "Contact", "Contact"},
                                1'700'000'000,
                                ServerScript("Demo Sales", "Contact", "Contact"),
                                "' unsaved\r\n"};
    fs::create_directories(RecoveryFolder::Default());
    WriteFileBytes(RecoveryFolder::Default() / "gone.recovery", EncodeRecovery(record));
    Keeper();

    OnDialog<TfRecoverScript>([](TfRecoverScript& dialog) { Click(dialog, "btLater"); });
    EXPECT_FALSE(OfferRecovery(Window(), Context(), Keeper(), RecoveryFolder::Default()));
    EXPECT_EQ(RecoveryFiles().size(), 1u);

    // Discard asks first; No keeps them.
    messages.answers = {MessageAnswer::No, MessageAnswer::Yes};
    for (int i = 0; i < 2; ++i) {
        OnDialog<TfRecoverScript>([](TfRecoverScript& dialog) { Click(dialog, "btDiscard"); });
        EXPECT_FALSE(OfferRecovery(Window(), Context(), Keeper(), RecoveryFolder::Default()));
        EXPECT_EQ(RecoveryFiles().size(), i == 0 ? 1u : 0u);
    }
    EXPECT_EQ(dialogsShown, 3);
    EXPECT_FALSE(Editor().isEnabled()) << "nothing was opened";
}

}  // namespace
}  // namespace vk::test
