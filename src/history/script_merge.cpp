#include "history/script_merge.h"

#include "document/script_lines.h"

namespace vk {

ScriptMergeResult MergeScripts(std::string_view base, std::string_view mine,
                               std::string_view theirs, const MergeLabels& labels) {
    const MergeResult merged =
        MergeLines(SplitScriptText(base), SplitScriptText(mine), SplitScriptText(theirs), labels);
    return {JoinScriptLines(merged.lines), merged.conflicts};
}

std::optional<std::size_t> FirstConflictMarker(const std::vector<std::string>& lines) {
    const auto startsWith = [](const std::string& line, std::string_view marker) {
        return line.compare(0, marker.size(), marker) == 0;
    };
    for (std::size_t start = 0; start < lines.size(); ++start) {
        if (!startsWith(lines[start], kConflictStart)) continue;
        bool separated = false;
        for (std::size_t i = start + 1; i < lines.size(); ++i) {
            if (startsWith(lines[i], kConflictStart)) break;
            if (startsWith(lines[i], kConflictSeparator)) separated = true;
            if (separated && startsWith(lines[i], kConflictEnd)) return start;
        }
    }
    return std::nullopt;
}

}  // namespace vk
