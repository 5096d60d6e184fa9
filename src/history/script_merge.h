#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/three_way_merge.h"

namespace vk {

// A merge of two scripts as text: each line followed by CR LF, as the
// editor and Commence hold scripts.
struct ScriptMergeResult {
    std::string text;
    std::size_t conflicts = 0;
};

// The three-way merge of scripts (MergeLines) on their texts: `mine` and
// `theirs` both started from `base`. The texts are cut into lines as the
// editor cuts them, so a change that only touched line ends is no change.
[[nodiscard]] ScriptMergeResult MergeScripts(std::string_view base, std::string_view mine,
                                             std::string_view theirs,
                                             const MergeLabels& labels = {});

// The first line of the first conflict a merge marked and nobody resolved
// yet: a line that begins with "<<<<<<<", later followed by one that begins
// with "=======" and then one that begins with ">>>>>>>". Nothing when the
// lines hold no whole conflict.
[[nodiscard]] std::optional<std::size_t> FirstConflictMarker(const std::vector<std::string>& lines);

}  // namespace vk
