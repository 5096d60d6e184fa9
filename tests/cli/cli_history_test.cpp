// The local history through the real tool: check-ins and pushes against the
// real Commence-compatible server are kept, and `history` lists, shows and
// compares them. The fixture points the user's data folder at its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "cli_runner.h"
#include "document/script_checksum.h"
#include "support/commence_fixture.h"
#include "support/test_support.h"

namespace vk::test {
namespace {

namespace fs = std::filesystem;

constexpr int kBadArguments = 2;

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class CliHistoryTest : public ::testing::Test {
protected:
    CommenceFixture commence;
    const std::string db{CommenceFixture::kDemoSales};
#ifdef _WIN32
    const fs::path historyFolder = commence.UserDataDir() / "Vellumkit";
#else
    const fs::path historyFolder = commence.UserDataDir() / "vellumkit";
#endif

    void SetUp() override { commence.StartServer(db); }

    std::string InCommence(const std::string& category, const std::string& form) {
        const CliResult r = RunCli({"checkout", db, category, form});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }

    CliResult CheckIn(const std::string& category, const std::string& form,
                      const std::string& text) {
        const fs::path file = commence.Root() / "script.vbs";
        WriteFileBytes(file, text);
        return RunCli({"checkin", db, category, form, file.string()});
    }

    // The listing line of version `number`, `text` checked in:
    // NUMBER, TIME (YYYY-MM-DD HH:MM:SS), SIZE, CHECKSUM, SOURCE.
    static void ExpectListingLine(const std::string& line, int number, const std::string& text) {
        std::vector<std::string> fields;
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
        ASSERT_EQ(fields.size(), 5u) << line;
        EXPECT_EQ(fields[0], std::to_string(number)) << line;
        const std::string shape = "0000-00-00 00:00:00";
        EXPECT_EQ(fields[1].size(), shape.size()) << line;
        for (std::size_t i = 0; i < std::min(shape.size(), fields[1].size()); ++i)
            EXPECT_TRUE(shape[i] == '0'
                            ? std::isdigit(static_cast<unsigned char>(fields[1][i])) != 0
                            : fields[1][i] == shape[i])
                << line;
        const ScriptPrint print = PrintOf(text);
        EXPECT_EQ(fields[2], std::to_string(print.size)) << line;
        EXPECT_EQ(fields[3], FormatChecksum(print.checksum)) << line;
        EXPECT_EQ(fields[4], "checked in") << line;
    }
};

TEST_F(CliHistoryTest, EveryCheckInIsKeptAndCanBeListedShownAndCompared) {
    ASSERT_EQ(CheckIn("Account", "Account", "Dim a\r\na = 1\r\n").exitCode, 0);
    const std::string first = InCommence("Account", "Account");
    ASSERT_EQ(CheckIn("Account", "Account", "Dim a\r\na = 2\r\n").exitCode, 0);
    const std::string second = InCommence("Account", "Account");

    const CliResult list = RunCli({"history", db, "Account", "Account"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    const auto lines = LinesOf(list.out);
    ASSERT_EQ(lines.size(), 2u) << list.out;
    ExpectListingLine(lines[0], 1, first);
    ExpectListingLine(lines[1], 2, second);
    // Names in any case, as Commence takes them.
    EXPECT_EQ(RunCli({"history", "demo sales", "ACCOUNT", "account"}).out, list.out);

    const CliResult show = RunCli({"history", db, "Account", "Account", "--show", "1"});
    EXPECT_EQ(show.exitCode, 0) << show.err;
    EXPECT_EQ(show.out, first) << "the version as stored, tag lines and all, byte for byte";

    const CliResult diff = RunCli({"history", db, "Account", "Account", "--diff", "1", "2"});
    EXPECT_EQ(diff.exitCode, 0) << diff.err;
    EXPECT_EQ(diff.out.rfind("--- version 1\t", 0), 0u) << diff.out;
    EXPECT_NE(diff.out.find("\n+++ version 2\t"), std::string::npos) << diff.out;
    EXPECT_NE(diff.out.find("\n-a = 1\n+a = 2\n"), std::string::npos) << diff.out;

    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--show", "3"}, std::vector<std::string>{"--diff", "1", "7"}}) {
        std::vector<std::string> args = {"history", db, "Account", "Account"};
        args.insert(args.end(), wrong.begin(), wrong.end());
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, kBadArguments) << wrong[0];
        EXPECT_NE(r.err.find("holds no version"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << wrong[0];
    }
    const CliResult none = RunCli({"history", db, "Account", "Nothing Kept"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("holds no version of"), std::string::npos) << none.err;
}

TEST_F(CliHistoryTest, PushedScriptsAreKeptAndRefusedOnesAreNot) {
    const fs::path folder = commence.Root() / "scripts";
    ASSERT_EQ(RunCli({"pull", db, folder.string()}).exitCode, 0);
    WriteFileBytes(folder / "Account" / "Account.vbs", "Dim pushed\r\n");
    const CliResult push = RunCli({"push", db, folder.string()});
    ASSERT_EQ(push.exitCode, 0) << push.err;
    const std::string stored = InCommence("Account", "Account");

    const auto lines = LinesOf(RunCli({"history", db, "Account", "Account"}).out);
    ASSERT_EQ(lines.size(), 1u);
    ExpectListingLine(lines[0], 1, stored);

    // A check-in Commence refuses (no such form) stores nothing and keeps nothing.
    EXPECT_NE(CheckIn("Account", "No Such Form", "Dim x\r\n").exitCode, 0);
    EXPECT_EQ(RunCli({"history", db, "Account", "No Such Form"}).out, "");
}

TEST_F(CliHistoryTest, AHistoryThatCannotBeKeptIsAWarningAndTheScriptIsStored) {
    // The history's folder cannot be made: a file stands in its place.
    fs::create_directories(historyFolder.parent_path());
    WriteFileBytes(historyFolder, "not a folder");
    const CliResult r = CheckIn("Account", "Account", "Dim stored\r\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("vellumkit-cli: warning: The local history could not keep the script "
                         "checked in: "),
              std::string::npos)
        << r.err;
    EXPECT_NE(InCommence("Account", "Account").find("Dim stored\r\n"), std::string::npos);
}

TEST_F(CliHistoryTest, ADamagedHistoryIsReportedAndANewOneStarted) {
    fs::create_directories(historyFolder);
    WriteFileBytes(historyFolder / "history.sqlite", std::string(4096, '?'));
    const CliResult r = CheckIn("Account", "Account", "Dim fresh\r\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("could not be read"), std::string::npos);
    EXPECT_NE(r.err.find("It was moved to " + (historyFolder / "history.sqlite.damaged-").string()),
              std::string::npos)
        << r.err;
    EXPECT_EQ(LinesOf(RunCli({"history", db, "Account", "Account"}).out).size(), 1u);
}

}  // namespace
}  // namespace vk::test
