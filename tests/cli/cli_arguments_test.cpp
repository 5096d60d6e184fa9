#include <gtest/gtest.h>

#include "cli_runner.h"

namespace vk::test {
namespace {

constexpr int kBadArguments = 2;

TEST(CliArgumentsTest, WrongCommandLinesAreRefusedWithExitTwo) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string problem;
    } cases[] = {
        {"no command", {}, "no command given"},
        {"unknown command", {"publish", "x"}, "unknown command 'publish'"},
        {"too few operands", {"forms", "Demo"}, "'forms' takes 2 operands, 1 given"},
        {"too many operands", {"checksum", "a", "b"}, "'checksum' takes 1 operand, 2 given"},
        {"unknown option", {"checkout", "Demo", "C", "F", "-x"}, "unknown option '-x'"},
        {"-o without a file", {"checkout", "Demo", "C", "F", "-o"}, "-o needs a file name"},
        {"-o twice", {"checkout", "D", "C", "F", "-o", "a", "-o", "b"}, "-o given twice"},
        {"-o on another command", {"checksum", "f", "-o", "x"}, "unknown option '-o'"},
        {"colour in two formats",
         {"colour", "--rtf", "--no-colour", "f"},
         "--rtf, --colour and --no-colour exclude each other"},
        {"--force on status", {"status", "D", "dir", "--force"}, "unknown option '--force'"},
        {"--json on checkout", {"checkout", "D", "C", "F", "--json"}, "unknown option '--json'"},
        {"push without a folder", {"push", "D"}, "'push' takes 2 operands, 1 given"},
        {"--show without a number",
         {"history", "D", "C", "F", "--show"},
         "--show needs a version number"},
        {"--show 0", {"history", "D", "C", "F", "--show", "0"}, "'0' is not a version number"},
        {"--diff with one number",
         {"history", "D", "C", "F", "--diff", "1"},
         "--diff needs two version numbers"},
        {"--diff with a word",
         {"history", "D", "C", "F", "--diff", "1", "x2"},
         "'x2' is not a version number"},
        {"--show and --diff",
         {"history", "D", "C", "F", "--show", "1", "--diff", "1", "2"},
         "--show and --diff exclude each other"},
        {"--show on checkout",
         {"checkout", "D", "C", "F", "--show", "1"},
         "unknown option '--show'"},
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, kBadArguments) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_NE(r.err.find(c.problem), std::string::npos) << c.name << ": " << r.err;
    }
}

TEST(CliArgumentsTest, EveryCommandHasHelpWithTheExitCodes) {
    for (const std::string command :
         {"databases", "categories", "forms", "fields", "checkout", "checkin", "pull", "status",
          "push", "history", "checksum", "colour"}) {
        // Help wins over missing or extra operands.
        const CliResult r = RunCli({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_EQ(r.out.rfind("Usage: vellumkit-cli " + command, 0), 0u) << r.out;
        for (const char* code : {"0  success", "2  bad arguments", "3  Commence not reachable",
                                 "4  refused by Commence", "5  conflict", "6  differences found"})
            EXPECT_NE(r.out.find(code), std::string::npos) << command << " lacks " << code;
        EXPECT_EQ(r.err, "") << command;
    }
    const CliResult overview = RunCli({"--help"});
    EXPECT_EQ(overview.exitCode, 0);
    for (const char* command : {"databases", "fields", "checkout", "checkin", "pull", "status",
                                "push", "history", "colour"})
        EXPECT_NE(overview.out.find(std::string("  ") + command), std::string::npos) << command;
}

TEST(CliArgumentsTest, DoubleDashLetsAnOperandStartWithADash) {
    // The operand is read as a file name, not as an option: the failure is
    // the missing file, not the arguments.
    const CliResult r = RunCli({"checksum", "--", "-no-such-file"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Cannot read -no-such-file"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vk::test
