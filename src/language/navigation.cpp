#include "language/navigation.h"

#include <algorithm>

#include "common/text_helpers.h"
#include "language/builtin_names.h"
#include "language/caret_context.h"
#include "language/form_host.h"
#include "language/name_lookup.h"

namespace vk::language {
namespace {

constexpr std::size_t kMaxNameLength = 255;

std::string_view Spelled(std::string_view text, TextRange range) {
    return range.End() <= text.size() ? text.substr(range.offset, range.length)
                                      : std::string_view();
}

struct Found {
    TextRange name;
    std::int32_t declaration = kNone;
};

Found NameAt(std::string_view text, const SyntaxTree& tree, std::uint32_t offset) {
    Found found;
    found.name = WordAround(text, offset);
    if (found.name.length > 0) found.declaration = DeclarationOfName(text, tree, found.name);
    return found;
}

// GetRef("Name") strings that name the procedure declared by `declaration`.
void AddGetRefStrings(std::string_view text, const SyntaxTree& tree, const Declaration& declaration,
                      std::vector<TextRange>& ranges) {
    const std::string_view name = Spelled(text, declaration.name);
    for (const CallSite& call : tree.callSites) {
        const Reference& callee = tree.references[call.reference];
        if (callee.declaration != kNone ||
            !EqualsIgnoringAsciiCase(tree.Name(callee.nameId), "GetRef"))
            continue;
        const std::string_view site = Spelled(text, call.range);
        std::size_t at = callee.name.End() - call.range.offset;
        while (at < site.size() && (site[at] == ' ' || site[at] == '\t' || site[at] == '(')) ++at;
        if (at >= site.size() || site[at] != '"') continue;
        const std::size_t close = site.find('"', at + 1);
        if (close == std::string_view::npos) continue;
        if (EqualsIgnoringAsciiCase(site.substr(at + 1, close - at - 1), name))
            ranges.push_back({static_cast<std::uint32_t>(call.range.offset + at + 1),
                              static_cast<std::uint32_t>(close - at - 1)});
    }
}

std::vector<TextRange> UsesOf(std::string_view text, const SyntaxTree& tree, std::int32_t index,
                              bool withDeclaration) {
    std::vector<TextRange> ranges;
    const Declaration& declaration = tree.declarations[static_cast<std::size_t>(index)];
    if (withDeclaration) ranges.push_back(declaration.name);
    for (const Reference& reference : tree.references)
        if (reference.declaration == index) ranges.push_back(reference.name);
    // A ReDim of the name, or a second declaration of it, writes the name too.
    for (const Declaration& other : tree.declarations)
        if (other.target == index && other.kind != DeclarationKind::Procedure &&
            other.kind != DeclarationKind::Class && other.nameId == declaration.nameId)
            ranges.push_back(other.name);
    if (declaration.kind == DeclarationKind::Procedure && declaration.scope == 0)
        AddGetRefStrings(text, tree, declaration, ranges);
    std::sort(ranges.begin(), ranges.end(),
              [](TextRange a, TextRange b) { return a.offset < b.offset; });
    ranges.erase(std::unique(ranges.begin(), ranges.end()), ranges.end());
    return ranges;
}

bool IsKeywordName(std::string_view name) {
    for (const SeedName& seed : SeedNames())
        if (seed.kind == SeedKind::Keyword && EqualsIgnoringAsciiCase(seed.name, name)) return true;
    return EqualsIgnoringAsciiCase(name, "Rem");
}

std::string NameProblem(std::string_view name) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (name.empty()) return "A name cannot be empty";
    if (name.size() > kMaxNameLength) return "A name has at most 255 characters";
    if (!letter(name.front())) return "A name begins with a letter";
    for (const char c : name)
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '_')
            return "A name holds letters, digits and underscores only";
    if (IsKeywordName(name)) return "'" + std::string(name) + "' is a keyword";
    return {};
}

// Why the declaration cannot be renamed at all; empty when it can.
std::string Refusal(std::string_view text, const ScriptCheck& check, const Found& found) {
    const SyntaxTree& tree = check.tree;
    const std::string shown(Spelled(text, found.name));
    if (found.declaration == kNone)
        return "'" + shown + "' is not declared by the script, so it cannot be renamed here";
    const Declaration& declaration = tree.declarations[static_cast<std::size_t>(found.declaration)];
    const Scope& scope = tree.scopes[declaration.scope];
    switch (declaration.kind) {
        case DeclarationKind::Class:
            return "A class cannot be renamed: it is used by New and in members";
        case DeclarationKind::Host:
            return "'" + shown + "' is given by Commence";
        case DeclarationKind::Procedure: {
            const Procedure& procedure =
                tree.procedures[static_cast<std::size_t>(declaration.target)];
            if (procedure.kind != ProcedureKind::Sub && procedure.kind != ProcedureKind::Function)
                return "A property cannot be renamed: its Get, Let and Set go together";
            if (scope.kind == ScopeKind::Script &&
                FindFormEvent(Spelled(text, declaration.name)) != nullptr)
                return "Commence calls '" + std::string(Spelled(text, declaration.name)) +
                       "' by its name";
            break;
        }
        default:
            break;
    }
    if (scope.kind == ScopeKind::Class)
        return "A member of a class is reached through a full stop, which rename cannot follow";
    if (tree.executesText)
        return "The script runs code built as text (Execute), which may use the name";
    // A syntax error may hide uses of the name.
    TextRange concerned{0, static_cast<std::uint32_t>(text.size())};
    if (scope.kind == ScopeKind::Procedure)
        concerned = tree.procedures[static_cast<std::size_t>(scope.owner)].range;
    for (const Diagnostic& problem : check.diagnostics)
        if (problem.code == DiagnosticCode::Syntax &&
            (concerned.Contains(problem.range.offset) || problem.range.offset == concerned.End()))
            return "Line " + std::to_string(problem.position.line) + " has a syntax error (" +
                   problem.message + "); correct it first, so that every use of the name is found";
    return {};
}

