#include "platform/launcher.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <thread>

#include "platform/dde.h"
#include "support/test_support.h"

namespace vk {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct SplitCase {
    const char* name;
    std::string line;
    std::set<std::string> programs;  // what exists
    std::optional<CommandLine> expected;
};

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, CutsAsWindowsDoes) {
    const auto& row = GetParam();
    const ProgramLocator locate = [&](std::string_view program) -> std::optional<std::string> {
        if (row.programs.count(std::string(program))) return std::string(program);
        return std::nullopt;
    };
    EXPECT_EQ(SplitCommandLine(row.line, locate), row.expected);
}

const std::string kMyApps = "/opt/My Apps/commence.exe";

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCommandLineTest,
    ::testing::Values(
        SplitCase{"UnquotedPathWithBlanks",
                  kMyApps + " /QUIET /DATABASE=Demo Sales",
                  {kMyApps},
                  CommandLine{kMyApps, {"/QUIET", "/DATABASE=Demo", "Sales"}}},
        SplitCase{"ShortestExistingPrefixWins",
                  kMyApps + " /QUIET",
                  {"/opt/My", kMyApps},
                  CommandLine{"/opt/My", {"Apps/commence.exe", "/QUIET"}}},
        SplitCase{"WholeLineIsTheProgram", kMyApps, {kMyApps}, CommandLine{kMyApps, {}}},
        SplitCase{"BackslashesBecomeSlashes",
                  "C:\\Program Files\\Commence\\commence.exe /QUIET",
                  {"C:/Program Files/Commence/commence.exe"},
                  CommandLine{"C:/Program Files/Commence/commence.exe", {"/QUIET"}}},
        SplitCase{"FolderJoinedWithBackslash",
                  "/opt/commence\\commence.exe /QUIET /DATABASE=Demo",
                  {"/opt/commence/commence.exe"},
                  CommandLine{"/opt/commence/commence.exe", {"/QUIET", "/DATABASE=Demo"}}},
        SplitCase{"QuotedProgramIsTakenWhole",
                  "\"" + kMyApps + "\" /QUIET",
                  {"/opt/My", kMyApps},
                  CommandLine{kMyApps, {"/QUIET"}}},
        SplitCase{"BareNameIsLocated",
                  "commence.exe /QUIET /DATABASE=Demo",
                  {"commence.exe"},
                  CommandLine{"commence.exe", {"/QUIET", "/DATABASE=Demo"}}},
        SplitCase{"QuotedArguments",
                  R"(prog "a b" c""d "say ""hi""" \"x\" a\\b)",
                  {"prog"},
                  CommandLine{"prog", {"a b", "cd", R"(say "hi")", R"("x")", R"(a\\b)"}}},
        SplitCase{"BackslashesBeforeQuotes",
                  R"(prog a\\\\"b c" d\\\"e)",
                  {"prog"},
                  CommandLine{"prog", {R"(a\\b c)", R"(d\"e)"}}},
        SplitCase{"EmptyQuotedArgument", R"(prog "" x)", {"prog"}, CommandLine{"prog", {"", "x"}}},
        SplitCase{
            "BlanksAndTabsAround", "  prog \t a\tb  ", {"prog"}, CommandLine{"prog", {"a", "b"}}},
        SplitCase{"NoPrefixReachesPastAQuote",
                  "/opt/My Apps/x \"/opt/My Apps/y\"",
                  {"/opt/My Apps/x", "/opt/My Apps/x \"/opt/My Apps/y\""},
                  CommandLine{"/opt/My Apps/x", {"/opt/My Apps/y"}}},
        SplitCase{"NothingExists", kMyApps + " /QUIET", {}, std::nullopt},
        SplitCase{"EmptyLine", "   ", {""}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LocateProgramTest, FindsOnlyExecutableFiles) {
    test::TempDir dir;
    const fs::path tool = dir.path() / "tool";
    const fs::path data = dir.path() / "data";
    test::WriteFileBytes(tool, "#!/bin/sh\n");
    test::WriteFileBytes(data, "");
    ASSERT_EQ(::chmod(tool.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(data.c_str(), 0644), 0);
    fs::create_directory(dir.path() / "folder");
    test::ScopedEnv path("PATH", "/nonexistent::" + dir.path().string());

    EXPECT_EQ(LocateProgram("tool"), tool.string());
    EXPECT_EQ(LocateProgram(tool.string()), tool.string());
    EXPECT_EQ(LocateProgram("data"), std::nullopt);
    EXPECT_EQ(LocateProgram("folder"), std::nullopt);
    EXPECT_EQ(LocateProgram("missing"), std::nullopt);
    EXPECT_EQ(LocateProgram(""), std::nullopt);
}

// Kills a started process should the test end early.
struct KillOnExit {
    int pid = 0;
    ~KillOnExit() {
        if (pid > 0) ::kill(pid, SIGKILL);
    }
};

// Whether the process is gone for good: exited and collected. A zombie still
// counts as there.
bool Vanishes(int pid) {
    for (int i = 0; i < 500; ++i) {
        if (::kill(pid, 0) != 0 && errno == ESRCH) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

TEST(LaunchTest, StartsProgramWithBlanksInPathAndWaitsUntilReady) {
    test::TempDir dir;
    test::ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path().string());
    fs::create_directory(dir.path() / "My Apps");
    fs::create_symlink(fs::path(VK_BIN_DIR) / "dde_test_server",
                       dir.path() / "My Apps" / "vk server");

    LaunchOptions options;
    options.ready = [] {
        DdeClient probe;
        return probe.Connect("VkTest", "Demo Sales");
    };
    const std::string line =
        (dir.path() / "My Apps").string() + "\\vk server /QUIET /DATABASE=Demo Sales";
    const LaunchResult result = Launch(line, options);
    KillOnExit guard{result.processId};
    ASSERT_TRUE(result.started);
    ASSERT_TRUE(result.ready);
    ASSERT_GT(result.processId, 0);
    // Its own session: closing the terminal or the editor leaves it running.
    EXPECT_EQ(::getsid(result.processId), result.processId);

    DdeClient client;
    ASSERT_TRUE(client.Connect("VkTest", "Demo Sales"));
    EXPECT_EQ(client.Request("pid"), std::to_string(result.processId));
    EXPECT_EQ(client.Request("args"), "/QUIET\n/DATABASE=Demo\nSales");

    ASSERT_TRUE(client.Execute("stop"));
    EXPECT_TRUE(Vanishes(result.processId)) << "the program's exit was not collected";
    guard.pid = 0;
}

TEST(LaunchTest, ReportsWhetherTheProgramStarted) {
    const LaunchResult missing = Launch("/nonexistent/commence.exe /QUIET");
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.processId, 0);

    LaunchOptions never;
    never.ready = [] { return false; };
    const LaunchResult failing = Launch("false", never);
    EXPECT_FALSE(failing.started) << "a program that failed before it was ready";
    EXPECT_FALSE(failing.ready);

    const LaunchResult quick = Launch("true /QUIET");
    EXPECT_TRUE(quick.started);
    EXPECT_TRUE(Vanishes(quick.processId));

    LaunchOptions bounded = never;
    bounded.readyBound = 100ms;
    const LaunchResult slow = Launch("sleep 30", bounded);
    KillOnExit guard{slow.processId};
    EXPECT_TRUE(slow.started) << "running past the bound still counts as started";
    EXPECT_FALSE(slow.ready);
    ASSERT_GT(slow.processId, 0);
    ::kill(slow.processId, SIGKILL);
    EXPECT_TRUE(Vanishes(slow.processId));
    guard.pid = 0;
}

TEST(LaunchTest, ProgramHoldsNoneOfTheStartersFiles) {
    // The starter writes to a pipe, as "vellumkit-cli databases | less" does,
    // and has one more descriptor open that is not close-on-exec.
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const int savedStdout = ::dup(STDOUT_FILENO);
    ASSERT_GE(savedStdout, 0);
    ASSERT_GE(::dup2(pipeFds[1], STDOUT_FILENO), 0);
    const LaunchResult result = Launch("sleep 30");
    ::dup2(savedStdout, STDOUT_FILENO);
    ::close(savedStdout);
    ::close(pipeFds[1]);
    KillOnExit guard{result.processId};
    ASSERT_TRUE(result.started);

    // None of the program's descriptors is the starter's pipe. (The program
    // may have files of its own open by now, so only the pipe is looked for.)
    struct stat pipeInfo {};
    ASSERT_EQ(::fstat(pipeFds[0], &pipeInfo), 0);
    const std::string pipeName = "pipe:[" + std::to_string(pipeInfo.st_ino) + "]";
    for (const auto& entry :
         fs::directory_iterator("/proc/" + std::to_string(result.processId) + "/fd")) {
        std::error_code gone;
        EXPECT_NE(fs::read_symlink(entry.path(), gone).string(), pipeName) << entry.path();
    }

    // With the starter's end closed the reader sees the end of the output at
    // once, though the program still runs.
    pollfd reader{pipeFds[0], POLLIN, 0};
    ASSERT_EQ(::poll(&reader, 1, 5000), 1);
    char byte;
    EXPECT_EQ(::read(pipeFds[0], &byte, 1), 0);
    ::close(pipeFds[0]);
    EXPECT_EQ(::kill(result.processId, 0), 0);

    ::kill(result.processId, SIGKILL);
    EXPECT_TRUE(Vanishes(result.processId));
    guard.pid = 0;
}

}  // namespace
}  // namespace vk
