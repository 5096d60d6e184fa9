#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// The declarations the code browser lists: form events (`Sub Form_...`), other
// Subs and Functions.
enum class ScanKind { Event, Sub, Function };

// Code: terminated, its body holds text (a comment counts); NoCode: terminated,
// empty or blank body; NoEnd: no "End Sub" / "End Function" before the next
// declaration.
enum class ScanState { Code, NoCode, NoEnd };

[[nodiscard]] std::string_view KindName(ScanKind kind);     // "Event", "Sub", "Function"
[[nodiscard]] std::string_view StateName(ScanState state);  // "Code", "NoCode", "NoEnd"

// One declaration found, in the letter case of the script.
struct ScanEntry {
    ScanKind kind = ScanKind::Sub;
    // The declared name; for an event the part after `Form_`: `Sub
    // Form_OnSave()` gives `OnSave`.
    std::string name;
    // Position of the name's first character in the scanned text (a line end
    // counts two, as in the editor).
    std::int32_t offset = 0;
    ScanState state = ScanState::NoCode;

    bool operator==(const ScanEntry&) const = default;
};

// What one scan found, each list in text order.
struct ScanReport {
    std::vector<ScanEntry> entries;
    // "Incomplete declaration on line N" for a keyword without a name.
    std::vector<std::string> warnings;
    // "NAME not terminated @ line N" for each NoEnd entry.
    std::vector<std::string> messages;
};

// Follows a scan as it runs, so that a view can show entries as they are
// found and keeps what it had when the scan fails. Every call has a default
// that does nothing.
class ScanObserver {
public:
    virtual ~ScanObserver() = default;
    // The status line (level 0 opens the scan, level 1 for the rest; the
    // empty text means "Ready").
    virtual void Status(std::string_view /*text*/, int /*level*/) {}
    // "NAME not terminated @ line N": a status message of level 1 unless the
    // view shows it otherwise.
    virtual void NotTerminated(std::string_view message) { Status(message, 1); }
    // Between the opening message and the scan: the view empties itself.
    virtual void Reset() {}
    // A declaration, state NoCode until EntryFinished says otherwise.
    virtual void EntryFound(const ScanEntry& /*entry*/) {}
    virtual void EntryFinished(std::size_t /*index*/, ScanState /*state*/) {}
    virtual void Warning(std::string_view /*text*/) {}
    // An unexpected error stopped the scan: `dump` is the text of the error
    // dump file. The error is raised again once this returns.
    virtual void Failed(const std::string& /*dump*/) {}
};

// Finds the script's events, Subs and Functions by plain text search on a
// lower-cased copy of `text` (never by tokenizing, so a rescan of a long
// script stays cheap). A keyword counts only at the start of a statement (or
// after "Private" / "Public"), never inside a comment or a string; a block
// ends at the first "End Sub" / "End Function" that starts a statement.
// Broken declarations are reported in the result, never thrown.
[[nodiscard]] ScanReport ParseScript(std::string_view text, ScanObserver& observer);
[[nodiscard]] ScanReport ParseScript(std::string_view text);

// A declaration keyword: where it starts in the text and what it declares.
struct Identifier {
    std::size_t pos = 0;
    ScanKind kind = ScanKind::Sub;
    bool operator==(const Identifier&) const = default;
};

// The building blocks of ParseScript over a text lower-cased once. Searches
// remember their last answer, so a scan that moves forward reads the text a
// few times in all, however many declarations it holds.
class ScriptScanner {
public:
    explicit ScriptScanner(std::string_view text);

    // The next declaration keyword at or after `from`.
    [[nodiscard]] std::optional<Identifier> GetNextIdentifier(std::size_t from);
    // The "end sub" (Event, Sub) or "end function" (Function) that closes the
    // block starting at `blockStart`.
    [[nodiscard]] std::optional<std::size_t> FindTermination(std::size_t blockStart, ScanKind kind);

    [[nodiscard]] std::string_view Text() const { return text_; }
    [[nodiscard]] std::string_view Lowered() const { return lowered_; }

private:
    // First occurrence of a fixed pattern at or after a position, cached.
    struct Search {
        std::string_view pattern;
        // The pattern's least common character: the search runs from one of
        // its occurrences to the next (memchr), which skips most of a script.
        std::size_t anchor;
        std::size_t from = std::string_view::npos;
        std::size_t at = std::string_view::npos;
    };
    [[nodiscard]] std::size_t Find(Search& search, std::size_t from) const;
    // Whether the statement holding the keyword at `k` lets it start a
    // declaration: nothing but `allowed` words before it, looking back no
    // further than `searchStart`.
    [[nodiscard]] bool PrefixIsEmptyOr(std::size_t k, std::size_t searchStart,
                                       bool modifiersAllowed) const;

    std::string_view text_;
    std::string lowered_;
    Search sub_{"sub ", 2};                  // b
    Search event_{"sub form_", 8};           // _
    Search function_{"function ", 1};        // u
    Search endSub_{"end sub", 6};            // b
    Search endFunction_{"end function", 5};  // u
};

}  // namespace vk
