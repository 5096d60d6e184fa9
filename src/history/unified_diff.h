#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "history/line_diff.h"

namespace vk {

// The differences between two versions in unified format, as diff -u and
// git print them:
//
//   --- <beforeLabel>
//   +++ <afterLabel>
//   @@ -3,2 +3,3 @@
//    unchanged line
//   -removed line
//   +added line
//
// with `context` unchanged lines around each change, changes closer than
// twice that joined into one hunk, and every line ended by LF. Identical
// versions give the empty text.
[[nodiscard]] std::string UnifiedDiff(const std::vector<std::string>& before,
                                      const std::vector<std::string>& after,
                                      std::string_view beforeLabel, std::string_view afterLabel,
                                      std::size_t context = 3);

// The same from hunks DiffLines has already found for the two versions.
[[nodiscard]] std::string UnifiedDiff(const std::vector<std::string>& before,
                                      const std::vector<std::string>& after,
                                      const std::vector<DiffHunk>& hunks,
                                      std::string_view beforeLabel, std::string_view afterLabel,
                                      std::size_t context = 3);

}  // namespace vk
