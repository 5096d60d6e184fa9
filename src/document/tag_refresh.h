#pragma once

#include <functional>
#include <optional>
#include <string>

#include "document/script_lines.h"

namespace vk {

// Which tags a save refreshes: "Apply Time Tag", "Apply ID Tag" and
// "Apply Checksum Tag".
struct TagSettings {
    bool timeTag = false;
    bool idTag = false;
    bool checksumTag = false;

    [[nodiscard]] bool Any() const { return timeTag || idTag || checksumTag; }
};

// What the refresh needs from outside, so that it runs without Commence.
struct TagRefreshInputs {
    TagSettings settings;
    // Whether a conversation with Commence for the current database opened.
    // Without one no tag is touched, not even the checksum.
    bool linkOpen = false;
    // The fresh category tag line (CategoryTagLine).
    std::string categoryTag;
    // Called once per saved tag to write: the fresh saved tag line, or nothing
    // when its own conversation cannot be opened (the line then keeps its
    // text). May throw; the refresh then stops and the error goes on.
    std::function<std::optional<std::string>()> savedTag;
};

// Refreshes the tag lines of `lines` in place:
// - every category and saved tag line met before all three tags are found is
//   rewritten; of several checksum lines the last one met is the one replaced;
// - a missing saved tag, then a missing category tag, is inserted at index 1;
// - the checksum line is deleted, the checksum of the rest computed and its
//   tag inserted at index 1, so it covers every line but itself.
// A script with no tags and all settings on reads afterwards: its first line,
// the checksum tag, the category tag, the saved tag, its second line.
// The caret stays on the same character of the same text and the view keeps
// the caret's line where it was on screen.
void RefreshTags(ScriptLines& lines, const TagRefreshInputs& inputs);

}  // namespace vk
