#include "filters/view_filter_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace vk {
namespace {

struct RefusedRow {
    const char* name;
    const char* line;
    const char* problem;  // part of the reason given
};

class RefusedFilterTest : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(RefusedFilterTest, SaysWhy) {
    const RefusedRow& row = GetParam();
    const ViewFilterReading r = ReadViewFilter(row.line);
    EXPECT_FALSE(r.inputs.has_value());
    EXPECT_NE(r.problem.find(row.problem), std::string::npos) << r.problem;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusedFilterTest,
    ::testing::Values(
        RefusedRow{"NoCommand", "x = 1", "no ViewFilter command"},
        RefusedRow{"FilterNumberOutOfRange", "'[ViewFilter(5,Clear)]'", "5 is not 1 to 4"},
        RefusedRow{"UnknownKind", "'[ViewFilter(1,XY,,\"a\")]'", "unknown filter kind \"XY\""},
        RefusedRow{"UnknownComparison", "'[ViewFilter(1,F,,\"a\",Near,\"b\")]'",
                   "unknown comparison \"Near\""},
        RefusedRow{"BadExceptWord", "'[ViewFilter(1,F,Nicht,\"a\",Blank)]'", "except word"},
        RefusedRow{"Unclosed", "'[ViewFilter(1,F,,\"a\",Contains,\"b\"", "not complete"},
        RefusedRow{"ExtraPart", "'[ViewFilter(1,F,,\"a\",Blank,\"b\")]'",
                   "form the builder writes"},
        RefusedRow{"TooFewForConnection", "'[ViewFilter(1,CTCTI,,\"a\",\"b\",\"c\")]'",
                   "too few parts"},
        RefusedRow{"MissingCloseQuote", "\"[ViewFilter(1,Clear)]", "not complete"}),
    [](const auto& info) { return std::string(info.param.name); });

// The enclosures come off and blanks, commas and quotes inside names stay.
TEST(ReadViewFilter, TakesNamesOutOfTheirEnclosures) {
    const std::string q4 = "\"\"\"\"";
    const std::string line = "  Call f(\"[ViewFilter(3,CTCF,Not," + q4 + "Relates To" + q4 + "," +
                             q4 + "Big, Co" + q4 + "," + q4 + "Say \"Hi\"" + q4 + ",Is Between," +
                             q4 + "a" + q4 + "," + q4 + "b" + q4 + ")]\")";
    const ViewFilterReading r = ReadViewFilter(line);
    ASSERT_TRUE(r.inputs.has_value()) << r.problem;
    const ViewFilterInputs& in = *r.inputs;
    EXPECT_EQ(in.quote_style, 0);
    EXPECT_EQ(in.filter_number, 3);
    EXPECT_TRUE(in.except);
    EXPECT_EQ(in.field->text, "Relates To Big, Co");
    EXPECT_EQ(in.field->tag, -11);
    EXPECT_EQ(in.filter_by.text, "Say \"Hi\"");
    EXPECT_EQ(in.text.caption, "Is Between");
    EXPECT_EQ(in.text.min, "a");
    EXPECT_EQ(in.text.max, "b");
}

// A line being typed holds every prefix of a command on its way: none may
// throw or read back as something else.
TEST(ReadViewFilter, RefusesEveryCutOffCommand) {
    const std::string q4 = "\"\"\"\"";
    const std::string commands[] = {
        "\"[ViewFilter(1,F,," + q4 + "Name" + q4 + ",Has Duplicates,,1)]\"",
        "'[ViewFilter(4,CTCTI,Not,\"a b\",\"c\",\"d\",\"e\",\"f\")]'",
        "[ViewFilter(2,F,,,Shared,,)]",
    };
    for (const std::string& command : commands) {
        ASSERT_TRUE(ReadViewFilter(command).inputs.has_value()) << command;
        for (std::size_t n = 0; n < command.size(); ++n) {
            const std::string cut = command.substr(0, n);
            ViewFilterReading r;
            ASSERT_NO_THROW(r = ReadViewFilter(cut)) << cut;
            EXPECT_FALSE(r.inputs.has_value()) << cut;
        }
    }
}

}  // namespace
}  // namespace vk
