#include "filters/view_filter_reader.h"

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "filters/filter_pages.h"

namespace vk {
namespace {

constexpr std::string_view kHead = "[ViewFilter(";

// How one quote style encloses the command and each name or value.
struct Quoting {
    int style;
    std::string_view value;  // opening and closing sequence around a value
    std::string_view close;  // after ")]"
};

Quoting QuotingBefore(std::string_view line, std::size_t head) {
    const char before = head > 0 ? line[head - 1] : '\0';
    if (before == '"') return {0, "\"\"\"\"", "\""};
    if (before == '\'') return {1, "\"", "'"};
    return {2, "", ""};
}

// Cuts the slots of a command into its pieces, enclosures taken off. `pos`
// stands on the comma before the first piece or on the closing ")]"; it
// ends after the command's last character.
class SlotReader {
public:
    SlotReader(std::string_view text, const Quoting& q) : text_(text), q_(q) {}

    std::optional<std::vector<std::string>> Read(std::size_t& pos) const {
        std::vector<std::string> pieces;
        while (pos < text_.size() && text_[pos] == ',') {
            ++pos;
            const std::optional<std::string> piece = Piece(pos);
            if (!piece) return std::nullopt;
            pieces.push_back(*piece);
        }
        if (text_.substr(pos, 2) != ")]") return std::nullopt;
        pos += 2;
        if (text_.substr(pos, q_.close.size()) != q_.close) return std::nullopt;
        pos += q_.close.size();
        return pieces;
    }

private:
    // A value is enclosed when the style encloses values and the enclosure
    // is there; it ends at the first closing sequence that a comma or the
    // end of the command follows, since values are written undoubled.
    std::optional<std::string> Piece(std::size_t& pos) const {
        if (!q_.value.empty() && text_.substr(pos, q_.value.size()) == q_.value) {
            const std::size_t start = pos + q_.value.size();
            for (std::size_t at = text_.find(q_.value, start); at != std::string_view::npos;
                 at = text_.find(q_.value, at + 1)) {
                const std::size_t after = at + q_.value.size();
                if (after < text_.size() && (text_[after] == ',' || text_[after] == ')')) {
                    pos = after;
                    return std::string(text_.substr(start, at - start));
                }
            }
            return std::nullopt;
        }
        const std::size_t comma = text_.find(',', pos);
        // The closing ")]" is looked for once and again only when passed:
        // looking from every comma would make a line of commas quadratic.
        if (!closeAt_ || (*closeAt_ != std::string_view::npos && *closeAt_ < pos))
            closeAt_ = text_.find(")]", pos);
        const std::size_t end = std::min(comma, *closeAt_);
        if (end == std::string_view::npos) return std::nullopt;
        std::string piece(text_.substr(pos, end - pos));
        pos = end;
        return piece;
    }

