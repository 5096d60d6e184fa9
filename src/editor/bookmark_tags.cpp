#include "editor/bookmark_tags.h"

#include <algorithm>

#include "common/line_ends.h"

namespace vk {
namespace {

constexpr std::size_t kDescriptionMax = 255;
constexpr int kLineEndLength = 2;  // what a new line brings besides its text

constexpr bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

// A line whose text before the tag is only blanks is the tag's own line.
bool IsTagLine(const BookmarkPlace& place) {
    return std::all_of(place.lineText.begin(),
                       place.lineText.begin() + static_cast<long>(place.column), IsBlank);
}

}  // namespace

std::string BookmarkTag(int n) { return "'#Bookmark " + std::to_string(BookmarkNumber(n)); }

std::optional<BookmarkPlace> FindBookmark(std::string_view text, int n) {
    const std::size_t at = text.find(BookmarkTag(n));
    if (at == std::string_view::npos) return std::nullopt;
    std::optional<BookmarkPlace> place;
    int line = 0;
    ForEachLine(text, [&](std::size_t begin, std::size_t end) {
        if (!place && at >= begin && at < end) {
            int lineEnd = 0;
            if (end < text.size())
                lineEnd =
                    text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1;
            place = BookmarkPlace{line, at, at - begin,
                                  std::string(text.substr(begin, end - begin)), lineEnd};
        }
        ++line;
    });
    return place;
}

std::string BookmarkDescription(const BookmarkPlace& place) {
    const std::size_t from = place.column + kBookmarkTagLength + 1;
    if (from >= place.lineText.size()) return {};
    std::string_view rest = std::string_view(place.lineText).substr(from, kDescriptionMax);
    while (!rest.empty() && static_cast<unsigned char>(rest.front()) <= ' ') rest.remove_prefix(1);
    while (!rest.empty() && static_cast<unsigned char>(rest.back()) <= ' ') rest.remove_suffix(1);
    return std::string(rest);
}

std::optional<int> NextFreeBookmark(std::string_view text) {
    for (int n : kBookmarkOrder)
        if (text.find(BookmarkTag(n)) == std::string_view::npos) return n;
    return std::nullopt;
}

std::vector<BookmarkMenuEntry> BookmarkMenuEntries(std::string_view text) {
    std::vector<BookmarkMenuEntry> entries;
    for (int n : kBookmarkOrder) {
        const std::string digit = std::to_string(n);
        if (const std::optional<BookmarkPlace> place = FindBookmark(text, n)) {
            std::string description = BookmarkDescription(*place);
            if (description.empty()) description = "Bookmark " + digit;
            entries.push_back({n, digit + " " + description, place->line});
        } else {
            entries.push_back({n, digit + " (none)", std::nullopt});
        }
    }
    return entries;
}

BookmarkToggle PlanBookmarkToggle(std::string_view text, int n, int caretLine, int selStart) {
    BookmarkToggle plan;
    plan.selStart = selStart;
    int insertAt = caretLine;
    if (const std::optional<BookmarkPlace> place = FindBookmark(text, n)) {
        const int b = place->line;
        // The characters taken out before the selection start move it back.
        int removed = 0;
        if (IsTagLine(*place)) {
            plan.deleteLine = b;
            removed = static_cast<int>(place->lineText.size()) + place->lineEndLength;
        } else {
            plan.putLine = b;
            plan.putText = place->lineText;
            plan.putText.erase(place->column, kBookmarkTagLength);
            removed = kBookmarkTagLength;
        }
        if (b < caretLine) {
            plan.selStart -= removed;
            if (plan.deleteLine) --insertAt;
        } else if (b == caretLine) {
            // The bookmark was on the caret's line: it is removed, and the
            // selection starts where the same text now is (at the start of
            // the next line when the whole line went).
            const int lineStart = static_cast<int>(place->offset - place->column);
            const int tagStart = static_cast<int>(place->offset);
            if (plan.deleteLine)
                plan.selStart = lineStart;
            else if (selStart >= tagStart + kBookmarkTagLength)
                plan.selStart = selStart - kBookmarkTagLength;
            else
                plan.selStart = std::min(selStart, tagStart);
            return plan;
        }
    }
    plan.insertLine = insertAt;
    plan.selStart += kBookmarkTagLength + kLineEndLength;
    return plan;
}

}  // namespace vk
