#include "editor/line_jump.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

struct JumpCase {
    const char* name;
    int line;
    int offset;
    int lineCount;
    int target;
    int top;
};

class LineJumpTest : public ::testing::TestWithParam<JumpCase> {};

TEST_P(LineJumpTest, KeepsTheOffsetAboveTheTarget) {
    const JumpCase& c = GetParam();
    const LineJump jump = PlanLineJump(c.line, c.offset, c.lineCount);
    EXPECT_EQ(jump.target, c.target);
    EXPECT_EQ(jump.top, c.top);
}

INSTANTIATE_TEST_SUITE_P(
    Jumps, LineJumpTest,
    ::testing::Values(JumpCase{"OffsetLinesAbove", 49, 3, 200, 49, 46},
                      JumpCase{"FewerLinesAboveThanOffset", 1, 3, 200, 1, 0},
                      JumpCase{"NoOffset", 10, 0, 200, 10, 10},
                      JumpCase{"NegativeOffsetCountsAsNone", 10, -2, 200, 10, 10},
                      JumpCase{"PastTheEndGoesToLastLine", 500, 3, 200, 199, 196},
                      JumpCase{"NegativeLineGoesToFirst", -4, 3, 200, 0, 0},
                      JumpCase{"EmptyText", 5, 3, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct AnswerCase {
    const char* name;
    const char* answer;
    int lineCount;
    LineNumberAnswer::Kind kind;
    int line;
};

class LineNumberAnswerTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(LineNumberAnswerTest, ReadsTheAnswer) {
    const AnswerCase& c = GetParam();
    const LineNumberAnswer read = ReadLineNumberAnswer(c.answer, c.lineCount);
    EXPECT_EQ(read.kind, c.kind);
    if (c.kind == LineNumberAnswer::Kind::Jump) {
        EXPECT_EQ(read.line, c.line);
    }
}

using Kind = LineNumberAnswer::Kind;
INSTANTIATE_TEST_SUITE_P(
    Answers, LineNumberAnswerTest,
    ::testing::Values(AnswerCase{"WholeNumber", "12", 40, Kind::Jump, 11},
                      AnswerCase{"One", "1", 40, Kind::Jump, 0},
                      AnswerCase{"ZeroIsTheFirstLine", "0", 40, Kind::Jump, 0},
                      AnswerCase{"LastLine", "40", 40, Kind::Jump, 39},
                      AnswerCase{"BlanksAround", " 7\t", 40, Kind::Jump, 6},
                      AnswerCase{"LeadingZeros", "007", 40, Kind::Jump, 6},
                      AnswerCase{"EmptyTextHasOneLine", "1", 0, Kind::Jump, 0},
                      AnswerCase{"Empty", "", 40, Kind::Nothing, 0},
                      AnswerCase{"OnlyBlanks", "  ", 40, Kind::Nothing, 0},
                      AnswerCase{"PastLastLine", "41", 40, Kind::Refuse, 0},
                      AnswerCase{"Negative", "-5", 40, Kind::Refuse, 0},
                      AnswerCase{"PlusSign", "+5", 40, Kind::Refuse, 0},
                      AnswerCase{"Letters", "abc", 40, Kind::Refuse, 0},
                      AnswerCase{"Fraction", "2.5", 40, Kind::Refuse, 0},
                      AnswerCase{"DigitsThenLetters", "12a", 40, Kind::Refuse, 0},
                      AnswerCase{"TooLargeForAnyNumber", "99999999999999999999999", 40,
                                 Kind::Refuse, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vk
