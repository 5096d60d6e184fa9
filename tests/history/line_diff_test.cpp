#include "history/line_diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "history/unified_diff.h"

namespace vk {
namespace {

using Lines = std::vector<std::string>;

// `before` with the hunks applied; a correct diff gives `after` back.
Lines Apply(const Lines& before, const Lines& after, const std::vector<DiffHunk>& hunks) {
    Lines out;
    std::size_t at = 0;
    for (const DiffHunk& h : hunks) {
        EXPECT_LE(at, h.oldStart) << "hunks out of order";
        out.insert(out.end(), before.begin() + at, before.begin() + h.oldStart);
        out.insert(out.end(), after.begin() + h.newStart, after.begin() + h.newStart + h.newCount);
        at = h.oldStart + h.oldCount;
    }
    out.insert(out.end(), before.begin() + at, before.end());
    return out;
}

std::size_t ChangedLines(const std::vector<DiffHunk>& hunks) {
    std::size_t n = 0;
    for (const DiffHunk& h : hunks) n += h.oldCount + h.newCount;
    return n;
}

// The length of a longest common subsequence, the slow sure way.
std::size_t LcsLength(const Lines& a, const Lines& b) {
    std::vector<std::vector<std::size_t>> t(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = a.size(); i-- > 0;)
        for (std::size_t j = b.size(); j-- > 0;)
            t[i][j] = a[i] == b[j] ? t[i + 1][j + 1] + 1 : std::max(t[i + 1][j], t[i][j + 1]);
    return t[0][0];
}

Lines RandomLines(std::mt19937& random, std::size_t count, int alphabet) {
    std::uniform_int_distribution<int> pick(0, alphabet - 1);
    Lines lines;
    for (std::size_t i = 0; i < count; ++i) lines.push_back("line " + std::to_string(pick(random)));
    return lines;
}

TEST(LineDiffTest, FindsTheChangesBetweenTwoVersions) {
    const struct {
        const char* name;
        Lines before, after;
        std::vector<DiffHunk> hunks;
    } cases[] = {
        {"equal", {"a", "b"}, {"a", "b"}, {}},
        {"both empty", {}, {}, {}},
        {"from nothing", {}, {"a", "b"}, {{0, 0, 0, 2}}},
        {"to nothing", {"a", "b"}, {}, {{0, 2, 0, 0}}},
        {"line changed", {"a", "b", "c"}, {"a", "B", "c"}, {{1, 1, 1, 1}}},
        {"inserted at the start", {"b", "c"}, {"a", "b", "c"}, {{0, 0, 0, 1}}},
        {"deleted at the end", {"a", "b", "c"}, {"a", "b"}, {{2, 1, 2, 0}}},
        {"two changes apart",
         {"a", "b", "c", "d", "e"},
         {"A", "b", "c", "d", "E"},
         {{0, 1, 0, 1}, {4, 1, 4, 1}}},
        {"a line only one side has", {"x", "a", "y"}, {"a", "z"}, {{0, 1, 0, 0}, {2, 1, 1, 1}}},
        {"line ends are part of no line", {"a\r"}, {"a"}, {{0, 1, 0, 1}}},
    };
    for (const auto& c : cases) {
        const auto hunks = DiffLines(c.before, c.after);
        EXPECT_EQ(hunks, c.hunks) << c.name;
        EXPECT_EQ(Apply(c.before, c.after, hunks), c.after) << c.name;
    }
}

// On random texts with many repeated lines (as scripts have: blank lines,
// End Sub) the diff must rebuild the new text and be a shortest one.
TEST(LineDiffTest, RandomTextsGetAShortestCorrectDiff) {
    std::mt19937 random(26);
    for (int round = 0; round < 300; ++round) {
        const Lines a = RandomLines(random, random() % 40, 1 + round % 6);
        const Lines b = RandomLines(random, random() % 40, 1 + round % 6);
        const auto hunks = DiffLines(a, b);
        ASSERT_EQ(Apply(a, b, hunks), b) << "round " << round;
        EXPECT_EQ(ChangedLines(hunks), a.size() + b.size() - 2 * LcsLength(a, b))
            << "round " << round;
        for (std::size_t i = 1; i < hunks.size(); ++i)
            EXPECT_LT(hunks[i - 1].oldStart + hunks[i - 1].oldCount, hunks[i].oldStart)
                << "hunks must be apart, round " << round;
    }
}

// Texts that differ throughout make the search give up early and cut at the
// furthest point it reached; the diff must still be correct.
TEST(LineDiffTest, TextsThatDifferThroughoutStillGetACorrectDiff) {
    std::mt19937 random(1);
    const Lines a = RandomLines(random, 12000, 40);
    const Lines b = RandomLines(random, 11000, 40);
    const auto hunks = DiffLines(a, b);
    EXPECT_EQ(Apply(a, b, hunks), b);
}

TEST(UnifiedDiffTest, PrintsHunksWithContextAsDiffDoes) {
    const Lines ten = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    Lines middle = ten;
    middle[4] = "five";
    Lines ends = ten;
    ends[0] = "one";
    ends.push_back("11");
    const struct {
        const char* name;
        Lines before, after;
        std::string expected;
    } cases[] = {
        {"equal", ten, ten, ""},
        {"one line in the middle", ten, middle,
         "--- old\n+++ new\n@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n"},
        {"changes far apart are two hunks", ten, ends,
         "--- old\n+++ new\n@@ -1,4 +1,4 @@\n-1\n+one\n 2\n 3\n 4\n"
         "@@ -8,3 +8,4 @@\n 8\n 9\n 10\n+11\n"},
        {"from nothing", {}, {"a", "b"}, "--- old\n+++ new\n@@ -0,0 +1,2 @@\n+a\n+b\n"},
        {"one line, no count", {"a"}, {"b"}, "--- old\n+++ new\n@@ -1 +1 @@\n-a\n+b\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnifiedDiff(c.before, c.after, "old", "new"), c.expected) << c.name;

    // Changes within twice the context of each other share one hunk.
    Lines near = ten;
    near[1] = "two";
    near[8] = "nine";
    EXPECT_EQ(UnifiedDiff(ten, near, "old", "new", 3),
              "--- old\n+++ new\n@@ -1,10 +1,10 @@\n 1\n-2\n+two\n 3\n 4\n 5\n 6\n 7\n 8\n"
              "-9\n+nine\n 10\n");
}

}  // namespace
}  // namespace vk
