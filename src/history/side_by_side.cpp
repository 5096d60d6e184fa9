#include "history/side_by_side.h"

#include <algorithm>
#include <array>

#include "history/line_diff.h"
#include "history/three_way_merge.h"

namespace vk {
namespace {

// One stretch of every column, laid out in rows: line i of each column's
// range goes to row i, the columns that run out first get Missing cells.
template <std::size_t N>
void AddStretch(AlignedRows& out, const std::array<std::size_t, N>& starts,
                const std::array<std::size_t, N>& counts, const std::array<CellState, N>& states) {
    const std::size_t height = *std::max_element(counts.begin(), counts.end());
    for (std::size_t i = 0; i < height; ++i) {
        std::vector<AlignedCell> row(N);
        for (std::size_t c = 0; c < N; ++c)
            row[c] = i < counts[c] ? AlignedCell{starts[c] + i, states[c]}
                                   : AlignedCell{0, CellState::Missing};
        out.rows.push_back(std::move(row));
    }
}

}  // namespace

AlignedRows AlignTwo(const std::vector<std::string>& before,
                     const std::vector<std::string>& after) {
    AlignedRows out;
    out.columns = 2;
    out.rows.reserve(std::max(before.size(), after.size()));
    constexpr std::array<CellState, 2> kSame = {CellState::Same, CellState::Same};
    constexpr std::array<CellState, 2> kChanged = {CellState::Changed, CellState::Changed};
    std::size_t old = 0, now = 0;
    for (const DiffHunk& hunk : DiffLines(before, after)) {
        const std::size_t common = hunk.oldStart - old;
        AddStretch<2>(out, {old, now}, {common, common}, kSame);
        AddStretch<2>(out, {hunk.oldStart, hunk.newStart}, {hunk.oldCount, hunk.newCount},
                      kChanged);
        old = hunk.oldStart + hunk.oldCount;
        now = hunk.newStart + hunk.newCount;
    }
    AddStretch<2>(out, {old, now}, {before.size() - old, before.size() - old}, kSame);
    return out;
}

AlignedRows AlignThree(const std::vector<std::string>& mine, const std::vector<std::string>& theirs,
                       const std::vector<std::string>& base) {
    AlignedRows out;
    out.columns = 3;
    const MergeResult merge = MergeLines(base, mine, theirs, {"", "", ""});
    using Kind = MergeChunk::Kind;
    constexpr CellState S = CellState::Same, C = CellState::Changed, X = CellState::Conflict;
    for (const MergeChunk& chunk : merge.chunks) {
        std::array<CellState, 3> states{};
        switch (chunk.kind) {
            case Kind::Unchanged:
                states = {S, S, S};
                break;
            case Kind::Mine:
                states = {C, S, C};
                break;
            case Kind::Theirs:
                states = {S, C, C};
                break;
            case Kind::Both:
                states = {C, C, C};
                break;
            case Kind::Conflict:
                states = {X, X, X};
                break;
        }
        AddStretch<3>(out, {chunk.mine.start, chunk.theirs.start, chunk.base.start},
                      {chunk.mine.count, chunk.theirs.count, chunk.base.count}, states);
    }
    return out;
}

}  // namespace vk
