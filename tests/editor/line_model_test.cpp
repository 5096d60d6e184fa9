#include "editor/line_model.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

struct LineCase {
    const char* name;
    std::string_view text;
    int lines;
    std::string_view canonical;
};

class LineModelTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineModelTest, CountsLinesAndEndsEachWithCrLf) {
    const LineCase& c = GetParam();
    EXPECT_EQ(CountLines(c.text), c.lines);
    EXPECT_EQ(CanonicalText(c.text), c.canonical);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LineModelTest,
    ::testing::Values(LineCase{"Empty", "", 0, ""},
                      LineCase{"OneLineWithoutBreak", "abc", 1, "abc\r\n"},
                      LineCase{"FinalBreakStartsNoLine", "abc\r\n", 1, "abc\r\n"},
                      LineCase{"EmptyLastLineBeforeBreak", "abc\r\n\r\n", 2, "abc\r\n\r\n"},
                      LineCase{"OnlyABreak", "\r\n", 1, "\r\n"},
                      LineCase{"LoneLfAndCrEndLines", "a\nb\rc", 3, "a\r\nb\r\nc\r\n"},
                      LineCase{"CrLfIsOneBreak", "a\r\nb", 2, "a\r\nb\r\n"},
                      LineCase{"LfCrIsTwoBreaks", "a\n\rb", 3, "a\r\n\r\nb\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vk
