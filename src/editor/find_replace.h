#pragma once

#include <functional>
#include <optional>
#include <string>

#include "editor/script_editor.h"

namespace vk {

class MessageService;

// What the find dialog asks for. Texts are Windows-1252 bytes.
struct FindRequest {
    std::string findText;
    std::string replaceText;
    bool matchCase = false;
    bool wholeWord = false;
    // Beyond the classic dialog, both off unless the user asks: go on from
    // the top of the text after its end, and read the find text as a
    // regular expression (the replace text stays literal).
    bool wrapAround = false;
    bool regex = false;
};

// Find Next, Replace and Replace All on the script editor. Searches run
// downward from the end of the selection; a search that finds nothing says
// "Not found:" with the find text and changes nothing. Questions go through
// the message service, so tests answer them.
class TFindReplace {
public:
    TFindReplace(ScriptEditor& editor, MessageService& messages);

    // `dlgReplaceFind`: selects the next match after the selection. False,
    // after the "Not found:" message, when there is none.
    bool FindNext(const FindRequest& request);
    // The same upward: selects the last match that ends before the
    // selection starts; with wrap-around it goes on from the end of the text.
    bool FindPrevious(const FindRequest& request);

    // `dlgReplaceReplace`, Replace: finds the next match after the selection
    // (a match selected by an earlier Find Next is passed over) and asks
    // "Replace this entry?" (Yes/No).
    void Replace(const FindRequest& request);

    // `dlgReplaceReplace`, Replace All: from the next match after the
    // selection on, asks "Replace this entry?" (Yes/No/Cancel) for each
    // match until Cancel or until no match is left. With wrap-around the
    // search goes on from the top but stops where it began, so no match is
    // offered twice and a replacement that holds the find text cannot loop.
    //
    // A replacement that would pass the editor's text limit throws
    // vk::Exception and stops, the text as it was up to that match.
    void ReplaceAll(const FindRequest& request);

    // Called with the first and last line of each replacement, to recolour
    // them.
    std::function<void(int firstLine, int lastLine)> recolourLines;
    // Called when a match has been selected and scrolled into view, before
    // any question about it.
    std::function<void(int start, int length)> matchShown;

private:
    using Found = ScriptEditor::FoundText;

    // The first non-empty match within [from, to) (to -1: the end of the text).
    std::optional<Found> Search(const FindRequest& request, int from, int to) const;
    // The last non-empty match within [from, to): the one starting last.
    std::optional<Found> SearchBackward(const FindRequest& request, int from, int to) const;
    void Select(const Found& match);
    void ReportNotFound(const FindRequest& request);
    // Replaces the selection; returns how much longer the text became.
    int ReplaceSelected(const FindRequest& request);

    ScriptEditor& editor_;
    MessageService& messages_;
};

}  // namespace vk
