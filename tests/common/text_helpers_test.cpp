#include "common/text_helpers.h"

#include <gtest/gtest.h>

#include "common/exceptions.h"

namespace vk {
namespace {

struct SplitCase {
    const char* name;
    std::string_view text;
    std::vector<std::string> lines;
};

class SplitLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesTest, CutsAtEveryCrAndSkipsTheLf) {
    EXPECT_EQ(SplitLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SplitLinesTest,
    ::testing::Values(SplitCase{"Empty", "", {}},
                      SplitCase{"OneNameWithoutLineEnd", "Contacts", {"Contacts"}},
                      SplitCase{"TwoNames", "a\r\nb", {"a", "b"}},
                      SplitCase{"TrailingLineEndGivesEmptyLast", "a\r\nb\r\n", {"a", "b", ""}},
                      SplitCase{"OnlyLineEnd", "\r\n", {"", ""}},
                      SplitCase{"EmptyNameInside", "a\r\n\r\nb", {"a", "", "b"}},
                      // The character after a CR is skipped whatever it is.
                      SplitCase{"CrWithoutLf", "a\rXb", {"a", "b"}},
                      SplitCase{"LoneFinalCr", "a\r", {"a", ""}},
                      SplitCase{"LfAloneIsText", "a\nb", {"a\nb"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Commands, options and names are compared as Commence compares them.
TEST(AsciiCaseTest, OnlyAsciiLettersFold) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase("getlasterror", "GetLastError"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("GetLastErrors", "GetLastError"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xE9", "\xC9"));
    EXPECT_EQ(FoldAsciiCase("Caf\xC9 CON"), "caf\xC9 con");
}

TEST(StripCommentTest, CutsAtTheFirstApostropheOutsideQuotes) {
    const struct {
        std::string_view line, expected;
    } cases[] = {
        {"x = 1 ' note", "x = 1 "},
        {"' whole line", ""},
        {"s = \"it's\" ' real", "s = \"it's\" "},
        {"s = \"a\"\"b'\" & c", "s = \"a\"\"b'\" & c"},  // doubled quote toggles twice
        {"s = \"open ' still inside", "s = \"open ' still inside"},
        {"no comment", "no comment"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(StripComment(c.line), c.expected) << c.line;
}

TEST(StrToIntTest, ReadsDecimalAndRejectsTheRest) {
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("126"), 126);
    EXPECT_EQ(StrToInt("-3"), -3);
    for (std::string_view bad : {"", "abc", "1 ", " ", "12x", "99999999999"})
        EXPECT_THROW((void)StrToInt(bad), EConvertError) << bad;
    try {
        (void)StrToInt("abc");
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
}

}  // namespace
}  // namespace vk
