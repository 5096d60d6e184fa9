#include <gtest/gtest.h>

#include "cli_runner.h"
#include "support/test_support.h"

namespace vk::test {
namespace {

// One script with every state, a broken declaration and an unterminated one,
// its lines ending in CR LF, LF and a lone CR, the last without a line end.
constexpr const char* kScript =
    "' Outline fixture\n"
    "Sub Form_OnLoad()\r\n"
    "  x = 1\r"
    "End Sub\r\n"
    "Private Function Calc(a)\r\n"
    "End Function\r\n"
    "Sub \r\n"
    "Sub Broken()\n"
    "  y = 2\n"
    "Sub Last()\r\n"
    "  z = 3\r\n"
    "End Sub";

TEST(CliOutlineTest, PrintsEntriesThenWarningsThenMessages) {
    TempDir dir;
    const auto file = dir.path() / "form.vbs";
    WriteFileBytes(file, kScript);

    const CliResult r = RunCli({"outline", file.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Event\tOnLoad\t2\tCode\n"
              "Function\tCalc\t5\tNoCode\n"
              "Sub\tBroken\t8\tNoEnd\n"
              "Sub\tLast\t10\tCode\n"
              "warning\tIncomplete declaration on line 7\n"
              "status\tBroken not terminated @ line 8\n");
    EXPECT_EQ(r.err, "");
}

TEST(CliOutlineTest, HelpDocumentsTheFormatAndAMissingFileFails) {
    const CliResult help = RunCli({"outline", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("KIND<TAB>NAME<TAB>LINE<TAB>STATE"), std::string::npos) << help.out;

    TempDir dir;
    const CliResult missing = RunCli({"outline", (dir.path() / "none.vbs").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Cannot read"), std::string::npos) << missing.err;
    EXPECT_EQ(missing.out, "");
}

}  // namespace
}  // namespace vk::test
