#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vk {

// The alphabetical keyword page of the installed VBScript documentation.
inline constexpr std::string_view kKeywordPageName = "vbsalp2.htm";

// One entry of the keyword page: the link text ("Abs Function") and the full
// path of the topic file it links to.
struct HelpTopic {
    std::string text;
    std::string path;
    bool operator==(const HelpTopic&) const = default;
};

// The topic file `target` of the documentation folder `dir`. The documentation
// was written for Windows, where the path is dir + "\" + target; here the two
// are joined with the platform's separator (a '/' on POSIX), so that the file
// can be opened. An empty `dir` gives the target alone.
[[nodiscard]] std::string JoinTopicPath(std::string_view dir, std::string_view target);

// The entries of a keyword page, in page order, duplicates kept. A line is an
// entry only when its first nine characters are exactly `<A href="` (case
// matters): the target runs up to the first `">`, the link text from there up
// to the first "</" (the rest of the line when it has none). Other lines are
// skipped, and so is a line whose link has no `">`, or whose target leaves the
// documentation folder (an absolute path or a ".." step), since the topic
// is later handed to the desktop to open.
[[nodiscard]] std::vector<HelpTopic> ParseKeywordPage(std::string_view page, std::string_view dir);

}  // namespace vk
