// pull, status and push of a script folder, through the real tool against
// the real Commence-compatible server.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

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

}  // namespace
}  // namespace vk::test