    std::string_view text_;
    const Quoting& q_;
    mutable std::optional<std::size_t> closeAt_;  // the first ")]" at or after the last look
};

int IndexOf(std::span<const std::string_view> captions, std::string_view caption) {
    const auto it = std::find(captions.begin(), captions.end(), caption);
    return static_cast<int>(it - captions.begin());
}

// Sets a page to a comparison when the page has it.
void SetPage(FilterComparePage& page, FilterPage which, std::string_view caption,
             const std::string& min, const std::string& max, bool matchCase) {
    const auto captions = ComparisonsOf(which);
    const int index = IndexOf(captions, caption);
    if (index >= static_cast<int>(captions.size())) return;
    page = FilterComparePage{index, std::string(caption), min, max, matchCase};
}

void SetAllPages(ViewFilterInputs& in, std::string_view caption, const std::string& min,
                 const std::string& max, bool matchCase) {
    SetPage(in.name, FilterPage::Name, caption, min, max, matchCase);
    SetPage(in.text, FilterPage::Text, caption, min, max, matchCase);
    SetPage(in.number, FilterPage::Number, caption, min, max, false);
    SetPage(in.date, FilterPage::Date, caption, min, max, false);
    SetPage(in.time, FilterPage::Time, caption, min, max, false);
}

// Reads a field filter's pieces (field, operator, values) into the pages;
// gives the tag of a kind that has the comparison.
std::optional<int> ReadComparison(std::span<const std::string> t, ViewFilterInputs& in,
                                  std::string& problem) {
    if (t.size() < 2) {
        problem = "the command has too few parts";
        return std::nullopt;
    }
    const std::string& op = t[1];
    const std::string none;
    const std::string& v1 = t.size() > 2 ? t[2] : none;
    const std::string& v2 = t.size() > 3 ? t[3] : none;
    if (op == "Shared" || op == "Local") {
        in.shared = op == "Local" ? 1 : 0;
        return kSharedVsLocalTag;
    }
    if (op == "Checked" || op == "Not Checked") {
        in.checkbox = op == "Not Checked" ? 1 : 0;
        return 4;
    }
    if (op == "Blank") {
        SetAllPages(in, "Is Blank", none, none, false);
        return 0;
    }
    if (op == "Has Duplicates") {
        SetPage(in.name, FilterPage::Name, op, none, none, v2 == "1");
        return 5;
    }
    if (op == "Is Between") {
        SetAllPages(in, op, v1, v2, false);
        return 0;
    }
    const bool matchCase = v2 == "1";
    if (op == "Contains" || op == "Does Not Contain" || op == "Equal To") {
        SetAllPages(in, op, v1, none, matchCase);
        if (op == "Equal To") {
            in.selection_equals = true;
            in.selection = v1;
        }
        return 0;
    }
    if (op == "Not Equal To") {
        SetAllPages(in, op, v1, none, false);
        in.selection_equals = false;
        in.selection = v1;
        return 1;
    }
    if (op == "Greater Than" || op == "Less Than") {
        SetAllPages(in, op, v1, none, false);
        return 1;
    }
    if (op == "After" || op == "Before" || op == "On" || op == "At") {
        SetAllPages(in, op, v1, none, false);
        return op == "At" ? 8 : 2;
    }
    problem = "unknown comparison \"" + op + "\"";
    return std::nullopt;
}

// Fills the inputs from the kind word and the pieces after the except word.
bool ReadKind(std::string_view kind, const std::vector<std::string>& t, ViewFilterInputs& in,
              std::string& problem) {
    if (kind == "F") {
        const std::optional<int> tag = ReadComparison(t, in, problem);
        if (!tag) return false;
        in.field =
            FilterEntry{*tag == kSharedVsLocalTag ? std::string(kSharedVsLocalText) : t[0], *tag};
        return true;
    }
    if (kind != "CTI" && kind != "CTCTI" && kind != "CTCF") {
        problem = "unknown filter kind \"" + std::string(kind) + "\"";
        return false;
    }
    const std::size_t needed = kind == "CTI" ? 3 : kind == "CTCTI" ? 5 : 4;
    if (t.size() < needed) {
        problem = "the command has too few parts";
        return false;
    }
    in.field = ConnectionEntry(t[0], t[1]);
    if (kind == "CTI") {
        in.filter_by = FilterEntry{std::string(kConnectionToItemText), kConnectionToItemTag};
        in.item_name = t[2];
    } else if (kind == "CTCTI") {
        in.filter_by = ConnectionEntry(t[2], t[3]);
        in.item_name = t[4];
    } else {
        const std::span<const std::string> rest(t.begin() + 2, t.end());
        const std::optional<int> tag = ReadComparison(rest, in, problem);
        if (!tag) return false;
        in.filter_by =
            FilterEntry{*tag == kSharedVsLocalTag ? std::string(kSharedVsLocalText) : t[2], *tag};
    }
    return true;
}

}  // namespace

FilterEntry ConnectionEntry(std::string_view connection, std::string_view category) {
    std::string text(connection);
    text.append(" ").append(category);
    return FilterEntry{text, -static_cast<int>(connection.size() + 1)};
}

ViewFilterReading ReadViewFilter(std::string_view line) {
    ViewFilterReading r;
    const std::size_t head = line.find(kHead);
    if (head == std::string_view::npos) {
        r.problem = "no ViewFilter command on this line";
        return r;
    }
    const Quoting q = QuotingBefore(line, head);
    const std::size_t begin = head - (q.style == 2 ? 0 : 1);
    std::size_t pos = head + kHead.size();
    r.begin = begin;
    r.end = line.find(")]", pos);
    r.end = r.end == std::string_view::npos ? line.size() : r.end + 2;

    const auto fail = [&](std::string problem) {
        r.problem = std::move(problem);
        return r;
    };
    // The filter number, then "Clear" or the kind word and the except word.
    const std::size_t digits = line.find_first_not_of("0123456789", pos);
    if (digits == pos || digits == std::string_view::npos || line[digits] != ',')
        return fail("the filter number is missing");
    const std::string_view number = line.substr(pos, digits - pos);
    if (number.size() != 1 || number[0] < '1' || number[0] > '4')
        return fail("the filter number " + std::string(number) + " is not 1 to 4");
    pos = digits + 1;

    ViewFilterInputs in;
    in.quote_style = q.style;
    in.filter_number = number[0] - '0';
    const std::size_t kindEnd = line.find_first_of(",)", pos);
    if (kindEnd == std::string_view::npos) return fail("the command is not complete");
    const std::string_view kind = line.substr(pos, kindEnd - pos);
    std::vector<std::string> pieces;
    if (kind == "Clear") {
        pos = kindEnd;
        if (!SlotReader(line, q).Read(pos)) return fail("the command is not complete");
        in.field = FilterEntry{std::string(kAllItemsText), kAllItemsTag};
    } else {
        if (line[kindEnd] != ',') return fail("the command is not complete");
        pos = kindEnd + 1;
        const std::size_t exceptEnd = line.find_first_of(",)", pos);
        if (exceptEnd == std::string_view::npos) return fail("the command is not complete");
        const std::string_view except = line.substr(pos, exceptEnd - pos);
        if (!except.empty() && except != "Not")
            return fail("\"" + std::string(except) + "\" is not the except word Not");
        in.except = except == "Not";
        pos = exceptEnd;
        std::optional<std::vector<std::string>> slots = SlotReader(line, q).Read(pos);
        if (!slots) return fail("the command is not complete");
        if (!ReadKind(kind, *slots, in, r.problem)) return r;
    }
    r.end = pos;

    // What cannot be composed again exactly (extra parts, a stray comma) is
    // not offered for changing: the builder would silently write another
    // command.
    const std::optional<std::string> again = ComposeViewFilter(in);
    if (!again || *again != line.substr(r.begin, r.end - r.begin))
        return fail("the command does not have the form the builder writes");
    r.inputs = std::move(in);
    return r;
}

}  // namespace vk
