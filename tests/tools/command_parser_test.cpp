#include "command_parser.h"

#include <gtest/gtest.h>

#include <array>

#include "server_options.h"

namespace vk::commence_server {
namespace {

struct ParseCase {
    const char* label;
    std::string text;
    std::optional<Command> expected;
};

Command bracketed(std::string name, std::vector<std::string> args = {}) {
    return {std::move(name), std::move(args), true};
}

class ParseCommandTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandTest, Parses) {
    const auto& row = GetParam();
    EXPECT_EQ(ParseCommand(row.text), row.expected) << row.text;
}

// Names are inserted unquoted, so quotes, blanks, commas and brackets inside
// them must survive; only "\",\"" separates quoted arguments.
INSTANTIATE_TEST_SUITE_P(
    Commands, ParseCommandTest,
    testing::Values(
        ParseCase{"no_arguments", "[GetCategoryNames()]", bracketed("GetCategoryNames")},
        ParseCase{"no_parentheses", "[GetLastError]", bracketed("GetLastError")},
        ParseCase{"bare_item", "Status", Command{"Status", {}, false}},
        ParseCase{"one_argument", "[GetFormNames(\"Account\")]",
                  bracketed("GetFormNames", {"Account"})},
        ParseCase{"blanks_in_names", "[GetFieldDefinition(\"Sales Opportunity\",\"Close Date\")]",
                  bracketed("GetFieldDefinition", {"Sales Opportunity", "Close Date"})},
        ParseCase{"quotes_in_form_name",
                  "[CheckInFormScript(\"Cat\",\"Form \"X\"\",\"/tmp/VBSxyz\")]",
                  bracketed("CheckInFormScript", {"Cat", "Form \"X\"", "/tmp/VBSxyz"})},
        ParseCase{"quote_opens_name", "[GetFormNames(\"\"Quoted)]\")]",
                  bracketed("GetFormNames", {"\"Quoted)]"})},
        ParseCase{"comma_in_name", "[GetItemNames(\"Smith, Jones\")]",
                  bracketed("GetItemNames", {"Smith, Jones"})},
        ParseCase{"crlf_delimiters", "[GetConnectionNames(\"Account\",\"\r\n\",\"\r\n\")]",
                  bracketed("GetConnectionNames", {"Account", "\r\n", "\r\n"})},
        ParseCase{"blank_delimiter", "[GetConnectionNames(\"Account\",\"\r\n\",\" \")]",
                  bracketed("GetConnectionNames", {"Account", "\r\n", " "})},
        ParseCase{"unquoted_then_quoted", "[GetPreference(Me,\"\t\")]",
                  bracketed("GetPreference", {"Me", "\t"})},
        ParseCase{"quoted_then_unquoted", "[GetPreference(\"Me\",x)]",
                  bracketed("GetPreference", {"Me", "x"})},
        ParseCase{"empty_quoted", "[GetFormNames(\"\")]", bracketed("GetFormNames", {""})},
        ParseCase{"windows_1252_bytes", "[GetItemNames(\"Caf\xE9 \x80\")]",
                  bracketed("GetItemNames", {"Caf\xE9 \x80"})},
        ParseCase{"trailing_nul_and_crlf", std::string("[GetLastError]\r\n\0\0", 18),
                  bracketed("GetLastError")},
        ParseCase{"empty", "", std::nullopt}, ParseCase{"only_brackets", "[]", std::nullopt},
        ParseCase{"no_closing_bracket", "[GetFormNames(\"A\")", std::nullopt},
        ParseCase{"no_closing_parenthesis", "[GetFormNames(\"A\"]", std::nullopt},
        ParseCase{"no_name", "[(\"A\")]", std::nullopt},
        ParseCase{"name_with_blank", "[Get Form(\"A\")]", std::nullopt},
        ParseCase{"unclosed_quote", "[GetFormNames(\"A)]", std::nullopt},
        ParseCase{"lone_quote", "[GetFormNames(\")]", std::nullopt},
        ParseCase{"garbage", "\x01\x02\xff", std::nullopt}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.label); });

struct OptionsCase {
    const char* label;
    std::vector<std::string_view> args;
    std::optional<std::string> database;  // nothing: refused
    std::chrono::seconds idle{3600};
};

class ServerOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(ServerOptionsTest, Parses) {
    const auto& row = GetParam();
    const auto options = ParseServerOptions(row.args);
    ASSERT_EQ(options.has_value(), row.database.has_value());
    if (!options) return;
    EXPECT_EQ(options->database, *row.database);
    EXPECT_EQ(options->idleLimit, row.idle);
}

// The command line arrives split at blanks, as Windows splits an unquoted
// one: the database name is the rest of the line after /DATABASE=.
INSTANTIATE_TEST_SUITE_P(
    CommandLines, ServerOptionsTest,
    testing::Values(
        OptionsCase{"as_commence_is_started", {"/QUIET", "/DATABASE=Demo"}, "Demo"},
        OptionsCase{
            "name_split_at_blanks", {"/QUIET", "/DATABASE=Demo", "Sales", "2"}, "Demo Sales 2"},
        OptionsCase{"name_in_one_argument", {"/DATABASE=Demo Sales"}, "Demo Sales"},
        OptionsCase{"options_in_any_case", {"/quiet", "/database=Field Service"}, "Field Service"},
        OptionsCase{"slash_option_inside_name", {"/DATABASE=A", "/QUIET"}, "A /QUIET"},
        OptionsCase{"idle_time", {"/IDLE=5", "/DATABASE=A"}, "A", std::chrono::seconds(5)},
        OptionsCase{"idle_zero", {"/IDLE=0", "/DATABASE=A"}, "A", std::chrono::seconds(0)},
        OptionsCase{"bad_idle", {"/IDLE=5s", "/DATABASE=A"}, std::nullopt},
        OptionsCase{"negative_idle", {"/IDLE=-1", "/DATABASE=A"}, std::nullopt},
        OptionsCase{"no_database", {"/QUIET"}, std::nullopt},
        OptionsCase{"empty_name", {"/DATABASE="}, std::nullopt},
        OptionsCase{"unknown_option", {"/FAST", "/DATABASE=A"}, std::nullopt}),
    [](const testing::TestParamInfo<OptionsCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace vk::commence_server
