#include "browser/script_scanner.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "browser/scan_dump.h"

namespace vk {
namespace {

constexpr auto npos = std::string_view::npos;

constexpr bool IsBlank(char c) noexcept { return static_cast<unsigned char>(c) <= 32; }
constexpr bool IsLineEnd(char c) noexcept { return c == '\r' || c == '\n'; }

std::string LowerAscii(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return static_cast<char>(static_cast<unsigned>(u - 'A') < 26u ? u + ('a' - 'A') : u);
    });
    return lowered;
}

// [begin, end) without blanks and control characters at either end.
std::pair<std::size_t, std::size_t> Trimmed(std::string_view text, std::size_t begin,
                                            std::size_t end) {
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return {begin, end};
}

std::size_t KeywordLength(ScanKind kind) {
    switch (kind) {
        case ScanKind::Event:
            return std::string_view("sub form_").size();
        case ScanKind::Sub:
            return std::string_view("sub ").size();
        case ScanKind::Function:
            return std::string_view("function ").size();
    }
    return 0;
}

std::optional<std::size_t> Found(std::size_t pos) {
    return pos == npos ? std::nullopt : std::optional<std::size_t>(pos);
}

// 1-based line numbers of increasing positions, counting line ends as the
// editor does (CR LF, a lone CR or a lone LF) without reading the text twice.
class LineCounter {
public:
    explicit LineCounter(std::string_view text) : text_(text) {}
    int LineOf(std::size_t pos) {
        if (pos < pos_) {
            pos_ = 0;
            line_ = 1;
        }
        for (; pos_ < pos && pos_ < text_.size(); ++pos_) {
            const char c = text_[pos_];
            if (c == '\n' || (c == '\r' && (pos_ + 1 == text_.size() || text_[pos_ + 1] != '\n')))
                ++line_;
        }
        return line_;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

std::string_view KindName(ScanKind kind) {
    switch (kind) {
        case ScanKind::Event:
            return "Event";
        case ScanKind::Sub:
            return "Sub";
        case ScanKind::Function:
            return "Function";
    }
    return {};
}

std::string_view StateName(ScanState state) {
    switch (state) {
        case ScanState::Code:
            return "Code";
        case ScanState::NoCode:
            return "NoCode";
        case ScanState::NoEnd:
            return "NoEnd";
    }
    return {};
}

ScriptScanner::ScriptScanner(std::string_view text) : text_(text), lowered_(LowerAscii(text)) {}

std::size_t ScriptScanner::Find(Search& search, std::size_t from) const {
    // A search from a later position that does not pass the last hit has the
    // same answer.
    if (search.from != npos && from >= search.from && (search.at == npos || from <= search.at))
        return search.at;
    search.from = from;
    search.at = npos;
    const std::string_view pattern = search.pattern;
    const char anchor = pattern[search.anchor];
    const char* const begin = lowered_.data();
    const char* const end = begin + lowered_.size();
    if (lowered_.size() < pattern.size() || from > lowered_.size() - pattern.size()) return npos;
    // The anchor of a match at `from` or later lies at from + anchor or later,
    // and no further than where the pattern still fits.
    const char* p = begin + from + search.anchor;
    const char* const last = end - (pattern.size() - search.anchor);
    while (p <= last) {
        p = static_cast<const char*>(
            std::memchr(p, anchor, static_cast<std::size_t>(last - p) + 1));
        if (p == nullptr) break;
        const char* start = p - search.anchor;
        // The first character rules out most places before a full compare.
        if (*start == pattern[0] && std::memcmp(start, pattern.data(), pattern.size()) == 0) {
            search.at = static_cast<std::size_t>(start - begin);
            break;
        }
        ++p;
    }
    return search.at;
}

bool ScriptScanner::PrefixIsEmptyOr(std::size_t k, std::size_t searchStart,
                                    bool modifiersAllowed) const {
    // The keyword's statement starts after the last line end or colon before
    // it. A colon or apostrophe inside a string, and a colon inside a
    // comment, do not count: `' note: sub x` and `s = "a: sub b"` are no
    // declarations.
    std::size_t lineStart = searchStart;
    for (std::size_t i = k; i > searchStart; --i) {
        if (IsLineEnd(lowered_[i - 1])) {
            lineStart = i;
            break;
        }
    }
    std::size_t statement = lineStart;
    bool inString = false;
    for (std::size_t i = lineStart; i < k; ++i) {
        const char c = lowered_[i];
        if (c == '"') {
            inString = !inString;
        } else if (!inString && c == ':') {
            statement = i + 1;
        } else if (!inString && c == '\'') {
            return false;  // a comment
        }
    }
    if (inString) return false;
    const auto [begin, end] = Trimmed(lowered_, statement, k);
    const std::string_view prefix(lowered_.data() + begin, end - begin);
    return prefix.empty() || (modifiersAllowed && (prefix == "private" || prefix == "public"));
}

std::optional<Identifier> ScriptScanner::GetNextIdentifier(std::size_t from) {
    for (std::size_t p = from; p < lowered_.size();) {
        const std::size_t event = Find(event_, p);
        const std::size_t sub = Find(sub_, p);
        const std::size_t function = Find(function_, p);
        // An event is also a "sub " at the same position; it stays an event.
        std::optional<Identifier> candidate;
        if (event != npos) candidate = Identifier{event, ScanKind::Event};
        if (sub != npos && (!candidate || sub < candidate->pos))
            candidate = Identifier{sub, ScanKind::Sub};
        if (function != npos && (!candidate || function < candidate->pos))
            candidate = Identifier{function, ScanKind::Function};
        if (!candidate) return std::nullopt;
        if (PrefixIsEmptyOr(candidate->pos, from, true)) return candidate;
        p = candidate->pos + 1;
    }
    return std::nullopt;
}

std::optional<std::size_t> ScriptScanner::FindTermination(std::size_t blockStart, ScanKind kind) {
    Search& search = kind == ScanKind::Function ? endFunction_ : endSub_;
    for (std::size_t p = blockStart; p < lowered_.size();) {
        const std::size_t at = Find(search, p);
        if (at == npos) return std::nullopt;
        if (PrefixIsEmptyOr(at, blockStart, false)) return at;
        p = at + 1;
    }
    return std::nullopt;
}

namespace {

ScanReport Scan(std::string_view text, ScanObserver& observer) {
    observer.Status("Initializing CodeBrowser", 0);
    observer.Reset();
    observer.Status("Scanning script", 1);

    ScanReport report;
    ScriptScanner scanner(text);
    const std::string_view lowered = scanner.Lowered();
    LineCounter lines(text);
    ScanDumpState where;
    where.text = text;
    where.lowered = lowered;
    try {
        std::optional<Identifier> cur = scanner.GetNextIdentifier(0);
        while (cur) {
            where = ScanDumpState();
            where.text = text;
            where.lowered = lowered;
            where.identifier = cur->pos;
            where.kind = cur->kind;
            const std::size_t nameStart = cur->pos + KeywordLength(cur->kind);

            // The name ends at the first line end, colon or bracket; the
            // block (the body) starts at the line end or colon.
            std::size_t lineEnd = npos;
            std::size_t colon = npos;
            std::size_t bracket = npos;
            for (std::size_t i = nameStart; i < lowered.size(); ++i) {
                const char c = lowered[i];
                if (IsLineEnd(c)) {
                    lineEnd = i;
                    break;
                }
                if (c == ':') {
                    colon = i;
                    break;
                }
                if (c == '(' && bracket == npos) bracket = i;
            }
            where.colon = Found(colon);
            where.bracket = Found(bracket);
            where.lineEnd = Found(lineEnd);
            const std::size_t blockStart = std::min({lineEnd, colon, lowered.size()});
            const std::size_t delimiter = std::min({blockStart, bracket});
            where.delimiter = delimiter;
            where.blockBegin = blockStart;

            const auto [begin, end] = Trimmed(text, nameStart, delimiter);
            where.nameOffset = begin;
            where.name = std::string(text.substr(begin, end - begin));
            if (begin == end) {
                // Nothing but blanks up to the end of the text: the user is
                // still typing the declaration.
                if (delimiter == lowered.size()) break;
                report.warnings.push_back("Incomplete declaration on line " +
                                          std::to_string(lines.LineOf(nameStart)));
                observer.Warning(report.warnings.back());
                cur = scanner.GetNextIdentifier(nameStart);
                continue;
            }

            ScanEntry entry{cur->kind, where.name, static_cast<std::int32_t>(begin),
                            ScanState::NoCode};
            report.entries.push_back(entry);
            observer.EntryFound(entry);

            const std::optional<std::size_t> termination =
                blockStart < lowered.size() ? scanner.FindTermination(blockStart, cur->kind)
                                            : std::nullopt;
            where.blockEnd = termination;
            const std::optional<Identifier> next = scanner.GetNextIdentifier(blockStart);
            ScanState state = ScanState::NoEnd;
            if (termination && (!next || *termination < next->pos)) {
                // The character that opens the block (line end or colon) is
                // not part of the body: `Sub A: End Sub` is empty.
                const auto [bodyBegin, bodyEnd] = Trimmed(lowered, blockStart + 1, *termination);
                state = bodyBegin < bodyEnd ? ScanState::Code : ScanState::NoCode;
            } else {
                report.messages.push_back(where.name + " not terminated @ line " +
                                          std::to_string(lines.LineOf(begin)));
                observer.NotTerminated(report.messages.back());
            }
            report.entries.back().state = state;
            observer.EntryFinished(report.entries.size() - 1, state);
            cur = next;
        }
    } catch (const std::exception& error) {
        observer.Failed(FormatScanDump(where, error.what(), DumpTimestamp()));
        throw;
    }
    observer.Status("", 1);
    return report;
}

}  // namespace

ScanReport ParseScript(std::string_view text, ScanObserver& observer) {
    return Scan(text, observer);
}

ScanReport ParseScript(std::string_view text) {
    ScanObserver quiet;
    return Scan(text, quiet);
}

}  // namespace vk
