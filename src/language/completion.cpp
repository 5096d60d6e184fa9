#include "language/completion.h"

#include <algorithm>

#include "common/text_helpers.h"
#include "language/builtin_names.h"
#include "language/builtin_reference.h"
#include "language/caret_context.h"
#include "language/form_host.h"
#include "language/symbol_text.h"

namespace vk::language {
namespace {

// Where a candidate comes from, so that only the names that make the list
// get their texts built.
enum class Source : std::uint8_t {
    Keyword,
    Builtin,
    FormObject,
    Declaration,
    FormMember,
    Event,
    Field,
    Connection,
    ConnectionCategory,
};

struct Candidate {
    std::string_view label;
    CompletionKind kind;
    Source source;
    std::uint8_t rank;  // 0: begins with what is typed; 1: holds it
    std::uint32_t index;
};

// Words the grammar knows that are of no use to offer (the engine has no
// typed declarations).
bool Offered(const SeedName& seed) {
    if (seed.kind != SeedKind::Keyword && seed.kind != SeedKind::Word) return false;
    return seed.name != "As" && seed.name != "Optional" && seed.name != "ParamArray" &&
           seed.name != "Object";
}

// Ranks a name against the folded typed text; -1 when it does not match.
int Rank(std::string_view name, std::string_view typed) {
    if (typed.empty()) return 0;
    if (name.size() < typed.size()) return -1;
    const auto equalFolded = [](char a, char b) { return AsciiLower(a) == b; };
    if (std::equal(typed.begin(), typed.end(), name.begin(),
                   [&](char t, char n) { return equalFolded(n, t); }))
        return 0;
    const auto found = std::search(name.begin() + 1, name.end(), typed.begin(), typed.end(),
                                   [&](char n, char t) { return equalFolded(n, t); });
    return found != name.end() ? 1 : -1;
}

int CompareFolded(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char x = AsciiLower(a[i]), y = AsciiLower(b[i]);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

CompletionKind KindOf(const Declaration& declaration, bool member) {
    switch (declaration.kind) {
        case DeclarationKind::Procedure:
            return member ? CompletionKind::Member : CompletionKind::Procedure;
        case DeclarationKind::Class:
            return CompletionKind::Class;
        case DeclarationKind::Constant:
            return CompletionKind::Constant;
        case DeclarationKind::Parameter:
            return CompletionKind::Parameter;
        case DeclarationKind::Host:
            return CompletionKind::Object;
        default:
            return member ? CompletionKind::Member : CompletionKind::Variable;
    }
}

// The scope a declaration being typed stands in: the procedure the parser
// made of the declaration itself does not count.
std::uint32_t ScopeAround(const SyntaxTree& tree, std::uint32_t offset, TextRange typed) {
    const std::uint32_t scope = ScopeAtCaret(tree, offset);
    if (tree.scopes.empty()) return scope;
    const Scope& s = tree.scopes[scope];
    if (s.kind == ScopeKind::Procedure &&
        tree.procedures[static_cast<std::size_t>(s.owner)].name.offset == typed.offset)
        return static_cast<std::uint32_t>(s.parent);
    return scope;
}

class Builder {
public:
    Builder(std::string_view text, const SyntaxTree& tree, const CompletionSources& sources,
            std::string_view typed)
        : text_(text), tree_(tree), sources_(sources), typed_(FoldAsciiCase(typed)) {}

    void Offer(std::string_view label, CompletionKind kind, Source source, std::uint32_t index) {
        const int rank = Rank(label, typed_);
        if (rank < 0) return;
        candidates_.push_back({label, kind, source, static_cast<std::uint8_t>(rank), index});
    }

    void Keywords() {
        const auto seeds = SeedNames();
        for (std::uint32_t i = 0; i < seeds.size(); ++i)
            if (Offered(seeds[i]))
                Offer(seeds[i].name, CompletionKind::Keyword, Source::Keyword, i);
    }

    void Builtins() {
        if (!sources_.reference) return;
        const auto& topics = sources_.reference->Topics();
        for (std::uint32_t i = 0; i < topics.size(); ++i) {
            const SeedKind kind = topics[i].kind;
            const CompletionKind shown = kind == SeedKind::Function   ? CompletionKind::Function
                                         : kind == SeedKind::Constant ? CompletionKind::Constant
                                         : kind == SeedKind::Class    ? CompletionKind::Class
                                                                      : CompletionKind::Object;
            Offer(topics[i].name, shown, Source::Builtin, i);
        }
    }

    // The script's names visible in `scope`: its own, its class's, the
    // script's; a name declared twice is offered once.
    void Declarations(std::uint32_t scope) {
        std::vector<std::uint32_t> scopes;
        if (tree_.scopes.empty()) {  // a text not parsed (binary data)
            Offer("Form", CompletionKind::Object, Source::FormObject, 0);
            return;
        }
        for (std::int32_t s = static_cast<std::int32_t>(scope); s != kNone;
             s = tree_.scopes[static_cast<std::size_t>(s)].parent)
            scopes.push_back(static_cast<std::uint32_t>(s));
        bool hostForm = false;
        for (const std::uint32_t s : scopes)
            for (const std::uint32_t index : tree_.DeclarationsIn(s)) {
                const Declaration& declaration = tree_.declarations[index];
                if (declaration.target != kNone && declaration.kind != DeclarationKind::Procedure &&
                    declaration.kind != DeclarationKind::Class)
                    continue;  // a second declaration of a name, or a ReDim of one
                if (declaration.kind == DeclarationKind::Host &&
                    EqualsIgnoringAsciiCase(tree_.Name(declaration.nameId), "Form"))
                    hostForm = true;
                if (!seen_.empty() && seen_[declaration.nameId]) continue;
                Mark(declaration.nameId);
                Offer(Spelled(declaration.name), KindOf(declaration, false), Source::Declaration,
                      index);
            }
        if (!hostForm) Offer("Form", CompletionKind::Object, Source::FormObject, 0);
    }

    // After `Me.` in a class: its members.
    void ClassMembers(std::uint32_t scope) {
        if (tree_.scopes.empty()) return;
        std::int32_t s = static_cast<std::int32_t>(scope);
        while (s != kNone && tree_.scopes[static_cast<std::size_t>(s)].kind != ScopeKind::Class)
            s = tree_.scopes[static_cast<std::size_t>(s)].parent;
        if (s == kNone) return;
        for (const std::uint32_t index : tree_.DeclarationsIn(static_cast<std::uint32_t>(s))) {
            const Declaration& declaration = tree_.declarations[index];
            if (declaration.target != kNone && declaration.kind != DeclarationKind::Procedure)
                continue;
            if (!seen_.empty() && seen_[declaration.nameId]) continue;
            Mark(declaration.nameId);
            Offer(Spelled(declaration.name), KindOf(declaration, true), Source::Declaration, index);
        }
    }

    void FormMembers() {
        const auto members = language::FormMembers();
        for (std::uint32_t i = 0; i < members.size(); ++i)
            Offer(members[i].name, CompletionKind::Member, Source::FormMember, i);
    }

    // The events the script does not define yet.
    void Events() {
        const auto events = FormEvents();
        for (std::uint32_t i = 0; i < events.size(); ++i) {
            bool defined = false;
            for (const Procedure& procedure : tree_.procedures)
                if (procedure.classIndex == kNone &&
                    EqualsIgnoringAsciiCase(Spelled(procedure.name), events[i].name))
                    defined = true;
            if (!defined) Offer(events[i].name, CompletionKind::Event, Source::Event, i);
        }
    }

    void Fields(const CategorySchema* schema) {
        if (!schema) return;
        schema_ = schema;
        for (std::uint32_t i = 0; i < schema->fields.size(); ++i)
            Offer(schema->fields[i], CompletionKind::Field, Source::Field, i);
    }

    void Connections() {
        if (!(schema_ = sources_.schema)) return;
        for (std::uint32_t i = 0; i < schema_->connections.size(); ++i)
            Offer(schema_->connections[i].name, CompletionKind::Connection, Source::Connection, i);
    }

    void ConnectedCategories(std::string_view connection) {
        if (!(schema_ = sources_.schema)) return;
        for (std::uint32_t i = 0; i < schema_->connections.size(); ++i)
            if (EqualsIgnoringAsciiCase(schema_->connections[i].name, connection))
                Offer(schema_->connections[i].category, CompletionKind::Category,
                      Source::ConnectionCategory, i);
    }

    CompletionList Take(TextRange replace, std::size_t limit) {
        CompletionList list;
        list.replace = replace;
        const auto better = [](const Candidate& a, const Candidate& b) {
            if (a.rank != b.rank) return a.rank < b.rank;
            const int order = CompareFolded(a.label, b.label);
            if (order != 0) return order < 0;
            return a.label < b.label;
        };
        if (candidates_.size() > limit) {
            std::partial_sort(candidates_.begin(),
                              candidates_.begin() + static_cast<std::ptrdiff_t>(limit),
                              candidates_.end(), better);
            candidates_.resize(limit);
            list.incomplete = true;
        } else {
            std::sort(candidates_.begin(), candidates_.end(), better);
        }
        list.items.reserve(candidates_.size());
        for (const Candidate& candidate : candidates_) list.items.push_back(Item(candidate));
        return list;
    }

private:
    std::string_view Spelled(TextRange range) const {
        return range.offset <= text_.size() ? text_.substr(range.offset, range.length)
                                            : std::string_view();
    }
    void Mark(NameId id) {
        if (seen_.empty()) seen_.assign(tree_.nameStarts.size(), false);
        if (id < seen_.size()) seen_[id] = true;
    }

    CompletionItem Item(const Candidate& candidate) const {
        CompletionItem item;
        item.label = std::string(candidate.label);
        item.kind = candidate.kind;
        switch (candidate.source) {
            case Source::Builtin: {
                const BuiltinTopic& topic = sources_.reference->Topics()[candidate.index];
                item.detail = topic.syntax;
                item.documentation = topic.summary;
                break;
            }
            case Source::Declaration:
                item.detail = DeclarationText(tree_, text_, tree_.declarations[candidate.index]);
                break;
            case Source::FormObject:
                item.detail = "The detail form";
                break;
            case Source::FormMember: {
                const FormMember& member = language::FormMembers()[candidate.index];
                item.detail = std::string(member.syntax);
                item.documentation = std::string(member.summary);
                break;
            }
            case Source::Event: {
                const FormEvent& event = FormEvents()[candidate.index];
                item.insertText =
                    std::string(event.name) + "(" + std::string(event.parameters) + ")";
                item.detail = "Sub " + item.insertText;
                item.documentation = std::string(event.summary);
                break;
            }
            case Source::Connection:
                item.detail = schema_->connections[candidate.index].category;
                break;
            case Source::ConnectionCategory:
                item.detail = schema_->connections[candidate.index].name;
                break;
            case Source::Field:
                item.detail = "Field";
                break;
            case Source::Keyword:
                break;
        }
        return item;
    }

    std::string_view text_;
    const SyntaxTree& tree_;
    const CompletionSources& sources_;
    std::string typed_;
    std::vector<Candidate> candidates_;
    std::vector<bool> seen_;
    const CategorySchema* schema_ = nullptr;
};

}  // namespace

CompletionList Complete(std::string_view text, const SyntaxTree& tree, std::uint32_t offset,
                        const CompletionSources& sources, std::size_t limit) {
    const CaretContext context = ContextAt(text, offset);
    const std::string_view typed = context.typed.offset <= text.size()
                                       ? text.substr(context.typed.offset, context.typed.length)
                                       : std::string_view();
    Builder builder(text, tree, sources, typed);
    switch (context.place) {
        case CaretPlace::Nothing:
            return {{}, context.typed, false};
        case CaretPlace::Code:
            builder.Keywords();
            builder.Builtins();
            builder.Declarations(ScopeAtCaret(tree, offset));
            break;
        case CaretPlace::Member:
            if (EqualsIgnoringAsciiCase(context.object, "Form"))
                builder.FormMembers();
            else if (EqualsIgnoringAsciiCase(context.object, "Me"))
                builder.ClassMembers(ScopeAtCaret(tree, offset));
            break;
        case CaretPlace::NewName:
            if (context.declaring == "sub" && ScopeAround(tree, offset, context.typed) == 0)
                builder.Events();
            break;
        case CaretPlace::NameString:
            switch (context.nameArgument) {
                case NameArgument::Field:
                    builder.Fields(sources.schema);
                    break;
                case NameArgument::ConnectedField:
                    if (sources.otherCategory)
                        builder.Fields(sources.otherCategory(context.argumentOf));
                    break;
                case NameArgument::Connection:
                    builder.Connections();
                    break;
                case NameArgument::ConnectionCategory:
                    builder.ConnectedCategories(context.argumentOf);
                    break;
            }
            break;
    }
    return builder.Take(context.typed, limit);
}

}  // namespace vk::language