bool ScopeDeclares(const SyntaxTree& tree, std::uint32_t scope, std::string_view folded,
                   std::int32_t except) {
    for (const std::uint32_t index : tree.DeclarationsIn(scope))
        if (static_cast<std::int32_t>(index) != except &&
            FoldAsciiCase(tree.Name(tree.declarations[index].nameId)) == folded)
            return true;
    return false;
}

// Why renaming to `newName` would change what some name stands for; empty
// when nothing changes.
std::string Clash(const SyntaxTree& tree, std::int32_t index, std::string_view newName) {
    const Declaration& declaration = tree.declarations[static_cast<std::size_t>(index)];
    const std::string folded = FoldAsciiCase(newName);
    const std::string quoted = "'" + std::string(newName) + "'";
    if (ScopeDeclares(tree, declaration.scope, folded, index))
        return quoted + " is declared here already";
    const bool local = tree.scopes[declaration.scope].kind == ScopeKind::Procedure;
    std::vector<std::int8_t> shadows(tree.scopes.size(), -1);  // per scope: declares the new name
    for (const Reference& reference : tree.references) {
        if (reference.declaration == index) {
            // A use of the name inside a procedure or class that declares the
            // new name would then stand for that one.
            for (std::int32_t s = static_cast<std::int32_t>(reference.scope);
                 s != kNone && static_cast<std::uint32_t>(s) != declaration.scope;
                 s = tree.scopes[static_cast<std::size_t>(s)].parent) {
                std::int8_t& known = shadows[static_cast<std::size_t>(s)];
                if (known < 0)
                    known =
                        ScopeDeclares(tree, static_cast<std::uint32_t>(s), folded, kNone) ? 1 : 0;
                if (known == 1) return quoted + " is declared where the name is used";
            }
            continue;
        }
        if (FoldAsciiCase(tree.Name(reference.nameId)) != folded) continue;
        // A use of the new name that the renamed one would capture.
        const bool inScope =
            local ? reference.scope == declaration.scope : reference.declaration == kNone;
        if (inScope) return quoted + " is used in the same scope";
    }
    return {};
}

}  // namespace

std::optional<TextRange> DefinitionAt(std::string_view text, const SyntaxTree& tree,
                                      std::uint32_t offset) {
    const Found found = NameAt(text, tree, offset);
    if (found.declaration == kNone) return std::nullopt;
    return tree.declarations[static_cast<std::size_t>(found.declaration)].name;
}

std::vector<TextRange> ReferencesAt(std::string_view text, const SyntaxTree& tree,
                                    std::uint32_t offset, bool withDeclaration) {
    const Found found = NameAt(text, tree, offset);
    if (found.declaration == kNone) return {};
    return UsesOf(text, tree, found.declaration, withDeclaration);
}

RenamePlan PrepareRename(std::string_view text, const ScriptCheck& check, std::uint32_t offset) {
    const Found found = NameAt(text, check.tree, offset);
    RenamePlan plan;
    plan.name = found.name;
    if (found.name.length == 0)
        plan.refusal = "There is no name here to rename";
    else
        plan.refusal = Refusal(text, check, found);
    return plan;
}

RenamePlan PlanRename(std::string_view text, const ScriptCheck& check, std::uint32_t offset,
                      std::string_view newName) {
    RenamePlan plan = PrepareRename(text, check, offset);
    if (!plan.refusal.empty()) return plan;
    plan.refusal = NameProblem(newName);
    if (!plan.refusal.empty()) return plan;
    const std::int32_t index = NameAt(text, check.tree, offset).declaration;
    const Declaration& declaration = check.tree.declarations[static_cast<std::size_t>(index)];
    if (!EqualsIgnoringAsciiCase(check.tree.Name(declaration.nameId), newName)) {
        plan.refusal = Clash(check.tree, index, newName);
        if (!plan.refusal.empty()) return plan;
    }
    for (const TextRange range : UsesOf(text, check.tree, index, true))
        plan.edits.push_back({range, std::string(newName)});
    return plan;
}

}  // namespace vk::language
