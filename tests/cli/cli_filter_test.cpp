#include <gtest/gtest.h>

#include "cli_runner.h"

namespace vk::test {
namespace {

// Missing keys take the builder's initial values: filter 1, style 0, the
// comparison boxes on their first entry.
TEST(CliFilterTest, ComposesOneCommandPerLine) {
    const std::string input =
        R"j({"field": {"text": "Last Name", "tag": 0}, "edTextMin": "Smith", "xbTextMatchCase": true})j"
        "\n"
        "\n"
        R"j({"quoteStyle": 1, "filterNumber": 2, "except": true, "field": {"text": "Amount", "tag": 1}, "cbNumberCompare": 2, "edNumberMin": "100", "edNumberMax": "500"})j"
        "\r\n"
        R"j({"quoteStyle": 2, "field": {"text": "Relates To Company", "tag": -11}, "filterBy": {"text": "(Connection to item)", "tag": -20}, "edItemName": "Acme Ltd"})j"
        "\n"
        R"j({"quoteStyle": 1})j"
        "\n";
    const CliResult r = RunCli({"filter"}, input);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "\"[ViewFilter(1,F,,\"\"\"\"Last Name\"\"\"\",Contains,\"\"\"\"Smith\"\"\"\",1)]\"\n"
              "'[ViewFilter(2,F,Not,\"Amount\",Is Between,\"100\",\"500\")]'\n"
              "[ViewFilter(1,CTI,,Relates To,Company,Acme Ltd)]\n"
              "\n");
}

struct BadLineRow {
    const char* name;
    std::string line;
    const char* message;
};

class CliFilterBadLineTest : public ::testing::TestWithParam<BadLineRow> {};

// The lines before the bad one are answered; the bad one stops the run.
TEST_P(CliFilterBadLineTest, NamesTheLineAndExitsTwo) {
    const BadLineRow& row = GetParam();
    const std::string input = std::string(R"j({"field": {"text": "(All Items)", "tag": 16}})j") +
                              "\n" + row.line + "\n{}\n";
    const CliResult r = RunCli({"filter"}, input);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "\"[ViewFilter(1,Clear)]\"\n");
    EXPECT_NE(r.err.find(std::string("line 2: ") + row.message), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliFilterBadLineTest,
    ::testing::Values(
        BadLineRow{"NotJson", "{\"field\": ", "not JSON"},
        BadLineRow{"NotAnObject", "[1, 2]", "not a JSON object"},
        BadLineRow{"UnknownKey", R"({"edNaemMin": "x"})", "unknown key \"edNaemMin\""},
        BadLineRow{"ComparisonOutOfRange", R"({"cbTextCompare": 5})",
                   "\"cbTextCompare\" must be 0 to 4"},
        BadLineRow{"WrongType", R"({"except": 1})", "\"except\" must be true or false"},
        BadLineRow{"EntryWithoutTag", R"({"field": {"text": "a"}})",
                   "\"field\" must be null or an object"},
        // Regression: these once ended with a raw library error (exit 1), were
        // taken as -1, or took 789 MB for a line of 10 MB.
        BadLineRow{"NumberNoDoubleHolds", R"({"edTextMin": 1e400})", "not JSON"},
        BadLineRow{"TagBeyondAnySignedNumber",
                   R"({"field": {"text": "a", "tag": 18446744073709551615}})",
                   "\"field.tag\" must be -1000000 to 1000000"},
        BadLineRow{"NestedTooDeep",
                   "{\"field\": " + std::string(40, '[') + std::string(40, ']') + "}",
                   "nested deeper than 32 levels"},
        BadLineRow{"LongerThanAnyFilter", std::string(10 << 20, '['), "longer than 1048576 bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

// --read gives the JSON that composes the command again.
TEST(CliFilterTest, ReadsCommandsBack) {
    const std::string commands =
        "Call cmd.Execute(\"[ViewFilter(4,CTCF,Not,\"\"\"\"Relates "
        "To\"\"\"\",\"\"\"\"Company\"\"\"\","
        "\"\"\"\"Revenue\"\"\"\",Greater Than,\"\"\"\"1000\"\"\"\")]\")\n"
        "'[ViewFilter(1,F,,\"Active\",Not Checked)]'\n"
        "[ViewFilter(1,CTI,,Relates to,Account,Brightwater Caf\xE9 \x80)]\n";
    const CliResult read = RunCli({"filter", "--read"}, commands);
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_EQ(
        read.out,
        R"({"filterNumber":4,"except":true,"quoteStyle":0,"field":{"text":"Relates To Company","tag":-11},)"
        R"("filterBy":{"text":"Revenue","tag":1},"cbNumberCompare":1,"edNumberMin":"1000","edNumberMax":""})"
        "\n"
        R"({"filterNumber":1,"except":false,"quoteStyle":1,"field":{"text":"Active","tag":4},"rgCheckBox":1})"
        "\n"
        R"({"filterNumber":1,"except":false,"quoteStyle":2,"field":{"text":"Relates to Account","tag":-11},)"
        R"j("filterBy":{"text":"(Connection to item)","tag":-20},"edItemName":"Brightwater Caf)j"
        "\xC3\xA9 \xE2\x82\xAC\"}"
        "\n");

    const CliResult again = RunCli({"filter"}, read.out);
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out,
              "\"[ViewFilter(4,CTCF,Not,\"\"\"\"Relates To\"\"\"\",\"\"\"\"Company\"\"\"\","
              "\"\"\"\"Revenue\"\"\"\",Greater Than,\"\"\"\"1000\"\"\"\")]\"\n"
              "'[ViewFilter(1,F,,\"Active\",Not Checked)]'\n"
              "[ViewFilter(1,CTI,,Relates to,Account,Brightwater Caf\xE9 \x80)]\n");

    const CliResult bad = RunCli({"filter", "--read"}, "x = 1\n");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("line 1: no ViewFilter command"), std::string::npos) << bad.err;
}

TEST(CliFilterTest, HelpDocumentsBothDirections) {
    const CliResult help = RunCli({"filter", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* key : {"cbNameCompare", "edItemName", "rgShared", "--read"})
        EXPECT_NE(help.out.find(key), std::string::npos) << key;
}

}  // namespace
}  // namespace vk::test
