// check through the real tool: script files alone, and their field and
// connection names against the real Commence-compatible server.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "cli_runner.h"
#include "support/commence_fixture.h"
#include "support/test_support.h"

namespace vk::test {
namespace {

namespace fs = std::filesystem;

constexpr int kFailure = 1;
constexpr int kBadArguments = 2;
constexpr int kRefused = 4;
constexpr int kErrors = 7;

// An If without its End If (reported at the If), an unused variable, and a
// Then missing further down.
constexpr const char* kBroken =
    "Option Explicit\r\n"
    "Sub Form_OnSave()\r\n"
    "    Dim spare\r\n"
    "    If Form.IsAdd Then\r\n"
    "        Form.Abort\r\n"
    "End Sub\r\n"
    "Sub Form_OnLoad()\r\n"
    "    If Form.IsAdd\r\n"
    "    End If\r\n"
    "End Sub\r\n";

// Only a warning.
constexpr const char* kWarnedOnly =
    "Sub Form_OnLoad()\n"
    "    Dim spare\n"
    "End Sub\n";

TEST(CliCheckTest, PrintsClickableProblemsAndExitsWithSevenOnErrors) {
    TempDir dir;
    const std::string broken = (dir.path() / "broken.vbs").string();
    const std::string warned = (dir.path() / "warned.vbs").string();
    WriteFileBytes(broken, kBroken);
    WriteFileBytes(warned, kWarnedOnly);

    const CliResult both = RunCli({"check", broken, warned});
    EXPECT_EQ(both.exitCode, kErrors) << both.err;
    EXPECT_EQ(both.out, broken + ":3:9: warning: Variable 'spare' is declared but never used\n" +
                            broken + ":4:5: error: Expected 'End If'\n" + broken +
                            ":8:18: error: Expected 'Then'\n" + warned +
                            ":2:9: warning: Variable 'spare' is declared but never used\n");
    EXPECT_EQ(both.err, "2 errors, 2 warnings in 2 files\n");

    const CliResult warnings = RunCli({"check", warned});
    EXPECT_EQ(warnings.exitCode, 0) << "warnings alone pass";
    EXPECT_EQ(RunCli({"check", "--strict", warned}).exitCode, kErrors);
}

TEST(CliCheckTest, JsonGivesEveryFieldOfAProblemInUtf8) {
    TempDir dir;
    const std::string file = (dir.path() / "names.vbs").string();
    WriteFileBytes(file, "Option Explicit\r\nr\xE9sum\xE9 = 1\r\n");

    const CliResult r = RunCli({"check", "--json", file});
    EXPECT_EQ(r.exitCode, kErrors) << r.err;
    const nlohmann::json problems = nlohmann::json::parse(r.out);
    ASSERT_EQ(problems.size(), 1u) << r.out;
    EXPECT_EQ(problems[0]["file"], file);
    EXPECT_EQ(problems[0]["line"], 2);
    EXPECT_EQ(problems[0]["column"], 1);
    EXPECT_EQ(problems[0]["length"], 6);
    EXPECT_EQ(problems[0]["severity"], "error");
    EXPECT_EQ(problems[0]["code"], "undefined-variable");
    EXPECT_EQ(problems[0]["message"], "Variable is undefined: 'r\xC3\xA9sum\xC3\xA9'");
}

TEST(CliCheckTest, BadArgumentsUnreadableAndBinaryFiles) {
    TempDir dir;
    const std::string good = (dir.path() / "good.vbs").string();
    const std::string binary = (dir.path() / "picture.vbs").string();
    WriteFileBytes(good, "MsgBox 1\r\n");
    WriteFileBytes(binary, std::string("GIF89a\0\0\x01", 9));

    for (const std::vector<std::string>& args : {std::vector<std::string>{"check"},
                                                 {"check", "--database", "Demo Sales", good},
                                                 {"check", "--lint", good},
                                                 {"check", good, "--category"}}) {
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, kBadArguments) << args.back();
        EXPECT_NE(r.err.find("check --help"), std::string::npos) << r.err;
    }

