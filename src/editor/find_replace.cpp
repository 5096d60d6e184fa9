#include "editor/find_replace.h"

#include <algorithm>

#include "common/exceptions.h"
#include "common/messages.h"

namespace vk {
namespace {

constexpr std::string_view kNotFound = "Not found:\r";
constexpr std::string_view kReplaceQuestion = "Replace this entry?";
constexpr std::string_view kPastTextLimit = "Replacing this entry would pass the text limit";

}  // namespace

TFindReplace::TFindReplace(ScriptEditor& editor, MessageService& messages)
    : editor_(editor), messages_(messages) {}

std::optional<TFindReplace::Found> TFindReplace::Search(const FindRequest& request, int from,
                                                        int to) const {
    const ScriptEditor::FindOptions options{request.matchCase, request.wholeWord, request.regex};
    const int end = to < 0 ? editor_.TextLength() : to;
    while (from <= end) {
        const std::optional<Found> found = editor_.FindText(request.findText, from, end, options);
        if (!found) return std::nullopt;
        // An empty match ("^", "x*") would select nothing and be found again
        // at the same place: look past it.
        if (found->length > 0) return found;
        from = found->start + 1;
    }
    return std::nullopt;
}

std::optional<TFindReplace::Found> TFindReplace::SearchBackward(const FindRequest& request,
                                                                int from, int to) const {
    // A match never spans a line end (the find text is one line, and an
    // expression is matched within single lines), so the lines are searched
    // from the last up, each forward: an expression then matches the same
    // text either way, and the search stops at the nearest line with a match.
    if (to <= from) return std::nullopt;
    for (int line = editor_.LineFromChar(to); line >= 0; --line) {
        const int lineStart = editor_.LineIndex(line);
        const int start = std::max(from, lineStart);
        const int end = std::min(to, lineStart + editor_.LineLength(line));
        std::optional<Found> last;
        for (std::optional<Found> found = Search(request, start, end); found;
             found = Search(request, found->start + 1, end))
            last = found;
        if (last) return last;
        if (lineStart <= from) break;
    }
    return std::nullopt;
}

void TFindReplace::Select(const Found& match) {
    editor_.SetSel(match.start, match.length);
    editor_.ScrollCaretIntoView();
    if (matchShown) matchShown(match.start, match.length);
}

void TFindReplace::ReportNotFound(const FindRequest& request) {
    messages_.Show(std::string(kNotFound) + request.findText, MessageIcon::Information,
                   MessageButtons::Ok);
}

bool TFindReplace::FindNext(const FindRequest& request) {
    const int from = editor_.SelStart() + editor_.SelLength();
    std::optional<Found> found = Search(request, from, -1);
    if (!found && request.wrapAround) found = Search(request, 0, -1);
    if (!found) {
        ReportNotFound(request);
        return false;
    }
    Select(*found);
    return true;
}

bool TFindReplace::FindPrevious(const FindRequest& request) {
    std::optional<Found> found = SearchBackward(request, 0, editor_.SelStart());
    if (!found && request.wrapAround)
        found = SearchBackward(request, editor_.SelStart(), editor_.TextLength());
    if (!found) {
        ReportNotFound(request);
        return false;
    }
    Select(*found);
    return true;
}

int TFindReplace::ReplaceSelected(const FindRequest& request) {
    const int start = editor_.SelStart();
    const int before = editor_.TextLength();
    if (!editor_.ReplaceSelection(request.replaceText))
        throw Exception(std::string(kPastTextLimit));
    const int end = start + static_cast<int>(request.replaceText.size());
    if (recolourLines) recolourLines(editor_.LineFromChar(start), editor_.LineFromChar(end));
    return editor_.TextLength() - before;
}

void TFindReplace::Replace(const FindRequest& request) {
    if (!FindNext(request)) return;
    if (messages_.Show(kReplaceQuestion, MessageIcon::Question, MessageButtons::YesNo) ==
        MessageAnswer::Yes)
        ReplaceSelected(request);
}

void TFindReplace::ReplaceAll(const FindRequest& request) {
    // Where the search began: after wrapping, it ends there. Replacements
    // before it move it along.
    int origin = editor_.SelStart() + editor_.SelLength();
    bool wrapped = false;
    std::optional<Found> match = Search(request, origin, -1);
    if (!match && request.wrapAround) {
        wrapped = true;
        match = Search(request, 0, origin);
    }
    while (match) {
        Select(*match);
        const MessageAnswer answer =
            messages_.Show(kReplaceQuestion, MessageIcon::Question, MessageButtons::YesNoCancel);
        if (answer == MessageAnswer::Cancel) return;
        if (answer == MessageAnswer::Yes) {
            const int grown = ReplaceSelected(request);
            if (wrapped) origin += grown;
        } else {
            editor_.SetCaret(match->start + match->length);
        }
        const int from = editor_.SelStart() + editor_.SelLength();
        match = Search(request, from, wrapped ? origin : -1);
        if (!match && request.wrapAround && !wrapped) {
            wrapped = true;
            match = Search(request, 0, origin);
        }
    }
    ReportNotFound(request);
}

}  // namespace vk
