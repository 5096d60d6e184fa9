// The tool against the real Commence-compatible server, over real sockets:
// the registry and DDE folder are the fixture's, inherited by the tool.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

#include "cli_runner.h"
#include "commence/queries.h"
#include "document/checksum_check.h"
#include "document/script_checksum.h"
#include "document/script_lines.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "settings/settings.h"
#include "support/commence_fixture.h"
#include "support/scripted_commence.h"
#include "support/test_process.h"
#include "support/test_support.h"

namespace vk::test {
namespace {

using Lines = std::vector<std::string>;

constexpr int kUnreachable = 3;
constexpr int kRefused = 4;

class CliCommenceTest : public ::testing::Test {
protected:
    CommenceFixture commence;
    const std::string db{CommenceFixture::kDemoSales};

    // As text: an argument for the tool.
    std::string File(const std::string& name) const { return (commence.Root() / name).string(); }

    void SetTagSettings(bool time, bool id, bool checksum) {
        Registry registry(commence.RegistryDir());
        auto key = registry.OpenKey(Hive::CurrentUser, std::string(kProgramKey) + "\\Editor", true);
        ASSERT_TRUE(key);
        ASSERT_TRUE(key->WriteInteger("Apply Time Tag", time));
        ASSERT_TRUE(key->WriteInteger("Apply ID Tag", id));
        ASSERT_TRUE(key->WriteInteger("Apply Checksum Tag", checksum));
    }

