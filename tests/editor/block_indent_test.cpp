#include "editor/block_indent.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/exceptions.h"

namespace vk {
namespace {

using Lines = std::vector<std::string>;

struct BlockCase {
    const char* name;
    int startLine, endLine;
    bool endAtLineStart, empty;
    BlockLines expected;
};

class BlockOfSelectionTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(BlockOfSelectionTest, Lines) {
    const BlockCase& c = GetParam();
    EXPECT_EQ(BlockOfSelection(c.startLine, c.endLine, c.endAtLineStart, c.empty), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, BlockOfSelectionTest,
    ::testing::Values(BlockCase{"EndingAtALineStartLeavesThatLineOut", 2, 5, true, false, {2, 4}},
                      BlockCase{"EndingInsideALineTakesIt", 2, 5, false, false, {2, 5}},
                      BlockCase{"CaretInsideALine", 3, 3, false, true, {3, 3}},
                      BlockCase{"CaretAtALineStartIsOnThatLine", 3, 3, true, true, {3, 3}},
                      BlockCase{"WholeSingleLineWithItsLineEnd", 3, 4, true, false, {3, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IndentLines, PutsOneLevelBeforeEveryLineEmptyOnesToo) {
    EXPECT_EQ(IndentString(0, 3), "\t");
    EXPECT_EQ(IndentString(1, 3), "   ");
    EXPECT_EQ(IndentLines({"a", "", "\tb"}, "\t"), (Lines{"\ta", "\t", "\t\tb"}));
    EXPECT_EQ(IndentLines({"x", "y"}, "   "), (Lines{"   x", "   y"}));
}

struct UnindentCase {
    const char* name;
    Lines lines;
    int tabWidth;
    Lines expected;
    int removed;
};

class UnindentTest : public ::testing::TestWithParam<UnindentCase> {};

TEST_P(UnindentTest, RemovesOneLevel) {
    const UnindentCase& c = GetParam();
    const Unindented result = UnindentLines(c.lines, c.tabWidth, 1);
    EXPECT_EQ(result.lines, c.expected);
    EXPECT_EQ(result.removed, c.removed);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, UnindentTest,
    ::testing::Values(UnindentCase{"TabsSpacesAndEmptyLines",
                                   {"\ta", "   b", "", "\t\tc"},
                                   3,
                                   {"a", "b", "", "\tc"},
                                   1 + 3 + 1},
                      UnindentCase{"TabThenSpacesLosesOnlyTheTab", {"\t   x"}, 3, {"   x"}, 1},
                      UnindentCase{"MoreSpacesThanALevel", {"     x"}, 4, {" x"}, 4},
                      UnindentCase{"SpacesWhateverTheIndentStyle", {"  y"}, 2, {"y"}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UnindentLines, ALineWithTooLittleIndentBlocksTheWholeBlock) {
    try {
        (void)UnindentLines({"\ta", "   b", "  c", "x"}, 3, 10);
        FAIL() << "no exception";
    } catch (const EUnindentFailed& e) {
        EXPECT_STREQ(e.what(), "Cannot unindent line 12");  // the first such line
    }
}

}  // namespace
}  // namespace vk