    // A file that cannot be read fails the run; the others are still checked.
    const CliResult missing = RunCli({"check", (dir.path() / "none.vbs").string(), good});
    EXPECT_EQ(missing.exitCode, kFailure);
    EXPECT_NE(missing.err.find("Cannot read"), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("0 errors, 0 warnings in 1 file"), std::string::npos);

    const CliResult refused = RunCli({"check", binary});
    EXPECT_EQ(refused.exitCode, kErrors);
    EXPECT_EQ(refused.out,
              binary + ":1:7: error: Binary data (a NUL byte): not a script, not checked\n");
}

TEST(CliCheckTest, HelpListsExitSeven) {
    for (const char* command : {"check", "pull", "checksum"}) {
        const CliResult help = RunCli({command, "--help"});
        EXPECT_NE(help.out.find("  7  errors found in a script (check)"), std::string::npos)
            << command;
    }
}

class CliCheckCommenceTest : public ::testing::Test {
protected:
    CommenceFixture commence;
    const std::string sales{CommenceFixture::kDemoSales};
    const std::string service{CommenceFixture::kFieldService};
};

// Every demo script, with its names checked against its own category, and
// the default script Commence gives a form without one.
TEST_F(CliCheckCommenceTest, EveryDemoScriptGivesNoError) {
    const fs::path salesFolder = commence.Root() / "sales";
    const fs::path serviceFolder = commence.Root() / "service";
    ASSERT_EQ(RunCli({"pull", sales, salesFolder.string()}).exitCode, 0);
    ASSERT_EQ(RunCli({"pull", service, serviceFolder.string()}).exitCode, 0);

    const CliResult r = RunCli({"check", salesFolder.string(), serviceFolder.string()});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.out.find(": error: "), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(" in 13 files"), std::string::npos) << r.err;
}

TEST_F(CliCheckCommenceTest, NamesAreCheckedAgainstTheCategory) {
    const std::string file = (commence.Root() / "names.vbs").string();
    WriteFileBytes(file,
                   "Sub Form_OnLoad()\r\n"
                   "    Field(\"Region\").Value = \"North\" ' Field(\"Not here\")\r\n"
                   "    MsgBox Field(\"Regoin\").Value\r\n"
                   "    Set c = Connection(\"Managed by\", \"Employee\")\r\n"
                   "    Set d = Connection(\"Managed\", \"Employee\")\r\n"
                   "End Sub\r\n");

    const CliResult r = RunCli({"check", "--database", sales, "--category", "Account", file});
    EXPECT_EQ(r.exitCode, kErrors) << r.err;
    EXPECT_EQ(r.out, file +
                         ":3:19: error: The field 'Regoin' does not exist in the category "
                         "'Account'\n" +
                         file +
                         ":5:25: error: The connection 'Managed Employee' does not exist in "
                         "the category 'Account'\n");

    const CliResult wrongCategory =
        RunCli({"check", "--database", sales, "--category", "Nowhere", file});
    EXPECT_EQ(wrongCategory.exitCode, kRefused) << wrongCategory.err;
    EXPECT_EQ(wrongCategory.out, "");
}

TEST_F(CliCheckCommenceTest, APulledFolderTakesDatabaseAndCategoryFromItsManifest) {
    const fs::path folder = commence.Root() / "scripts";
    ASSERT_EQ(RunCli({"pull", service, folder.string()}).exitCode, 0);
    const fs::path edited = folder / "Technician" / "Technician.vbs";
    WriteFileBytes(edited, ReadFileBytes(edited) +
                               "Sub Extra()\r\n    Field(\"On Duty\").Value = 1\r\nEnd Sub\r\n");
    // A file the manifest does not list is checked without names.
    WriteFileBytes(folder / "Technician" / "Draft.vbs", "Field(\"On Duty\").Value = 1\r\nIf\r\n");

    const CliResult r = RunCli({"check", folder.string()});
    EXPECT_EQ(r.exitCode, kErrors) << r.err;
    EXPECT_NE(r.out.find(edited.string() +
                         ":6:12: error: The field 'On Duty' does not exist in the category "
                         "'Technician'\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Draft.vbs:2:3: error: Expected expression\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("Draft.vbs:1:"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace vk::test
