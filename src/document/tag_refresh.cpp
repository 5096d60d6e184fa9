#include "document/tag_refresh.h"

#include <optional>

#include "document/script_checksum.h"
#include "document/tag_lines.h"

namespace vk {
namespace {

bool StartsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

int LineLength(std::string_view line) { return static_cast<int>(line.size()) + 2; }

// Follows the caret and the top of the view through the line changes, so that
// the caret's text stays where it was on screen. Only a caret below the first
// line moves: the new tags all go in at index 1 and push the caret's text down
// by their length and the view down by one line each; a line replaced above
// the caret shifts it by the length difference; a line deleted at or above it
// pulls it back.
class ViewKeeper {
public:
    explicit ViewKeeper(const ScriptLines& lines)
        : caret_(lines.CaretOffset()),
          caretLine_(lines.LineFromChar(caret_)),
          firstVisible_(lines.FirstVisibleLine()),
          follows_(caretLine_ >= 1) {}

    void Replaced(int index, std::string_view before, std::string_view after) {
        if (follows_ && index < caretLine_) caret_ += LineLength(after) - LineLength(before);
    }
    void Inserted(int index, std::string_view text) {
        if (!follows_ || index > caretLine_) return;
        caret_ += LineLength(text);
        ++firstVisible_;
        ++caretLine_;
    }
    void Deleted(int index, std::string_view text) {
        if (!follows_ || index > caretLine_) return;
        caret_ -= LineLength(text);
        --firstVisible_;
        if (index < caretLine_) --caretLine_;
    }

    void Restore(ScriptLines& lines) const {
        lines.ScrollLines(firstVisible_ - lines.FirstVisibleLine());
        lines.SetCaret(caret_);
    }

private:
    int caret_;
    int caretLine_;
    int firstVisible_;
    bool follows_;
};

// Tracks changes as it makes them, so the view can be put back.
class TagEditor {
public:
    TagEditor(ScriptLines& lines, ViewKeeper& view) : lines_(lines), view_(view) {}

    void Put(int index, std::string_view text) {
        if (index < 0 || index >= lines_.LineCount()) return;
        const std::string before = lines_.Line(index);
        lines_.PutLine(index, text);
        view_.Replaced(index, before, text);
    }
    // An insert past the end of the script is refused by the editor and so
    // moves nothing.
    bool Insert(int index, std::string_view text) {
        if (index > lines_.LineCount()) return false;
        lines_.InsertLine(index, text);
        view_.Inserted(index, text);
        return true;
    }
    void Delete(int index) {
        const std::string text = lines_.Line(index);
        lines_.DeleteLine(index);
        view_.Deleted(index, text);
    }
    void ApplySavedTag(int index, const TagRefreshInputs& inputs) {
        if (!inputs.savedTag) return;
        if (const auto tag = inputs.savedTag()) Put(index, *tag);
    }

private:
    ScriptLines& lines_;
    ViewKeeper& view_;
};

}  // namespace

void RefreshTags(ScriptLines& lines, const TagRefreshInputs& inputs) {
    const TagSettings& want = inputs.settings;
    if (!inputs.linkOpen || !want.Any()) return;

    ViewKeeper view(lines);
    {
        const RepaintSuspension frozen(lines);
        TagEditor editor(lines, view);

        bool categoryFound = false;
        bool savedFound = false;
        std::optional<int> checksumLine;
        for (int i = 0; i < lines.LineCount(); ++i) {
            const std::string line = lines.Line(i);
            if (want.idTag && StartsWith(line, kCategoryTagPrefix)) {
                editor.Put(i, inputs.categoryTag);
                categoryFound = true;
            }
            if (want.timeTag && StartsWith(line, kSavedTagPrefix)) {
                editor.ApplySavedTag(i, inputs);
                savedFound = true;
            }
            if (want.checksumTag && StartsWith(line, kChecksumTagPrefix)) checksumLine = i;
            if (categoryFound && savedFound && checksumLine) break;
        }

        if (want.timeTag && !savedFound) {
            // The line is inserted empty first; it stays empty when the saved
            // tag's own conversation cannot be opened.
            editor.Insert(1, "");
            editor.ApplySavedTag(1, inputs);
        }
        if (want.idTag && !categoryFound) editor.Insert(1, inputs.categoryTag);
        if (want.checksumTag) {
            if (checksumLine) editor.Delete(*checksumLine);
            editor.Insert(1, ChecksumTagLine(ScriptChecksum(lines.CanonicalText())));
        }
        view.Restore(lines);
    }
}

}  // namespace vk
