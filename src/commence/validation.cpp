#include "commence/validation.h"

#include <algorithm>
#include <map>
#include <optional>

#include "commence/commands.h"
#include "commence/conversation.h"
#include "common/exceptions.h"
#include "common/messages.h"
#include "common/text_helpers.h"

namespace vk {
namespace {

constexpr std::string_view kValidationFailed = "Field & connection validation failed";

// What trimming removes: every control character and the space.
constexpr bool IsBlank(char c) noexcept { return static_cast<unsigned char>(c) <= ' '; }

// An even number of double quotes before `position`: it is not inside a string.
bool OutsideString(std::string_view line, std::size_t position) {
    return std::count(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(position), '"') %
               2 ==
           0;
}

// A cursor over the lower-cased line for the call patterns.
class Pattern {
public:
    Pattern(std::string_view lowered, std::size_t position) : text_(lowered), at_(position) {}

    void Blanks() {
        while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
    }
    [[nodiscard]] bool Literal(std::string_view literal) {
        if (text_.substr(at_, literal.size()) != literal) return false;
        at_ += literal.size();
        return true;
    }
    // A double-quoted name: the offset and length of what stands between the
    // quotes.
    [[nodiscard]] bool Quoted(std::size_t& offset, std::size_t& length) {
        if (!Literal("\"")) return false;
        const std::size_t close = text_.find('"', at_);
        if (close == std::string_view::npos) return false;
        offset = at_;
        length = close - at_;
        at_ = close + 1;
        return true;
    }
    [[nodiscard]] std::size_t At() const { return at_; }

private:
    std::string_view text_;
    std::size_t at_;
};

bool CaseInsensitiveLess(const NameReference& a, const NameReference& b) {
    const std::string la = FoldAsciiCase(a.name), lb = FoldAsciiCase(b.name);
    if (la != lb) return la < lb;
    return a.name < b.name;
}

// Stable, so the first of exact repeats (the leftmost) keeps its offset.
void SortAndDropRepeats(std::vector<NameReference>& list) {
    std::stable_sort(list.begin(), list.end(), CaseInsensitiveLess);
    list.erase(std::unique(
                   list.begin(), list.end(),
                   [](const NameReference& a, const NameReference& b) { return a.name == b.name; }),
               list.end());
}

// Keeps the line order; an exact repeat goes, the first keeping its offset.
void DropRepeats(std::vector<NameReference>& list) {
    std::vector<NameReference> kept;
    for (NameReference& reference : list) {
        const bool seen = std::any_of(kept.begin(), kept.end(), [&](const NameReference& k) {
            return k.name == reference.name;
        });
        if (!seen) kept.push_back(std::move(reference));
    }
    list = std::move(kept);
}

bool HasLine(const std::vector<std::string>& lines, std::string_view name) {
    return std::find(lines.begin(), lines.end(), name) != lines.end();
}

std::string InQuotes(std::string_view text) { return "'" + std::string(text) + "'"; }

// The lines of a reply. A request Commence leaves unanswered (it hung or went
// away mid-check) fails the check rather than making every name look missing.
std::vector<std::string> Ask(DdeConversation& conversation, std::string_view item) {
    const std::optional<std::string> reply = conversation.Request(item);
    if (!reply) throw EDDEFailed(std::string(kValidationFailed));
    return SplitLines(*reply);
}

std::size_t Missing(MessageService& messages, const std::string& what, std::string_view name,
                    std::string_view category, std::size_t offset) {
    messages.ShowError("The " + what + " " + InQuotes(name) + " does not exist in the category " +
                       InQuotes(category));
    return offset;
}

}  // namespace

std::vector<NameReference> ScanFieldCalls(std::string_view line) {
    const std::string lowered = FoldAsciiCase(line);
    std::vector<NameReference> found;
    std::size_t from = 0;
    while (from < lowered.size()) {
        const std::size_t field = lowered.find("field", from);
        const std::size_t moveTo = lowered.find("movetofield", from);
        if (field == std::string::npos && moveTo == std::string::npos) break;
        const bool isMoveTo = moveTo != std::string::npos && moveTo <= field;
        const std::size_t start = isMoveTo ? moveTo : field;
        const std::size_t afterWord = start + (isMoveTo ? 11 : 5);
        from = afterWord;
        if (start > 0 && !IsBlank(lowered[start - 1])) continue;
        if (!OutsideString(lowered, start)) continue;

        Pattern p(lowered, afterWord);
        std::size_t offset = 0, length = 0;
        p.Blanks();
        if (!p.Literal("(")) continue;
        p.Blanks();
        if (!p.Quoted(offset, length)) continue;
        p.Blanks();
        if (!p.Literal(")")) continue;
        found.push_back({std::string(line.substr(offset, length)), offset});
        from = p.At();
    }
    DropRepeats(found);
    return found;
}

ConnectionReferences ScanConnectionCalls(std::string_view line) {
    const std::string lowered = FoldAsciiCase(line);
    ConnectionReferences found;
    std::size_t from = 0;
    while (true) {
        const std::size_t start = lowered.find("connection", from);
        if (start == std::string::npos) break;
        from = start + 10;
        if (!OutsideString(lowered, start)) continue;

        Pattern p(lowered, from);
        std::size_t nameAt = 0, nameLength = 0, categoryAt = 0, categoryLength = 0;
        p.Blanks();
        if (!p.Literal("(")) continue;
        p.Blanks();
        if (!p.Quoted(nameAt, nameLength)) continue;
        p.Blanks();
        if (!p.Literal(",")) continue;
        p.Blanks();
        if (!p.Quoted(categoryAt, categoryLength)) continue;
        const std::string_view category = line.substr(categoryAt, categoryLength);
        found.connections.push_back(
            {std::string(line.substr(nameAt, nameLength)) + " " + std::string(category), nameAt});
        from = p.At();

        std::size_t fieldAt = 0, fieldLength = 0;
        p.Blanks();
        if (!p.Literal(").")) continue;
        p.Blanks();
        if (!p.Literal("fieldvalue")) continue;
        p.Blanks();
        if (!p.Literal("(")) continue;
        p.Blanks();
        if (!p.Quoted(fieldAt, fieldLength)) continue;
        found.connectionFields.push_back(
            {std::string(category) + "\r\n" + std::string(line.substr(fieldAt, fieldLength)),
             fieldAt});
        from = p.At();
    }
    SortAndDropRepeats(found.connections);
    SortAndDropRepeats(found.connectionFields);
    return found;
}

std::size_t ValidateLine(std::string_view database, std::string_view category,
                         std::string_view line, MessageService& messages) {
    const std::string_view code = StripComment(line);
    DdeConversation conversation;
    conversation.SetLink(commands::kService, database);
    if (!conversation.OpenLink()) throw EDDEFailed(std::string(kValidationFailed));

    if (!HasLine(Ask(conversation, commands::GetCategoryNames()), category)) {
        messages.ShowError("The category " + InQuotes(category) +
                           " does not exist in the database " + InQuotes(database));
        return 0;
    }

    const std::vector<NameReference> fields = ScanFieldCalls(code);
    if (!fields.empty()) {
        const auto known = Ask(conversation, commands::GetFieldNames(category));
        for (const NameReference& field : fields)
            if (!HasLine(known, field.name))
                return Missing(messages, "field", field.name, category, field.offset);
    }

    const ConnectionReferences connections = ScanConnectionCalls(code);
    if (!connections.connections.empty()) {
        // One line per connection: its name, a blank, the connected category.
        const auto known = Ask(conversation, commands::GetConnectionNames(category, "\r\n", " "));
        // The error names the pair as the script writes it: "Managed by Employee".
        for (const NameReference& connection : connections.connections)
            if (!HasLine(known, connection.name))
                return Missing(messages, "connection", connection.name, category,
                               connection.offset);
    }

    // Each connected category's fields are asked for once.
    std::map<std::string, std::vector<std::string>> fieldsOf;
    for (const NameReference& entry : connections.connectionFields) {
        const std::size_t split = entry.name.find("\r\n");
        const std::string connected = entry.name.substr(0, split);
        const std::string field = entry.name.substr(split + 2);
        auto it = fieldsOf.find(connected);
        if (it == fieldsOf.end())
            it = fieldsOf.emplace(connected, Ask(conversation, commands::GetFieldNames(connected)))
                     .first;
        if (!HasLine(it->second, field))
            return Missing(messages, "field", field, connected, entry.offset);
    }
    return 0;
}

}  // namespace vk
