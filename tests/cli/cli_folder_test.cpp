// pull, status and push of a script folder, through the real tool against
// the real Commence-compatible server.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "cli_runner.h"
#include "platform/registry.h"
#include "script_manifest.h"
#include "settings/settings.h"
#include "support/commence_fixture.h"
#include "support/test_support.h"

namespace vk::test {
namespace {

namespace fs = std::filesystem;
using cli::Manifest;
using cli::PrintOf;
using cli::ReadManifest;

constexpr int kFailure = 1;
constexpr int kBadArguments = 2;
constexpr int kRefused = 4;
constexpr int kConflict = 5;
constexpr int kDifferences = 6;

std::set<std::string> LinesOf(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.insert(line);
    return lines;
}

class CliFolderTest : public ::testing::Test {
protected:
    CommenceFixture commence;
    const std::string db{CommenceFixture::kDemoSales};
    const fs::path folder{commence.Root() / "scripts"};

    void SetUp() override { commence.StartServer(db); }

    std::string Local(const std::string& file) const { return ReadFileBytes(folder / file); }

    std::string InCommence(const std::string& category, const std::string& form) {
        const CliResult r = RunCli({"checkout", db, category, form});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }

    // Stores `text` as the form's script the way a colleague would.
    void CheckInElsewhere(const std::string& category, const std::string& form,
                          const std::string& text) {
        const fs::path file = commence.Root() / "elsewhere.vbs";
        WriteFileBytes(file, text);
        const CliResult r = RunCli({"checkin", db, category, form, file.string()});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    void Pull() {
        const CliResult r = RunCli({"pull", db, folder.string()});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    CliResult Run(const std::string& command, std::vector<std::string> options = {}) {
        std::vector<std::string> args = {command, db, folder.string()};
        args.insert(args.end(), options.begin(), options.end());
        return RunCli(args);
    }

    // Every script file under the folder, relative to it.
    std::set<std::string> ScriptFiles() const {
        std::set<std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(folder))
            if (e.is_regular_file() && e.path().extension() == ".vbs")
                files.insert(e.path().lexically_relative(folder).generic_string());
        return files;
    }

    // The manifest lists exactly the script files there are, each with the
    // print of its bytes.
    void ExpectManifestMatchesFiles() const {
        const auto manifest = ReadManifest(folder);
        ASSERT_TRUE(manifest);
        std::set<std::string> listed;
        for (const auto& e : manifest->entries) {
            listed.insert(e.file);
            ASSERT_TRUE(fs::exists(folder / e.file)) << e.file;
            EXPECT_EQ(PrintOf(Local(e.file)), e.print) << e.file;
        }
        EXPECT_EQ(listed, ScriptFiles());
    }

    void SetTagSettings(bool on) {
        Registry registry(commence.RegistryDir());
        auto key = registry.OpenKey(Hive::CurrentUser, std::string(kProgramKey) + "\\Editor", true);
        ASSERT_TRUE(key);
        for (const char* tag : {"Apply Time Tag", "Apply ID Tag", "Apply Checksum Tag"})
            ASSERT_TRUE(key->WriteInteger(tag, on));
    }
};

TEST_F(CliFolderTest, PullWritesEveryScriptAndStatusFindsThemUnchanged) {
    const CliResult pull = Run("pull");
    ASSERT_EQ(pull.exitCode, 0) << pull.err;
    EXPECT_EQ(pull.out, "");
    EXPECT_EQ(pull.err, "") << "no progress line when standard error is not a terminal";

    EXPECT_EQ(Local("Account/Account.vbs"), InCommence("Account", "Account"));
    EXPECT_EQ(Local("Sales Opportunity/Quote %22Express%22.vbs"),
              InCommence("Sales Opportunity", "Quote \"Express\""));
    ExpectManifestMatchesFiles();
    EXPECT_EQ(ScriptFiles().size(), 8u);

    const CliResult status = Run("status");
    EXPECT_EQ(status.exitCode, 0) << status.err;
    const auto lines = LinesOf(status.out);
    EXPECT_EQ(lines.size(), 8u);
    EXPECT_TRUE(lines.contains("unchanged\tSales Opportunity\tQuote \"Express\"")) << status.out;
    EXPECT_TRUE(std::all_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.starts_with("unchanged\t");
    })) << status.out;
}

TEST_F(CliFolderTest, AnEditHereIsPushedAndTheFolderFollowsCommence) {
    SetTagSettings(true);
    Pull();
    const std::string original = InCommence("Account", "Account");
    WriteFileBytes(folder / "Account/Account.vbs", original + "' edited here\r\n");

    const CliResult status = Run("status");
    EXPECT_EQ(status.exitCode, kDifferences);
    EXPECT_TRUE(LinesOf(status.out).contains("changed here\tAccount\tAccount")) << status.out;

    const CliResult dry = Run("push", {"--dry-run"});
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_EQ(dry.out, "would store\tAccount\tAccount\n");
    EXPECT_EQ(InCommence("Account", "Account"), original) << "a dry run stores nothing";

    const CliResult push = Run("push");
    ASSERT_EQ(push.exitCode, 0) << push.err;
    EXPECT_EQ(push.out, "stored\tAccount\tAccount\n");
    const std::string stored = InCommence("Account", "Account");
    EXPECT_NE(stored.find("' edited here\r\n"), std::string::npos);
    EXPECT_NE(stored.find("'#CRC32 "), std::string::npos) << "tag lines as the settings say";
    EXPECT_EQ(Local("Account/Account.vbs"), stored) << "the file holds what Commence holds";
    ExpectManifestMatchesFiles();
    EXPECT_EQ(Run("status").exitCode, 0);
}

TEST_F(CliFolderTest, AChangeInCommenceSinceThePullIsNotOverwritten) {
    Pull();
    const std::string original = Local("Contact/Contact.vbs");
    CheckInElsewhere("Contact", "Contact", original + "' theirs\r\n");
    const std::string theirs = InCommence("Contact", "Contact");
    const std::string mine = original + "' mine\r\n";
    WriteFileBytes(folder / "Contact/Contact.vbs", mine);
    const std::string manifestBefore = Local(std::string(cli::kManifestName));

    const CliResult status = Run("status");
    EXPECT_EQ(status.exitCode, kDifferences);
    EXPECT_TRUE(LinesOf(status.out).contains("changed in both\tContact\tContact")) << status.out;

    for (const std::vector<std::string>& options :
         {std::vector<std::string>{}, std::vector<std::string>{"--dry-run"}}) {
        const CliResult push = Run("push", options);
        EXPECT_EQ(push.exitCode, kConflict) << push.err;
        EXPECT_EQ(push.out, "conflict\tContact\tContact\n");
        EXPECT_NE(push.err.find("changed in Commence since the pull"), std::string::npos)
            << push.err;
    }
    EXPECT_EQ(InCommence("Contact", "Contact"), theirs) << "nothing stored for the conflict";
    EXPECT_EQ(Local(std::string(cli::kManifestName)), manifestBefore);
    EXPECT_EQ(Local("Contact/Contact.vbs"), mine);

    const CliResult forced = Run("push", {"--force"});
    ASSERT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(forced.out, "stored\tContact\tContact\n");
    const std::string now = InCommence("Contact", "Contact");
    EXPECT_NE(now.find("' mine"), std::string::npos);
    EXPECT_EQ(now.find("' theirs"), std::string::npos);
    EXPECT_EQ(Run("status").exitCode, 0);
}

TEST_F(CliFolderTest, StatusNamesEveryKindOfDifferenceAndPushTouchesOnlyItsOwn) {
    Pull();
    const std::string billing = Local("Account/Account Billing.vbs") + "' theirs\r\n";
    CheckInElsewhere("Account", "Account Billing", billing);
    fs::remove(folder / "Employee/Employee.vbs");
    WriteFileBytes(folder / "Account/Extra %22One%22.vbs", "Dim a\r\n");
    WriteFileBytes(folder / "Account/notes.txt", "not a script");
    WriteFileBytes(folder / "Account/100%.vbs", "no name maps to this file");
    {
        // A form pulled once and deleted in Commence since.
        Manifest manifest = *ReadManifest(folder);
        manifest.Set({"Account", "Retired", "Account/Retired.vbs", PrintOf("Dim r\r\n")});
        WriteFileBytes(folder / "Account/Retired.vbs", "Dim r\r\n");
        cli::WriteManifest(folder, manifest);
    }

    const CliResult status = Run("status");
    EXPECT_EQ(status.exitCode, kDifferences) << status.err;
    auto lines = LinesOf(status.out);
    for (const char* expected :
         {"changed in Commence\tAccount\tAccount Billing", "missing here\tEmployee\tEmployee",
          "new here\tAccount\tExtra \"One\"", "gone from Commence\tAccount\tRetired",
          "unchanged\tAccount\tAccount"})
        EXPECT_EQ(lines.erase(expected), 1u) << expected << " in\n" << status.out;
    for (const auto& rest : lines) EXPECT_TRUE(rest.starts_with("unchanged\t")) << rest;

    // The new file was never pulled: storing it could overwrite a script
    // nobody here has seen.
    const CliResult push = Run("push");
    EXPECT_EQ(push.exitCode, kConflict) << push.err;
    EXPECT_EQ(push.out, "conflict\tAccount\tExtra \"One\"\n");
    EXPECT_EQ(InCommence("Account", "Account Billing"), billing);
    EXPECT_FALSE(fs::exists(folder / "Employee/Employee.vbs"));

    // Forced, it goes to Commence, which has no such form.
    const CliResult forced = Run("push", {"--force"});
    EXPECT_EQ(forced.exitCode, kRefused) << forced.err;
    EXPECT_EQ(forced.out, "refused\tAccount\tExtra \"One\"\n");
    EXPECT_NE(forced.err.find("The detail form \"Extra \"One\"\" is invalid"), std::string::npos)
        << forced.err;
}

TEST_F(CliFolderTest, AnInterruptedPullLeavesAManifestOfTheFilesItWrote) {
    // A file where the second category's folder belongs stops the pull there.
    fs::create_directories(folder);
    WriteFileBytes(folder / "Contact", "in the way");
    const CliResult r = Run("pull");
    EXPECT_EQ(r.exitCode, kFailure);
    EXPECT_NE(r.err.find("Contact"), std::string::npos) << r.err;
    ExpectManifestMatchesFiles();
    EXPECT_EQ(ScriptFiles(),
              (std::set<std::string>{"Account/Account.vbs", "Account/Account (Short).vbs",
                                     "Account/Account Billing.vbs"}));

    fs::remove(folder / "Contact");
    Pull();
    ExpectManifestMatchesFiles();
    EXPECT_EQ(Run("status").exitCode, 0);
}

TEST_F(CliFolderTest, PullKeepsAFileChangedHereUnlessForced) {
    Pull();
    const std::string mine = Local("Account/Account.vbs") + "' mine\r\n";
    WriteFileBytes(folder / "Account/Account.vbs", mine);
    CheckInElsewhere("Contact", "Contact", "' theirs\r\n");

    const CliResult kept = Run("pull");
    EXPECT_EQ(kept.exitCode, kConflict);
    EXPECT_NE(kept.err.find("kept Account/Account.vbs"), std::string::npos) << kept.err;
    EXPECT_EQ(Local("Account/Account.vbs"), mine);
    EXPECT_EQ(Local("Contact/Contact.vbs"), "' theirs\r\n") << "the rest is pulled";

    ASSERT_EQ(Run("pull", {"--force"}).exitCode, 0);
    EXPECT_EQ(Local("Account/Account.vbs"), InCommence("Account", "Account"));
    ExpectManifestMatchesFiles();
}

TEST_F(CliFolderTest, ProgressShowsOnATerminalUnlessQuiet) {
#ifdef _WIN32
    GTEST_SKIP() << "the test's terminal is a POSIX pseudo-terminal";
#endif
    const CliResult pull = RunCliOnTerminal({"pull", db, folder.string()});
    ASSERT_EQ(pull.exitCode, 0) << pull.err;
    EXPECT_NE(pull.err.find("\r\x1b[Kpull 1/8 Account/Account"), std::string::npos) << pull.err;
    EXPECT_NE(pull.err.find("\r\x1b[Kpull 8/8 Employee/Employee"), std::string::npos) << pull.err;
    EXPECT_TRUE(pull.err.ends_with("\r\x1b[K")) << "the line is cleared at the end";

    for (const char* command : {"status", "push", "pull"}) {
        const CliResult quiet = RunCliOnTerminal({command, db, folder.string(), "--quiet"});
        EXPECT_EQ(quiet.exitCode, 0) << command << ": " << quiet.err;
        EXPECT_EQ(quiet.err, "") << command;
    }
}

TEST_F(CliFolderTest, AFolderOfAnotherDatabaseOrNoneIsRefused) {
    Pull();
    const fs::path empty = commence.Root() / "empty";
    fs::create_directories(empty);
    const struct {
        const char* label;
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    } cases[] = {
        {"status of a folder never pulled",
         {"status", db, empty.string()},
         kBadArguments,
         "holds no pulled scripts"},
        {"push of a folder never pulled",
         {"push", db, empty.string()},
         kBadArguments,
         "holds no pulled scripts"},
        {"status against another database",
         {"status", std::string(CommenceFixture::kFieldService), folder.string()},
         kBadArguments,
         "holds the scripts of database \"Demo Sales\""},
        {"pull of another database into it",
         {"pull", std::string(CommenceFixture::kFieldService), folder.string()},
         kBadArguments,
         "holds the scripts of database \"Demo Sales\""},
        {"unknown database",
         {"status", "No Such Base", folder.string()},
         kRefused,
         "\"No Such Base\""},
    };
    const std::string manifest = Local(std::string(cli::kManifestName));
    for (const auto& c : cases) {
        const CliResult r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.label << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.label << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.label;
    }
    EXPECT_EQ(Local(std::string(cli::kManifestName)), manifest);
    EXPECT_FALSE(fs::exists(empty / cli::kManifestName));
}

#ifndef _WIN32
// Regression: with a category folder linked outside, pull wrote three files
// outside the folder and push stored an outside file; a script file linked
// outside was stored too; a FIFO as a script file or as the manifest made
// status hang.
TEST_F(CliFolderTest, NothingIsReadOrWrittenThroughALinkOutOfTheFolder) {
    const fs::path outside = commence.Root() / "outside";
    fs::create_directories(outside);
    WriteFileBytes(outside / "Contact.vbs", "' outside\r\n");
    fs::create_directories(folder);
    fs::create_directory_symlink(outside, folder / "Contact");

    const CliResult pull = Run("pull");
    EXPECT_EQ(pull.exitCode, kFailure) << pull.err;
    EXPECT_NE(pull.err.find("Refused " + (folder / "Contact").string()), std::string::npos)
        << pull.err;
    EXPECT_EQ(Local("../outside/Contact.vbs"), "' outside\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(outside), fs::directory_iterator()), 1);

    // Pulled whole, then a script file is linked outside.
    fs::remove(folder / "Contact");
    Pull();
    const std::string theirs = InCommence("Account", "Account");
    fs::remove(folder / "Account/Account.vbs");
    fs::create_symlink(outside / "Contact.vbs", folder / "Account/Account.vbs");
    // A link that stays inside the folder is followed.
    const std::string billing = Local("Account/Account Billing.vbs");
    fs::rename(folder / "Account/Account Billing.vbs", folder / "billing.vbs");
    fs::create_symlink("../billing.vbs", folder / "Account/Account Billing.vbs");
    for (const char* command : {"status", "push"}) {
        const CliResult r = Run(command);
        EXPECT_EQ(r.exitCode, kFailure) << command << ": " << r.err;
        EXPECT_NE(r.err.find("Refused " + (folder / "Account/Account.vbs").string() +
                             ": a symbolic link there leads out of the folder"),
                  std::string::npos)
            << command << ": " << r.err;
    }
    EXPECT_EQ(InCommence("Account", "Account"), theirs);

    fs::remove(folder / "Account/Account.vbs");
    WriteFileBytes(folder / "Account/Account.vbs", theirs);
    EXPECT_EQ(Run("status").exitCode, 0) << "the link inside the folder reads as its file";
    EXPECT_EQ(Local("Account/Account Billing.vbs"), billing);

    // Anything but a regular file is refused at once, never waited on.
    fs::remove(folder / "Account/Account.vbs");
    ASSERT_EQ(::mkfifo((folder / "Account/Account.vbs").c_str(), 0600), 0);
    CliResult fifo = Run("status");
    EXPECT_EQ(fifo.exitCode, kFailure);
    EXPECT_NE(fifo.err.find("Account.vbs: not a regular file"), std::string::npos) << fifo.err;
    fs::remove(folder / "Account/Account.vbs");
    fs::rename(folder / cli::kManifestName, commence.Root() / "manifest");
    ASSERT_EQ(::mkfifo((folder / cli::kManifestName).c_str(), 0600), 0);
    fifo = Run("status");
    EXPECT_EQ(fifo.exitCode, kFailure);
    EXPECT_NE(fifo.err.find(std::string(cli::kManifestName) + ": not a regular file"),
              std::string::npos)
        << fifo.err;
}
#endif

// Regression: after a push killed between its store and its record, the next
// push said "changed in both" for a script that was the same here and in
// Commence.
TEST_F(CliFolderTest, TheSameScriptOnBothSidesIsUnchangedAndRecordedSo) {
    Pull();
    const std::string mine = Local("Contact/Contact.vbs") + "' mine\r\n";
    WriteFileBytes(folder / "Contact/Contact.vbs", mine);
    // What the killed push had stored (tags off: the file as it is).
    CheckInElsewhere("Contact", "Contact", mine);

    const CliResult status = Run("status");
    EXPECT_EQ(status.exitCode, 0) << status.out;
    EXPECT_TRUE(LinesOf(status.out).contains("unchanged\tContact\tContact")) << status.out;
    EXPECT_EQ(ReadManifest(folder)->Find("Contact", "Contact")->print, PrintOf(mine));

    // A later change here is then a change here only.
    const std::string again = mine + "' again\r\n";
    WriteFileBytes(folder / "Contact/Contact.vbs", again);
    const CliResult push = Run("push");
    EXPECT_EQ(push.exitCode, 0) << push.err;
    EXPECT_EQ(push.out, "stored\tContact\tContact\n");
    EXPECT_EQ(InCommence("Contact", "Contact"), again);
}

// Regression: two entries on one file stored that script into both forms,
// swapped file names stored each form with the other's script, and a
// version of "1", [1] or null ended in a raw library error.
TEST_F(CliFolderTest, AManifestThatCannotBeActedOnStopsEverythingWithTwo) {
    Pull();
    const std::string manifestPath = (folder / cli::kManifestName).string();
    const std::string good = Local(std::string(cli::kManifestName));
    WriteFileBytes(folder / "Account/Account.vbs", Local("Account/Account.vbs") + "' mine\r\n");
    WriteFileBytes(folder / "Contact/Contact.vbs", Local("Contact/Contact.vbs") + "' mine\r\n");
    const auto replace = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const struct {
        const char* label;
        std::string manifest;
        std::string message;
    } cases[] = {
        {"two entries on one file", replace("Contact/Contact.vbs", "Account/Account.vbs"),
         "names the same file as entry 1"},
        {"a version that is a text", replace("\"version\": 1", "\"version\": \"1\""),
         "an unknown version"},
        {"a version that is true", replace("\"version\": 1", "\"version\": true"),
         "an unknown version"},
    };
    const std::string account = InCommence("Account", "Account");
    for (const auto& c : cases) {
        WriteFileBytes(folder / cli::kManifestName, c.manifest);
        for (const char* command : {"status", "push", "pull"}) {
            const CliResult r = Run(command);
            EXPECT_EQ(r.exitCode, kBadArguments) << c.label << ", " << command << ": " << r.err;
            EXPECT_NE(r.err.find(manifestPath + " is not a manifest this program can act on: "),
                      std::string::npos)
                << c.label << ", " << command << ": " << r.err;
            EXPECT_NE(r.err.find(c.message), std::string::npos) << c.label << ": " << r.err;
            EXPECT_EQ(r.out, "") << c.label << ", " << command;
        }
    }
    EXPECT_EQ(InCommence("Account", "Account"), account) << "nothing stored";
}

}  // namespace
}  // namespace vk::test