    // Checks a form out to a file and returns its bytes.
    std::string CheckOut(const std::string& database, const std::string& category,
                         const std::string& form, const std::string& name) {
        const CliResult r = RunCli({"checkout", database, category, form, "-o", File(name)});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadFileBytes(File(name));
    }
};

// The script's first line, then the three fresh tags, then the rest.
void ExpectTaggedCopy(const std::string& tagged, const std::string& original,
                      const std::string& categoryTag, const std::string& userName) {
    const Lines lines = SplitScriptText(tagged);
    const Lines before = SplitScriptText(original);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(tagged, JoinScriptLines(lines)) << "a checked-in script is canonical";
    EXPECT_EQ(lines[0], before.at(0));
    EXPECT_EQ(lines[1].rfind("'#CRC32 ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], categoryTag);
    const std::string savedEnd = " on \\\\" + Machine::ComputerName() + " by " + userName;
    EXPECT_EQ(lines[3].rfind("'#Saved ", 0), 0u) << lines[3];
    EXPECT_TRUE(lines[3].size() > savedEnd.size() &&
                lines[3].compare(lines[3].size() - savedEnd.size(), savedEnd.size(), savedEnd) == 0)
        << lines[3];
    Lines rest = lines;
    rest.erase(rest.begin() + 1, rest.begin() + 4);
    EXPECT_EQ(rest, before);
    EXPECT_EQ(VerifyChecksum(tagged).outcome, ChecksumVerdict::Outcome::Correct);
}

TEST_F(CliCommenceTest, CheckOutCheckInCheckOutAddsFreshTags) {
    SetTagSettings(true, true, true);
    commence.StartServer(db);

    const std::string original = CheckOut(db, "Account", "Account", "first.vbs");
    ASSERT_EQ(original.rfind("Option Explicit\r\n", 0), 0u);
    const CliResult toStdout = RunCli({"checkout", db, "Account", "Account"});
    EXPECT_EQ(toStdout.exitCode, 0);
    EXPECT_EQ(toStdout.out, original);

    const CliResult in = RunCli({"checkin", db, "Account", "Account", File("first.vbs")});
    ASSERT_EQ(in.exitCode, 0) << in.err;
    EXPECT_EQ(in.out, "");
    EXPECT_EQ(ReadFileBytes(File("first.vbs")), original) << "the given file is left alone";

    const std::string tagged = CheckOut(db, "Account", "Account", "second.vbs");
    ExpectTaggedCopy(tagged, original, "'#Category Account, Account", "Dana Whitfield");

    // A second round rewrites the tags in place.
    ASSERT_EQ(RunCli({"checkin", db, "Account", "Account", File("second.vbs")}).exitCode, 0);
    const std::string again = CheckOut(db, "Account", "Account", "third.vbs");
    EXPECT_EQ(SplitScriptText(again).size(), SplitScriptText(tagged).size());
    EXPECT_EQ(VerifyChecksum(again).outcome, ChecksumVerdict::Outcome::Correct);

    // The checksum command covers the whole text, its own tag included.
    const CliResult sum = RunCli({"checksum", File("third.vbs")});
    EXPECT_EQ(sum.out, FormatChecksum(ScriptChecksum(again)) + "\n");
}

TEST_F(CliCommenceTest, WithoutACommenceUserTheLoginNameIsSaved) {
    SetTagSettings(true, true, true);
    const std::string fs(CommenceFixture::kFieldService);
    commence.StartServer(fs);
    const std::string original = CheckOut(fs, "Customer", "Customer", "first.vbs");
    ASSERT_EQ(RunCli({"checkin", fs, "Customer", "Customer", File("first.vbs")}).exitCode, 0);
    ExpectTaggedCopy(CheckOut(fs, "Customer", "Customer", "second.vbs"), original,
                     "'#Category Customer, Customer", ReadMachineNames().userName);
}

TEST_F(CliCommenceTest, TagsOffStoresTheCanonicalTextOnly) {
    SetTagSettings(false, false, false);
    commence.StartServer(db);
    WriteFileBytes(File("plain.vbs"), "' note\r\nDim a");
    ASSERT_EQ(RunCli({"checkin", db, "Account", "Account Billing", File("plain.vbs")}).exitCode, 0);
    EXPECT_EQ(CheckOut(db, "Account", "Account Billing", "back.vbs"), "' note\r\nDim a\r\n");
}

TEST_F(CliCommenceTest, RefusedCheckInsExitWithFour) {
    commence.StartServer(db);
    WriteFileBytes(File("s.vbs"), "Dim a\r\n");
    const struct {
        const char* name;
        std::string category, form, message;
    } cases[] = {
        {"unknown form", "Account", "No Such Form",
         "There was an error saving the script.\nThe detail form \"No Such Form\" is invalid.\n"},
        {"unknown category", "Nowhere", "Account",
         "There was an error saving the script.\nThe category \"Nowhere\" is invalid.\n"},
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli({"checkin", db, c.category, c.form, File("s.vbs")});
        EXPECT_EQ(r.exitCode, kRefused) << c.name;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    }
}

TEST_F(CliCommenceTest, StoppedCommenceExitsWithThree) {
    commence.StartServer(db);
    ASSERT_EQ(RunCli({"categories", db}).exitCode, 0);
    commence.StopServers();
    {
        // Point the program folder where no Commence lives, so it cannot be
        // started again either.
        Registry registry(commence.RegistryDir());
        const auto versions = registry.OpenKey(Hive::CurrentUser, "Software\\Commence\\Commence");
        ASSERT_TRUE(versions);
        for (const auto& version : versions->SubkeyNames()) {
            auto settings = registry.OpenKey(
                Hive::CurrentUser, "Software\\Commence\\Commence\\" + version + "\\Settings");
            ASSERT_TRUE(settings);
            ASSERT_TRUE(settings->WriteString("Program", File("gone")));
        }
    }
    WriteFileBytes(File("s.vbs"), "Dim a\r\n");
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {"categories", {"categories", db}, "The database Demo Sales is not ready"},
        {"forms", {"forms", db, "Account"}, "The database Demo Sales is not ready"},
        // The names are checked against Commence's lists first.
        {"checkout",
         {"checkout", db, "Account", "Account"},
         "The database Demo Sales is not ready"},
        {"checkin",
         {"checkin", db, "Account", "Account", File("s.vbs")},
         "Error accessing Demo Sales"},
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, kUnreachable) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    }
}

// Regression: a Commence killed while it wrote a check-out gave the half it
// had written as the script, with exit 0, to checkout and to pull alike.
TEST_F(CliCommenceTest, ACheckOutCutShortByAKilledCommenceExitsWithThreeAndKeepsTheFiles) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in Commence that dies in a check-out is a POSIX program";
#endif
    const std::string folder = File("pulled");
    std::filesystem::create_directories(commence.Root() / "pulled" / "Account");
    WriteFileBytes(File("pulled/Account/Account.vbs"), "' the old copy\r\n");
    WriteFileBytes(File("out.vbs"), "' the old copy\r\n");
    const std::vector<std::string> commands[] = {
        {"checkout", db, "Account", "Account", "-o", File("out.vbs")},
        {"pull", db, folder},
    };
    for (const auto& args : commands) {
        commence.StartCommenceKilledMidCheckOut(db);
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, kUnreachable) << args[0] << ": " << r.err;
        EXPECT_NE(r.err.find("Error accessing Demo Sales: Commence stopped answering"),
                  std::string::npos)
            << args[0] << ": " << r.err;
    }
    EXPECT_EQ(ReadFileBytes(File("out.vbs")), "' the old copy\r\n");
    EXPECT_EQ(ReadFileBytes(File("pulled/Account/Account.vbs")), "' the old copy\r\n");
}

