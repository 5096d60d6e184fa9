#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vk {

// Lines [start, start + count) of one version.
struct LineRange {
    std::size_t start = 0;
    std::size_t count = 0;
    bool operator==(const LineRange&) const = default;
};

// The names the conflict markers carry.
struct MergeLabels {
    std::string mine = "mine";
    std::string base = "base";
    std::string theirs = "theirs";
};

// A stretch of a merge and where its lines came from.
struct MergeChunk {
    enum class Kind {
        Unchanged,  // as in the base, on both sides
        Mine,       // changed on my side only: mine taken
        Theirs,     // changed on their side only: theirs taken
        Both,       // changed alike on both sides: taken once
        Conflict,   // changed differently on both sides: marked, all three kept
    };
    Kind kind = Kind::Unchanged;
    LineRange base;
    LineRange mine;
    LineRange theirs;
    LineRange merged;  // the lines it became in the merged text, markers included
};

struct MergeResult {
    std::vector<std::string> lines;  // the merged text, conflicts marked
    std::vector<MergeChunk> chunks;  // in text order
    std::size_t conflicts = 0;

    // True when nothing is left for a person to decide.
    [[nodiscard]] bool Clean() const { return conflicts == 0; }
};

// Conflict markers, as git and diff3 -m write them.
inline constexpr std::string_view kConflictStart = "<<<<<<<";
inline constexpr std::string_view kConflictBase = "|||||||";
inline constexpr std::string_view kConflictSeparator = "=======";
inline constexpr std::string_view kConflictEnd = ">>>>>>>";

// Merges two versions that each started from `base`, as diff3 -m does: what
// only one side changed is taken from it, what both changed alike is taken
// once, and where they changed the same lines differently (or lines next to
// each other, whose order nobody can tell) all three are kept between
// markers:
//
//   <<<<<<< mine
//   my lines
//   ||||||| base
//   the base's lines
//   =======
//   their lines
//   >>>>>>> theirs
//
// The labels follow the markers after one blank.
[[nodiscard]] MergeResult MergeLines(const std::vector<std::string>& base,
                                     const std::vector<std::string>& mine,
                                     const std::vector<std::string>& theirs,
                                     const MergeLabels& labels = {});

}  // namespace vk
