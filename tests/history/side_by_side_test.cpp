// Versions laid out side by side, and the merge of whole scripts.
#include "history/side_by_side.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/script_merge.h"

namespace vk {
namespace {

using Lines = std::vector<std::string>;
constexpr CellState S = CellState::Same, C = CellState::Changed, X = CellState::Conflict,
                    M = CellState::Missing;

// Each row as "text|state" per column, "-" for a missing line.
std::vector<std::string> Render(const AlignedRows& rows, const std::vector<const Lines*>& texts) {
    std::vector<std::string> out;
    for (const auto& row : rows.rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) line += "  ";
            line += row[c].state == M ? "-" : (*texts[c])[row[c].line];
            line += row[c].state == S ? "" : row[c].state == C ? "*" : row[c].state == X ? "!" : "";
        }
        out.push_back(line);
    }
    return out;
}

TEST(SideBySideTest, TwoVersionsLineUpAroundTheirChanges) {
    const Lines before = {"a", "b", "c", "d", "e"};
    const Lines after = {"a", "B1", "B2", "c", "e", "f"};
    EXPECT_EQ(
        Render(AlignTwo(before, after), {&before, &after}),
        (std::vector<std::string>{"a  a", "b*  B1*", "-  B2*", "c  c", "d*  -", "e  e", "-  f*"}));
    EXPECT_TRUE(AlignTwo({}, {}).rows.empty());
}

TEST(SideBySideTest, MineTheirsAndBaseLineUpByTheMerge) {
    const Lines base = {"one", "two", "three", "four", "five"};
    const Lines mine = {"one", "TWO", "three", "four", "five", "six"};
    const Lines theirs = {"one", "two", "three", "4", "five", "seven"};
    EXPECT_EQ(Render(AlignThree(mine, theirs, base), {&mine, &theirs, &base}),
              (std::vector<std::string>{"one  one  one", "TWO*  two  two*", "three  three  three",
                                        "four  4*  four*", "five  five  five", "six!  seven!  -"}));
}

TEST(ScriptMergeTest, MergesTextsAsTheEditorHoldsThem) {
    const std::string base = "Sub A\r\n  x = 1\r\nEnd Sub\r\n";
    // Their copy came back with bare LF line ends: no change for the merge.
    const std::string theirs = "' note\nSub A\n  x = 1\nEnd Sub\n";
    const std::string mine = "Sub A\r\n  x = 2\r\nEnd Sub\r\n";
    const ScriptMergeResult clean = MergeScripts(base, mine, theirs);
    EXPECT_EQ(clean.conflicts, 0u);
    EXPECT_EQ(clean.text, "' note\r\nSub A\r\n  x = 2\r\nEnd Sub\r\n");

    const ScriptMergeResult marked =
        MergeScripts(base, mine, "Sub A\r\n  x = 3\r\nEnd Sub\r\n", {"mine", "base", "Commence"});
    EXPECT_EQ(marked.conflicts, 1u);
    EXPECT_EQ(marked.text,
              "Sub A\r\n<<<<<<< mine\r\n  x = 2\r\n||||||| base\r\n  x = 1\r\n=======\r\n"
              "  x = 3\r\n>>>>>>> Commence\r\nEnd Sub\r\n");
}

TEST(ScriptMergeTest, FindsOnlyWholeConflicts) {
    struct Row {
        const char* name;
        Lines lines;
        std::optional<std::size_t> first;
    };
    const std::vector<Row> rows = {
        {"none", {"a", "b"}, std::nullopt},
        {"a whole one", {"a", "<<<<<<< mine", "x", "=======", "y", ">>>>>>> theirs"}, 1},
        {"no end", {"<<<<<<< mine", "x", "=======", "y"}, std::nullopt},
        {"end before separator", {"<<<<<<<", ">>>>>>>", "======="}, std::nullopt},
        {"an unfinished one, then a whole one",
         {"<<<<<<<", "x", "<<<<<<< mine", "=======", ">>>>>>>"},
         2},
        {"markers not at the line start", {" <<<<<<<", "=======", ">>>>>>>"}, std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(FirstConflictMarker(row.lines), row.first) << row.name;
}

}  // namespace
}  // namespace vk