#ifndef _WIN32
// Regression: run as root, `-o /dev/full` replaced the device with a file,
// and a link given with -o was replaced by a file.
TEST_F(CliCommenceTest, CheckOutWritesThroughALinkAndRefusesADeviceOrFifo) {
    commence.StartServer(db);
    const std::string script = CheckOut(db, "Account", "Account", "first.vbs");
    WriteFileBytes(File("real.vbs"), "old");
    std::filesystem::create_symlink(File("real.vbs"), File("link.vbs"));
    CliResult r = RunCli({"checkout", db, "Account", "Account", "-o", File("link.vbs")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::filesystem::is_symlink(File("link.vbs")));
    EXPECT_EQ(ReadFileBytes(File("real.vbs")), script);

    ASSERT_EQ(::mkfifo(File("fifo").c_str(), 0600), 0);
    // A device of the test's own, so that a failure replaces no real one.
    const bool device = ::mknod(File("null").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    for (const std::string& target : {File("fifo"), File(device ? "null" : "fifo")}) {
        r = RunCli({"checkout", db, "Account", "Account", "-o", target});
        EXPECT_EQ(r.exitCode, 1) << target;
        EXPECT_NE(r.err.find("Cannot write " + target + ": not a regular file"), std::string::npos)
            << r.err;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(File("fifo")));
    if (device) {
        EXPECT_TRUE(std::filesystem::is_character_file(File("null")));
    }
}

// Regression: SIGHUP (a closed terminal) left the checked-out script in the
// temp folder for good. Here the run is ended while Commence writes the
// script, with the temporary file there.
TEST_F(CliCommenceTest, ASignalWhileCommenceWritesLeavesNoTemporaryFile) {
    for (const int signal : {SIGHUP, SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        const TempDir temp;
        const ScopedTempFolder tmpdir(temp.path());
        std::promise<void> release;
        const std::shared_future<void> released = release.get_future().share();
        std::atomic<bool> writing{false};
        {
            ScriptedCommence scripted(
                db,
                [](std::string_view item) -> std::optional<std::string> {
                    if (item == "[GetCategoryNames()]" || item == "[GetFormNames(\"Account\")]")
                        return "Account";
                    return std::nullopt;
                },
                [&](std::string_view) {
                    writing = true;
                    released.wait();
                });
            // Released on every path before the server goes, so that its thread
            // can end.
            const std::unique_ptr<std::promise<void>, void (*)(std::promise<void>*)> releaseAtEnd(
                &release, [](std::promise<void>* p) { p->set_value(); });
            const ProcessId cli =
                StartProgram(BuiltProgram("vellumkit-cli"),
                             {"checkout", db, "Account", "Account", "-o", File("out.vbs")});
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!writing && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ASSERT_TRUE(writing);
            ASSERT_FALSE(std::filesystem::is_empty(temp.path())) << "the script's file is there";
            ASSERT_EQ(::kill(cli, signal), 0);
            EXPECT_EQ(WaitForExit(cli, std::chrono::seconds(30)), 128 + signal);
        }
        EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
        EXPECT_FALSE(std::filesystem::exists(File("out.vbs")));
    }
}

// Regression: names holding ESC or TAB went to the terminal raw, where they
// act; on a pipe and in JSON they stay as they are.
TEST_F(CliCommenceTest, ControlCharactersInNamesAreEscapedOnATerminalOnly) {
    const std::string name = "Acc\x1b[31mount\tX";
    ScriptedCommence scripted(db, [&](std::string_view item) -> std::optional<std::string> {
        if (item == "[GetCategoryNames()]") return name + "\r\nPlain";
        return std::nullopt;
    });
    const CliResult terminal = RunCliOnTerminal({"categories", db}, true);
    EXPECT_EQ(terminal.exitCode, 0) << terminal.err;
    EXPECT_EQ(terminal.err, "Acc\\x1B[31mount\\tX\nPlain\n");
    const CliResult pipe = RunCli({"categories", db});
    EXPECT_EQ(pipe.out, name + "\nPlain\n");
    const CliResult json = RunCliOnTerminal({"categories", db, "--json"}, true);
    EXPECT_EQ(json.err, "[\"Acc\\u001b[31mount\\tX\",\"Plain\"]\n");
}
#endif

// Regression: an unknown name once gave exit 0 with an empty script (and
// emptied the -o file) or an empty list.
TEST_F(CliCommenceTest, UnknownNamesExitWithFourAndWriteNothing) {
    const struct {
        const char* label;
        std::vector<std::string> args;
        std::string named;
    } cases[] = {
        {"checkout, unknown form", {"checkout", db, "Account", "No Such Form"}, "No Such Form"},
        {"checkout, unknown category", {"checkout", db, "Nope", "Account"}, "Nope"},
        {"checkout, unknown database",
         {"checkout", "No Such Base", "Account", "Account"},
         "No Such Base"},
        {"forms, unknown category", {"forms", db, "Nope"}, "Nope"},
        {"categories, unknown database", {"categories", "No Such Base"}, "No Such Base"},
    };
    const std::filesystem::path kept = File("kept.vbs");
    for (const auto& c : cases) {
        WriteFileBytes(kept, "keep me\r\n");
        std::vector<std::string> args = c.args;
        if (args[0] == "checkout") args.insert(args.end(), {"-o", kept.string()});
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, kRefused) << c.label << ": " << r.err;
        EXPECT_NE(r.err.find("\"" + c.named + "\""), std::string::npos) << c.label << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.label;
        EXPECT_EQ(ReadFileBytes(kept), "keep me\r\n") << c.label;
    }
    EXPECT_EQ(RunCli({"checkout", db, "account", "ACCOUNT", "-o", kept.string()}).exitCode, 0)
        << "names are taken in any case, as Commence takes them";
}

TEST_F(CliCommenceTest, FieldsListKindsAndConnectionsAsTextAndJson) {
    commence.StartServer(db);
    const CliResult text = RunCli({"fields", db, "Contact"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out,
              "field\tcontactKey\tName\t5\n"
              "field\tFirst Name\tText\t0\n"
              "field\tLast Name\tText\t0\n"
              "field\tPhone\tTelephone\t3\n"
              "field\tE-mail\tE-mail\t13\n"
              "field\tBirthday\tDate\t2\n"
              "field\tDo Not Call\tCheckbox\t4\n"
              "field\tNotes\tText\t0\n"
              // Names with blanks on both sides of the cut.
              "connection\tRelates to\tAccount\n"
              "connection\tPrimary Contact\tSales Opportunity\n"
              "connection\tRelates to\tActivity Log\n");

    const CliResult json = RunCli({"fields", db, "Account", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto parsed = nlohmann::json::parse(json.out);
    EXPECT_EQ(parsed["fields"][0],
              (nlohmann::json{{"name", "accountKey"}, {"kind", "Name"}, {"code", 5}}));
    const auto& fields = parsed["fields"];
    EXPECT_TRUE(std::any_of(fields.begin(), fields.end(), [](const nlohmann::json& f) {
        return f["name"] == "Industries" && f["kind"] == "Multiple selection" && f["code"] == 15;
    })) << json.out;
    EXPECT_EQ(parsed["connections"][2],
              (nlohmann::json{{"name", "For Account"}, {"category", "Sales Opportunity"}}));

    const CliResult unknown = RunCli({"fields", db, "Nowhere"});
    EXPECT_EQ(unknown.exitCode, kRefused);
    EXPECT_NE(unknown.err.find("\"Nowhere\""), std::string::npos) << unknown.err;
}

TEST_F(CliCommenceTest, ListingsAsJsonAreUtf8Arrays) {
    commence.StartServer(db);
    const struct {
        const char* name;
        std::vector<std::string> args;
        nlohmann::json expected;
    } cases[] = {
        {"categories",
         {"categories", db, "--json"},
         {"Account", "Contact", "Sales Opportunity", "Employee", "Activity Log"}},
        {"forms",
         {"forms", db, "Sales Opportunity", "--json"},
         {"Opportunity", "Quote \"Express\""}},
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli(c.args);
        ASSERT_EQ(r.exitCode, 0) << c.name << ": " << r.err;
        EXPECT_EQ(nlohmann::json::parse(r.out), c.expected) << c.name << ": " << r.out;
    }
}

}  // namespace
}  // namespace vk::test
