#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace vk {

// The sixteen colours a token class can take, as 0x00BBGGRR.
//
// kColorTable is the RTF colour table: the index is the colour number a run
// names ("\cf12" is blue). kColorGridCells is the same sixteen colours as the
// configuration dialog's grid lays them out, two to a row from the top left:
// the dialog stores the value, never the cell index, so the two orders need
// not agree (they differ in the two greys).
inline constexpr std::array<std::uint32_t, 16> kColorTable = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

inline constexpr std::array<std::uint32_t, 16> kColorGridCells = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

// Every colour the grid offers has an RTF colour number, so a colour picked
// in the dialog is never written as the "no number" run.
static_assert(std::is_permutation(kColorGridCells.begin(), kColorGridCells.end(),
                                  kColorTable.begin(), kColorTable.end()));

}  // namespace vk
