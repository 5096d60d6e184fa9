#include "editor/word_breaks.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

struct BreakCase {
    const char* name;
    std::string_view text;
    std::size_t pos;
    std::size_t left;
    std::size_t right;
};

class WordBreakTest : public ::testing::TestWithParam<BreakCase> {};

TEST_P(WordBreakTest, FindsBothBreaks) {
    const BreakCase& c = GetParam();
    EXPECT_EQ(MoveWordLeft(c.text, c.pos), c.left);
    EXPECT_EQ(RightWordBreak(c.text, c.pos), c.right);
}

INSTANTIATE_TEST_SUITE_P(Positions, WordBreakTest,
                         ::testing::Values(BreakCase{"InsideWord", "Dim total", 6, 4, 9},
                                           BreakCase{"AfterBlankSkipsIt", "Dim x", 4, 0, 5},
                                           BreakCase{"AtWordEnd", "Dim x", 5, 4, 5},
                                           BreakCase{"AfterParenTakesCall", "MsgBox(x", 7, 0, 8},
                                           BreakCase{"RightStopsAtParen", "MsgBox(x", 2, 0, 6},
                                           BreakCase{"AcrossLineEnd", "a\r\nb", 3, 0, 4},
                                           BreakCase{"HighBytesAreLetters", "x \xE9t\xE9", 4, 2, 5},
                                           BreakCase{"UnderscoreJoins", "a_b c", 1, 0, 3},
                                           BreakCase{"StartOfText", "abc", 0, 0, 3},
                                           BreakCase{"PastEndIsClamped", "abc", 9, 0, 3},
                                           BreakCase{"EmptyText", "", 0, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vk
