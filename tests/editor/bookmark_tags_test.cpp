#include "editor/bookmark_tags.h"

#include <gtest/gtest.h>

#include <string>

#include "document/script_lines.h"

namespace vk {
namespace {

TEST(BookmarkTag, IsTwelveCharactersWithTheNumberModuloTen) {
    EXPECT_EQ(BookmarkTag(5), "'#Bookmark 5");
    EXPECT_EQ(BookmarkTag(15), "'#Bookmark 5");
    EXPECT_EQ(BookmarkTag(-1), "'#Bookmark 9");
    EXPECT_EQ(BookmarkTag(0).size(), static_cast<std::size_t>(kBookmarkTagLength));
}

TEST(FindBookmark, FirstOccurrenceAnywhereCounts) {
    const std::string text = "a\r\nx = 1 '#Bookmark 3\r\n'#Bookmark 3\r\n";
    const auto place = FindBookmark(text, 3);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->line, 1);
    EXPECT_EQ(place->column, 6u);
    EXPECT_FALSE(FindBookmark(text, 4));
    // Lines end at a lone LF too, as in the editor.
    EXPECT_EQ(FindBookmark("a\nb\r\n'#Bookmark 1", 1)->line, 2);
}

// Applies a plan to the text's lines, as the editor does.
std::string Apply(const std::string& text, int n, const BookmarkToggle& plan) {
    MemoryScriptLines lines(text);
    if (plan.deleteLine) lines.DeleteLine(*plan.deleteLine);
    if (plan.putLine) lines.PutLine(*plan.putLine, plan.putText);
    if (plan.insertLine) lines.InsertLine(*plan.insertLine, BookmarkTag(n));
    return lines.CanonicalText();
}

struct ToggleCase {
    const char* name;
    std::string text;
    std::string caretOn;  // the selection starts on the first occurrence; "" at the end
    std::string expected;
    std::string caretAfter;  // the text the selection starts on afterwards
};

class ToggleTest : public ::testing::TestWithParam<ToggleCase> {};

TEST_P(ToggleTest, MovesTheTagAndKeepsTheSelectionOnItsText) {
    const ToggleCase& c = GetParam();
    const int selStart =
        static_cast<int>(c.caretOn.empty() ? c.text.size() : c.text.find(c.caretOn));
    const MemoryScriptLines lines(c.text);
    const int caretLine = c.caretOn.empty() ? lines.LineCount() : lines.LineFromChar(selStart);
    const BookmarkToggle plan = PlanBookmarkToggle(c.text, 5, caretLine, selStart);
    const std::string after = Apply(c.text, 5, plan);
    EXPECT_EQ(after, c.expected);
    EXPECT_EQ(after.substr(static_cast<std::size_t>(plan.selStart)), c.caretAfter);
}

// Lines are x, y and z: no letter of the tag.
INSTANTIATE_TEST_SUITE_P(
    Toggles, ToggleTest,
    ::testing::Values(
        ToggleCase{"SetAboveTheCaretLine", "x\r\ny\r\nz\r\n", "y",
                   "x\r\n'#Bookmark 5\r\ny\r\nz\r\n", "y\r\nz\r\n"},
        ToggleCase{"AgainBelowTheTagMovesNothing", "x\r\n'#Bookmark 5\r\ny\r\n", "y",
                   "x\r\n'#Bookmark 5\r\ny\r\n", "y\r\n"},
        ToggleCase{"OnTheTagLineRemovesIt", "x\r\n'#Bookmark 5\r\ny\r\n", "#Bookmark", "x\r\ny\r\n",
                   "y\r\n"},
        ToggleCase{"MovesDownFromAbove", "'#Bookmark 5\r\nx\r\ny\r\nz\r\n", "z",
                   "x\r\ny\r\n'#Bookmark 5\r\nz\r\n", "z\r\n"},
        ToggleCase{"MovesUpFromBelow", "x\r\ny\r\n'#Bookmark 5\r\n", "x",
                   "'#Bookmark 5\r\nx\r\ny\r\n", "x\r\ny\r\n"},
        // A description makes the tag line longer than the tag: the caret must
        // still come back to its text.
        ToggleCase{"MovesALineWithADescription", "'#Bookmark 5 loop start\r\nx\r\ny\r\n", "y",
                   "x\r\n'#Bookmark 5\r\ny\r\n", "y\r\n"},
        ToggleCase{"IndentedTagLineIsStillATagLine", "\t'#Bookmark 5\r\nx\r\n", "x",
                   "'#Bookmark 5\r\nx\r\n", "x\r\n"},
        // A tag written after code takes only the tag away, never the code.
        ToggleCase{"TagAfterCodeKeepsTheCode", "x = 1 '#Bookmark 5\r\ny\r\n", "y",
                   "x = 1 \r\n'#Bookmark 5\r\ny\r\n", "y\r\n"},
        ToggleCase{"TagAfterCodeOnTheCaretLineIsCutOut", "x = 1 '#Bookmark 5 y\r\n", " y",
                   "x = 1  y\r\n", " y\r\n"},
        ToggleCase{"CaretAfterTheLastLineEnd", "x\r\n", "", "x\r\n'#Bookmark 5\r\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BookmarkMenuEntries, CaptionsInMenuOrder) {
    const std::string text = "'#Bookmark 2 loop start\r\nx\r\n'#Bookmark 4\r\n'#Bookmark 0   \r\n";
    const std::vector<BookmarkMenuEntry> entries = BookmarkMenuEntries(text);
    ASSERT_EQ(entries.size(), 10u);
    EXPECT_EQ(entries[0], (BookmarkMenuEntry{1, "1 (none)", std::nullopt}));
    EXPECT_EQ(entries[1], (BookmarkMenuEntry{2, "2 loop start", 0}));
    EXPECT_EQ(entries[3], (BookmarkMenuEntry{4, "4 Bookmark 4", 2}));
    EXPECT_EQ(entries[9], (BookmarkMenuEntry{0, "0 Bookmark 0", 3}));
}

TEST(BookmarkDescription, AtMost255CharactersTrimmed) {
    const std::string line = "'#Bookmark 1 " + std::string(300, 'd');
    EXPECT_EQ(BookmarkDescription({0, 0, 0, line, 2}).size(), 255u);
    EXPECT_EQ(BookmarkDescription({0, 0, 0, "'#Bookmark 1", 2}), "");
}

TEST(NextFreeBookmark, OneToNineThenZero) {
    std::string text;
    EXPECT_EQ(NextFreeBookmark(text), 1);
    for (int n = 1; n <= 9; ++n) text += BookmarkTag(n) + "\r\n";
    EXPECT_EQ(NextFreeBookmark(text), 0);
    text += BookmarkTag(0);
    EXPECT_EQ(NextFreeBookmark(text), std::nullopt);
}

}  // namespace
}  // namespace vk
