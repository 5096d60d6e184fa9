#include "history/three_way_merge.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vk {
namespace {

using Lines = std::vector<std::string>;
using Kind = MergeChunk::Kind;

// A conflict as the merge marks it with the default labels.
Lines Conflict(const Lines& mine, const Lines& base, const Lines& theirs) {
    Lines out{"<<<<<<< mine"};
    out.insert(out.end(), mine.begin(), mine.end());
    out.push_back("||||||| base");
    out.insert(out.end(), base.begin(), base.end());
    out.push_back("=======");
    out.insert(out.end(), theirs.begin(), theirs.end());
    out.push_back(">>>>>>> theirs");
    return out;
}

Lines Join(std::initializer_list<Lines> parts) {
    Lines out;
    for (const Lines& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(ThreeWayMergeTest, TakesOneSidedChangesAndMarksConflicts) {
    const Lines seven = {"1", "2", "3", "4", "5", "6", "7"};
    const struct {
        const char* name;
        Lines base, mine, theirs;
        Lines merged;
        std::size_t conflicts;
    } cases[] = {
        {"nothing changed", {"a", "b"}, {"a", "b"}, {"a", "b"}, {"a", "b"}, 0},
        {"mine only", {"a", "b", "c"}, {"a", "B", "c"}, {"a", "b", "c"}, {"a", "B", "c"}, 0},
        {"theirs only", {"a", "b", "c"}, {"a", "b", "c"}, {"a", "b", "C"}, {"a", "b", "C"}, 0},
        {"both alike", {"a", "b", "c"}, {"a", "X", "c"}, {"a", "X", "c"}, {"a", "X", "c"}, 0},
        {"changes apart on both sides",
         seven,
         {"1", "two", "3", "4", "5", "6", "7"},
         {"1", "2", "3", "4", "5", "six", "7", "8"},
         {"1", "two", "3", "4", "5", "six", "7", "8"},
         0},
        {"one side deletes everything", {"a", "b"}, {}, {"a", "b"}, {}, 0},
        {"both add the same at the end", {"a"}, {"a", "x"}, {"a", "x"}, {"a", "x"}, 0},
        {"the same line changed differently",
         {"a", "b", "c"},
         {"a", "M", "c"},
         {"a", "T", "c"},
         Join({{"a"}, Conflict({"M"}, {"b"}, {"T"}), {"c"}}),
         1},
        {"neighbouring lines changed, whose order nobody can tell",
         {"a", "b", "c", "d"},
         {"a", "M", "c", "d"},
         {"a", "b", "T", "d"},
         Join({{"a"}, Conflict({"M", "c"}, {"b", "c"}, {"b", "T"}), {"d"}}),
         1},
        {"different insertions at one place",
         {"a", "b"},
         {"a", "x", "b"},
         {"a", "y", "b"},
         Join({{"a"}, Conflict({"x"}, {}, {"y"}), {"b"}}),
         1},
        {"deleted here, changed there",
         {"a", "b", "c"},
         {"a", "c"},
         {"a", "B", "c"},
         Join({{"a"}, Conflict({}, {"b"}, {"B"}), {"c"}}),
         1},
        {"from an empty base", {}, {"m"}, {"t"}, Conflict({"m"}, {}, {"t"}), 1},
        {"two conflicts",
         seven,
         {"1", "M", "3", "4", "5", "M", "7"},
         {"1", "T", "3", "4", "5", "T", "7"},
         Join({{"1"},
               Conflict({"M"}, {"2"}, {"T"}),
               {"3", "4", "5"},
               Conflict({"M"}, {"6"}, {"T"}),
               {"7"}}),
         2},
    };
    for (const auto& c : cases) {
        const MergeResult result = MergeLines(c.base, c.mine, c.theirs);
        EXPECT_EQ(result.lines, c.merged) << c.name;
        EXPECT_EQ(result.conflicts, c.conflicts) << c.name;
        EXPECT_EQ(result.Clean(), c.conflicts == 0) << c.name;
        // The chunks account for every merged line, in order.
        std::size_t next = 0;
        for (const MergeChunk& chunk : result.chunks) {
            EXPECT_EQ(chunk.merged.start, next) << c.name;
            next = chunk.merged.start + chunk.merged.count;
        }
        EXPECT_EQ(next, result.lines.size()) << c.name;
    }
}

TEST(ThreeWayMergeTest, ChunksTellWhereEachStretchCameFrom) {
    const MergeResult result =
        MergeLines({"a", "b", "c", "d", "e"}, {"a", "B", "c", "d", "e"}, {"a", "b", "c", "d", "E"},
                   {"Vellumkit", "checked out", "Commence"});
    ASSERT_EQ(result.chunks.size(), 4u);
    EXPECT_EQ(result.chunks[0].kind, Kind::Unchanged);
    EXPECT_EQ(result.chunks[1].kind, Kind::Mine);
    EXPECT_EQ(result.chunks[1].base, (LineRange{1, 1}));
    EXPECT_EQ(result.chunks[1].mine, (LineRange{1, 1}));
    EXPECT_EQ(result.chunks[1].theirs, (LineRange{1, 1}));
    EXPECT_EQ(result.chunks[2].kind, Kind::Unchanged);
    EXPECT_EQ(result.chunks[2].base, (LineRange{2, 2}));
    EXPECT_EQ(result.chunks[3].kind, Kind::Theirs);
    EXPECT_EQ(result.chunks[3].theirs, (LineRange{4, 1}));

    const MergeResult conflict =
        MergeLines({"a"}, {"m"}, {"t"}, {"Vellumkit", "checked out", "Commence"});
    EXPECT_EQ(conflict.lines, (Lines{"<<<<<<< Vellumkit", "m", "||||||| checked out", "a",
                                     "=======", "t", ">>>>>>> Commence"}));
    ASSERT_EQ(conflict.chunks.size(), 1u);
    EXPECT_EQ(conflict.chunks[0].kind, Kind::Conflict);
    EXPECT_EQ(conflict.chunks[0].merged, (LineRange{0, 7}));
}

// When one side kept the base, the merge is the other side, whatever it did.
TEST(ThreeWayMergeTest, AnUnchangedSideYieldsTheOtherSide) {
    std::mt19937 random(5);
    const auto text = [&](std::size_t count) {
        Lines lines;
        for (std::size_t i = 0; i < count; ++i) lines.push_back(std::to_string(random() % 5));
        return lines;
    };
    for (int round = 0; round < 200; ++round) {
        const Lines base = text(random() % 30);
        const Lines other = text(random() % 30);
        EXPECT_EQ(MergeLines(base, other, base).lines, other) << "round " << round;
        EXPECT_EQ(MergeLines(base, base, other).lines, other) << "round " << round;
        EXPECT_TRUE(MergeLines(base, other, base).Clean()) << "round " << round;
    }
}

}  // namespace
}  // namespace vk
