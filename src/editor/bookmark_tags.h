#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// Bookmarks live in the script itself as comment lines, "'#Bookmark 5" for
// bookmark 5, so they travel with the script into Commence and back. A
// bookmark is set when its tag occurs anywhere in the text; the first
// occurrence counts and its line is the bookmarked line.
//
// Texts are the editor's (lines end at CR LF, a lone CR or a lone LF);
// lines count from 0.

inline constexpr int kBookmarkTagLength = 12;

// The order of menus and of the search for a free bookmark.
inline constexpr std::array<int, 10> kBookmarkOrder = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0};

// Any number taken modulo 10, negative ones too: 13 is 3, -1 is 9.
[[nodiscard]] constexpr int BookmarkNumber(int n) noexcept { return ((n % 10) + 10) % 10; }

// "'#Bookmark 5" for 5 (and for 15).
[[nodiscard]] std::string BookmarkTag(int n);

struct BookmarkPlace {
    int line = 0;
    std::size_t offset = 0;  // where the tag starts in the text
    std::size_t column = 0;  // where the tag starts in the line
    std::string lineText;    // without its line end
    int lineEndLength = 0;   // 2 for CR LF, 1 for a lone CR or LF, 0 at the end
};

[[nodiscard]] std::optional<BookmarkPlace> FindBookmark(std::string_view text, int n);

// The text after the tag and one separating character, at most 255
// characters, trimmed of blanks: "'#Bookmark 2 loop start" gives "loop start".
[[nodiscard]] std::string BookmarkDescription(const BookmarkPlace& place);

// The first bookmark of kBookmarkOrder that is not set.
[[nodiscard]] std::optional<int> NextFreeBookmark(std::string_view text);

// One entry of the bookmark menu, in kBookmarkOrder: "2 loop start" or
// "4 Bookmark 4" for a set bookmark (with its line), "3 (none)" for one that
// is not set.
struct BookmarkMenuEntry {
    int number = 0;
    std::string caption;
    std::optional<int> line;
    bool operator==(const BookmarkMenuEntry&) const = default;
};
[[nodiscard]] std::vector<BookmarkMenuEntry> BookmarkMenuEntries(std::string_view text);

// How to toggle a bookmark with the caret's line at `caretLine` and the
// selection starting at `selStart`:
// - not set: its tag goes in as a new line directly above the caret's line;
// - set on another line: the tag moves there (from above or below);
// - set on the caret's line: it is removed.
// A tag line is deleted whole; a tag that shares its line with other text
// (code before it) is cut out and the rest of the line stays.
struct BookmarkToggle {
    std::optional<int> deleteLine;
    std::optional<int> putLine;  // the tag's line with the tag cut out
    std::string putText;
    std::optional<int> insertLine;  // the tag goes in as a new line here
    int selStart = 0;               // the same text stays selected
};
[[nodiscard]] BookmarkToggle PlanBookmarkToggle(std::string_view text, int n, int caretLine,
                                                int selStart);

}  // namespace vk
