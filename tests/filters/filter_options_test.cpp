#include "filters/filter_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vk {
namespace {

using Boxes = std::vector<std::string>;

struct SplitRow {
    const char* name;
    const char* value;
    FilterJoin join;
    Boxes boxes;
    bool longLayout;
};

class SplitFilterOptionsTest : public ::testing::TestWithParam<SplitRow> {};

TEST_P(SplitFilterOptionsTest, FillsBoxes) {
    const SplitRow& row = GetParam();
    const auto split = SplitFilterOptions(row.value);
    ASSERT_TRUE(split.has_value());
    EXPECT_EQ(split->join, row.join);
    EXPECT_EQ(split->pieces, row.boxes);
    EXPECT_EQ(split->longLayout(), row.longLayout);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitFilterOptionsTest,
    ::testing::Values(
        SplitRow{"Empty", "", FilterJoin::Any, {""}, false},
        SplitRow{"OnePieceTrimmed", " \tSmith \r\n", FilterJoin::Any, {"Smith"}, false},
        SplitRow{"AnyTrimsEachPiece",
                 "Smith .OR. Jones .OR.  Brown",
                 FilterJoin::Any,
                 {"Smith", "Jones", "Brown"},
                 false},
        SplitRow{"All", "a .AND. b", FilterJoin::All, {"a", "b"}, false},
        SplitRow{"SmallJoinWordsAreText",
                 "a .or. b .and. c",
                 FilterJoin::Any,
                 {"a .or. b .and. c"},
                 false},
        SplitRow{
            "JoinWordNeedsItsBlanks", "a.OR.b .OR.c", FilterJoin::Any, {"a.OR.b .OR.c"}, false},
        SplitRow{"JoinWordAtBothEnds", " .OR. a .OR. ", FilterJoin::Any, {"", "a", ""}, false},
        SplitRow{"FourPiecesShort",
                 "1 .OR. 2 .OR. 3 .OR. 4",
                 FilterJoin::Any,
                 {"1", "2", "3", "4"},
                 false},
        SplitRow{"FivePiecesLong",
                 "1 .OR. 2 .OR. 3 .OR. 4 .OR. 5",
                 FilterJoin::Any,
                 {"1", "2", "3", "4", "5"},
                 true},
        // Surplus pieces stay in the last box, join words and all, so
        // writing the boxes back loses nothing.
        SplitRow{
            "SurplusInLastBox",
            "1 .AND. 2 .AND. 3 .AND. 4 .AND. 5 .AND. 6 .AND. 7 .AND. 8 .AND. 9 .AND. 10 .AND.  11 ",
            FilterJoin::All,
            {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10 .AND.  11"},
            true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SplitFilterOptions, RefusesBothJoinWords) {
    EXPECT_FALSE(SplitFilterOptions("a .AND. b .OR. c").has_value());
}

struct JoinRow {
    const char* name;
    FilterJoin join;
    Boxes boxes;
    const char* value;
};

class JoinFilterOptionsTest : public ::testing::TestWithParam<JoinRow> {};

TEST_P(JoinFilterOptionsTest, WritesValue) {
    const JoinRow& row = GetParam();
    EXPECT_EQ(JoinFilterOptions(row.join, row.boxes), row.value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, JoinFilterOptionsTest,
    ::testing::Values(
        JoinRow{"EmptyBoxSkipped",
                FilterJoin::All,
                {"Smith", "Jones", "Brown", "", "Green", "", "", "", "", ""},
                "Smith .AND. Jones .AND. Brown .AND. Green"},
        JoinRow{"NoTrimmingOnWrite", FilterJoin::Any, {" a ", "  b"}, " a  .OR.   b"},
        JoinRow{"EmptyFirstBoxNoLeadingJoin", FilterJoin::Any, {"", "b", "c"}, "b .OR. c"},
        JoinRow{"AllEmpty", FilterJoin::Any, {"", "", ""}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Eleven pieces open in ten boxes and, written back unchanged, give the
// value again.
TEST(FilterOptions, SurplusPiecesSurviveTheRoundTrip) {
    const std::string value =
        "1 .OR. 2 .OR. 3 .OR. 4 .OR. 5 .OR. 6 .OR. 7 .OR. 8 .OR. 9 .OR. 10 .OR. 11";
    const auto split = SplitFilterOptions(value);
    ASSERT_TRUE(split.has_value());
    EXPECT_EQ(split->pieces.size(), kFilterOptionBoxes);
    EXPECT_EQ(JoinFilterOptions(split->join, split->pieces), value);
}

}  // namespace
}  // namespace vk
