#include "history/unified_diff.h"

#include <algorithm>

namespace vk {
namespace {

// "3,2" for two lines from the third; one line is "3" alone, and an empty
// range names the line before it ("2,0"), as diff -u writes them.
std::string RangeText(std::size_t start, std::size_t count) {
    if (count == 1) return std::to_string(start + 1);
    return std::to_string(count == 0 ? start : start + 1) + ',' + std::to_string(count);
}

void AppendLines(std::string& out, char mark, const std::vector<std::string>& lines,
                 std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        out += mark;
        out += lines[i];
        out += '\n';
    }
}

}  // namespace

std::string UnifiedDiff(const std::vector<std::string>& before,
                        const std::vector<std::string>& after, std::string_view beforeLabel,
                        std::string_view afterLabel, std::size_t context) {
    return UnifiedDiff(before, after, DiffLines(before, after), beforeLabel, afterLabel, context);
}

std::string UnifiedDiff(const std::vector<std::string>& before,
                        const std::vector<std::string>& after, const std::vector<DiffHunk>& hunks,
                        std::string_view beforeLabel, std::string_view afterLabel,
                        std::size_t context) {
    if (hunks.empty()) return {};
    std::string out;
    out.append("--- ").append(beforeLabel).append("\n+++ ").append(afterLabel).append("\n");
    std::size_t first = 0;
    while (first < hunks.size()) {
        // The changes that share one hunk: each begins within 2 * context
        // unchanged lines of the one before.
        std::size_t last = first;
        while (last + 1 < hunks.size() &&
               hunks[last + 1].oldStart - (hunks[last].oldStart + hunks[last].oldCount) <=
                   2 * context)
            ++last;
        const DiffHunk& head = hunks[first];
        const DiffHunk& tail = hunks[last];
        const std::size_t lead = std::min(context, head.oldStart);
        const std::size_t oldEnd = std::min(before.size(), tail.oldStart + tail.oldCount + context);
        const std::size_t trail = oldEnd - (tail.oldStart + tail.oldCount);
        const std::size_t oldStart = head.oldStart - lead;
        const std::size_t newStart = head.newStart - lead;
        const std::size_t newEnd = tail.newStart + tail.newCount + trail;
        out.append("@@ -")
            .append(RangeText(oldStart, oldEnd - oldStart))
            .append(" +")
            .append(RangeText(newStart, newEnd - newStart))
            .append(" @@\n");
        std::size_t at = oldStart;  // next line of `before` to print
        for (std::size_t h = first; h <= last; ++h) {
            AppendLines(out, ' ', before, at, hunks[h].oldStart);
            AppendLines(out, '-', before, hunks[h].oldStart, hunks[h].oldStart + hunks[h].oldCount);
            AppendLines(out, '+', after, hunks[h].newStart, hunks[h].newStart + hunks[h].newCount);
            at = hunks[h].oldStart + hunks[h].oldCount;
        }
        AppendLines(out, ' ', before, at, oldEnd);
        first = last + 1;
    }
    return out;
}

}  // namespace vk
