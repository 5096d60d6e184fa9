#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vk {

// How one column's line in a row of a side-by-side view stands.
enum class CellState {
    Same,      // as in the other columns
    Changed,   // part of a change
    Conflict,  // part of a change both sides made differently
    Missing,   // no line here: the other columns have more in this change
};

struct AlignedCell {
    std::size_t line = 0;  // the column's line index; meaningless when Missing
    CellState state = CellState::Same;
    bool operator==(const AlignedCell&) const = default;
};

// Versions of a text laid out in columns whose rows line up: unchanged
// lines share a row, and each change takes as many rows as its longest side,
// the shorter sides filled with Missing cells.
struct AlignedRows {
    std::size_t columns = 0;
    std::vector<std::vector<AlignedCell>> rows;  // rows[row][column]
};

// Two versions, `before` in column 0 and `after` in column 1, by DiffLines.
[[nodiscard]] AlignedRows AlignTwo(const std::vector<std::string>& before,
                                   const std::vector<std::string>& after);

// Two versions that started from a base, in the columns mine (0), theirs (1)
// and the base (2), by the three-way merge: a change of one side marks that
// side and the base, a conflict marks all three.
[[nodiscard]] AlignedRows AlignThree(const std::vector<std::string>& mine,
                                     const std::vector<std::string>& theirs,
                                     const std::vector<std::string>& base);

}  // namespace vk
