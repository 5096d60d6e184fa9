#include "language/inspections.h"

#include <string>

#include "language/builtin_names.h"
#include "language/name_table.h"

namespace vk::language {
namespace {

// Lists of item indexes grouped by scope, in text order within each scope.
struct ByScope {
    std::vector<std::uint32_t> first;  // one more entry than there are scopes
    std::vector<std::uint32_t> items;

    template <typename Item>
    void Build(const std::vector<Item>& list, std::size_t scopes) {
        first.assign(scopes + 1, 0);
        for (const Item& item : list) ++first[item.scope + 1];
        for (std::size_t s = 1; s <= scopes; ++s) first[s] += first[s - 1];
        items.resize(list.size());
        std::vector<std::uint32_t> next(first.begin(), first.end() - 1);
        for (std::uint32_t i = 0; i < list.size(); ++i) items[next[list[i].scope]++] = i;
    }
    [[nodiscard]] std::span<const std::uint32_t> Of(std::uint32_t scope) const {
        return std::span<const std::uint32_t>(items).subspan(first[scope],
                                                             first[scope + 1] - first[scope]);
    }
};

// Whether a name the script does not declare is one the engine or the host
// gives it.
bool IsGiven(NameId id) {
    if (id >= NameTable::SeedCount()) return false;
    const SeedKind kind = SeedNames()[id].kind;
    return kind != SeedKind::Keyword && kind != SeedKind::Word;
}

class Inspector {
public:
    Inspector(std::string_view text, SyntaxTree& tree, ProblemList& problems)
        : text_(text), tree_(tree), problems_(problems) {}

    void Run();

private:
    using Map = std::vector<std::int32_t>;  // name id -> declaration

    void Declare(Map& map, std::uint32_t scope, std::vector<NameId>* touched);
    void Declare(Map& map, std::uint32_t index, std::vector<NameId>* touched, bool reDim);
    void ResolveIn(std::uint32_t scope, const Map* local, const Map* members);
    void Clear(Map& map, std::vector<NameId>& touched) {
        for (const NameId id : touched) map[id] = kNone;
        touched.clear();
    }
    [[nodiscard]] bool MayShare(const Declaration& a, const Declaration& b) const;
    [[nodiscard]] std::string Spelled(TextRange range) const {
        return "'" + std::string(text_.substr(range.offset, range.length)) + "'";
    }
    void CheckReferences();
    void CheckArguments(const Reference& reference, std::uint32_t given, TextRange where);
    void CheckUnused();

    std::string_view text_;
    SyntaxTree& tree_;
    ProblemList& problems_;
    // A stretch of references of one scope: references[begin, end).
    struct Stretch {
        std::uint32_t scope;
        std::uint32_t begin;
        std::uint32_t end;
    };
    std::vector<Stretch> stretches_;
    ByScope stretchesByScope_;
    Map global_;
    Map members_;
    Map local_;
};

// Property Get, Let and Set of one name belong together. A name the host
// gives ($OBJECT=) may be given again, and is not the script's to redefine.
bool Inspector::MayShare(const Declaration& a, const Declaration& b) const {
    if (a.kind == DeclarationKind::Host || b.kind == DeclarationKind::Host) return true;
    if (a.kind != DeclarationKind::Procedure || b.kind != DeclarationKind::Procedure) return false;
    const ProcedureKind ka = tree_.procedures[static_cast<std::size_t>(a.target)].kind;
    const ProcedureKind kb = tree_.procedures[static_cast<std::size_t>(b.target)].kind;
    return ka != kb && ka >= ProcedureKind::PropertyGet && kb >= ProcedureKind::PropertyGet;
}

void Inspector::Declare(Map& map, std::uint32_t scope, std::vector<NameId>* touched) {
    // ReDims last: `ReDim a(9)` before `Dim a()` in the same procedure
    // resizes the array declared there.
    for (const bool reDims : {false, true})
        for (const std::uint32_t index : tree_.DeclarationsIn(scope))
            if ((tree_.declarations[index].kind == DeclarationKind::ReDim) == reDims)
                Declare(map, index, touched, reDims);
}

void Inspector::Declare(Map& map, std::uint32_t index, std::vector<NameId>* touched, bool reDim) {
    Declaration& declaration = tree_.declarations[index];
    const NameId id = declaration.nameId;
    if (reDim) {
        // ReDim of a name declared before resizes it; otherwise it declares
        // it.
        std::int32_t existing = map[id];
        if (existing == kNone && &map == &local_) existing = members_[id];
        if (existing == kNone && &map != &global_) existing = global_[id];
        if (existing != kNone) {
            declaration.target = existing;
            ++tree_.declarations[static_cast<std::size_t>(existing)].referenceCount;
            return;
        }
    }
    const std::int32_t existing = map[id];
    if (existing != kNone) {
        if (!MayShare(tree_.declarations[static_cast<std::size_t>(existing)], declaration)) {
            problems_.Add(Severity::Error, DiagnosticCode::NameRedefined, declaration.name,
                          "Name redefined: " + Spelled(declaration.name));
            declaration.target = existing;
        }
        return;
    }
    map[id] = static_cast<std::int32_t>(index);
    if (touched) touched->push_back(id);
}

void Inspector::ResolveIn(std::uint32_t scope, const Map* local, const Map* members) {
    for (const std::uint32_t stretch : stretchesByScope_.Of(scope))
        for (std::uint32_t index = stretches_[stretch].begin; index < stretches_[stretch].end;
             ++index) {
            Reference& reference = tree_.references[index];
            const NameId id = reference.nameId;
            std::int32_t found = local ? (*local)[id] : kNone;
            if (found == kNone && members) found = (*members)[id];
            if (found == kNone) found = global_[id];
            reference.declaration = found;
            if (found != kNone) {
                ++tree_.declarations[static_cast<std::size_t>(found)].referenceCount;
            } else if (id == KnownSeedIds().execute || id == KnownSeedIds().executeGlobal) {
                tree_.executesText = true;
            }
        }
}

void Inspector::Run() {
    const std::size_t scopeCount = tree_.scopes.size();
    const std::size_t nameCount = tree_.nameStarts.size() - 1;

    ByScope declarations;
    declarations.Build(tree_.declarations, scopeCount);
    tree_.declarationsByScope = declarations.items;
    for (std::uint32_t s = 0; s < scopeCount; ++s) {
        tree_.scopes[s].firstDeclaration = declarations.first[s];
        tree_.scopes[s].declarationCount = declarations.first[s + 1] - declarations.first[s];
    }
    // References come in text order, so a procedure's are one stretch of them;
    // the script's and a class's are a few stretches between procedures.
    stretches_.clear();
    for (std::uint32_t i = 0; i < tree_.references.size(); ++i) {
        const std::uint32_t scope = tree_.references[i].scope;
        if (stretches_.empty() || stretches_.back().scope != scope)
            stretches_.push_back({scope, i, i + 1});
        else
            stretches_.back().end = i + 1;
    }
    stretchesByScope_.Build(stretches_, scopeCount);

    global_.assign(nameCount, kNone);
    members_.assign(nameCount, kNone);
    local_.assign(nameCount, kNone);
    std::vector<NameId> touchedMembers;
    std::vector<NameId> touchedLocals;

    Declare(global_, 0, nullptr);
    ResolveIn(0, nullptr, nullptr);
    // A class's members, then each of its procedures; then the procedures
    // at script level. Scopes come in text order, a class before its
    // procedures.
    for (std::uint32_t s = 1; s < scopeCount; ++s) {
        const Scope& scope = tree_.scopes[s];
        if (scope.kind == ScopeKind::Class) {
            Clear(members_, touchedMembers);
            Declare(members_, s, &touchedMembers);
            ResolveIn(s, nullptr, &members_);
            continue;
        }
        const bool inClass = scope.parent > 0;
        if (!inClass) Clear(members_, touchedMembers);
        Declare(local_, s, &touchedLocals);
        ResolveIn(s, &local_, inClass ? &members_ : nullptr);
        Clear(local_, touchedLocals);
    }

    CheckReferences();
    CheckUnused();
}

void Inspector::CheckArguments(const Reference& reference, std::uint32_t given, TextRange where) {
    const Declaration& declaration =
        tree_.declarations[static_cast<std::size_t>(reference.declaration)];
    if (declaration.kind != DeclarationKind::Procedure) return;
    const Procedure& procedure = tree_.procedures[static_cast<std::size_t>(declaration.target)];
    if (procedure.kind != ProcedureKind::Sub && procedure.kind != ProcedureKind::Function) return;
    if (procedure.parameterCount == given) return;
    problems_.Add(Severity::Error, DiagnosticCode::WrongArgumentCount, where,
                  "Wrong number of arguments: " + Spelled(reference.name) + " takes " +
                      std::to_string(procedure.parameterCount) + ", given " +
                      std::to_string(given));
}

// One pass over the references for what each alone tells.
void Inspector::CheckReferences() {
    const bool anyNameGoes = tree_.executesText;
    for (const Reference& reference : tree_.references) {
        if (reference.declaration == kNone) {
            if (anyNameGoes) continue;
            if (reference.kind == ReferenceKind::New) {
                if (reference.nameId != KnownSeedIds().regExp)
                    problems_.Add(Severity::Error, DiagnosticCode::ClassNotDefined, reference.name,
                                  "Class not defined: " + Spelled(reference.name));
            } else if (tree_.optionExplicit && !IsGiven(reference.nameId)) {
                problems_.Add(Severity::Error, DiagnosticCode::UndefinedVariable, reference.name,
                              "Variable is undefined: " + Spelled(reference.name));
            }
            continue;
        }
        if (reference.kind == ReferenceKind::Read) {
            // `x = Calc` calls Function Calc without arguments, except
            // inside Calc, where the name is its result.
            const Declaration& declaration =
                tree_.declarations[static_cast<std::size_t>(reference.declaration)];
            if (declaration.kind == DeclarationKind::Procedure &&
                tree_.procedures[static_cast<std::size_t>(declaration.target)].scope !=
                    reference.scope &&
                tree_.procedures[static_cast<std::size_t>(declaration.target)].kind ==
                    ProcedureKind::Function)
                CheckArguments(reference, 0, reference.name);
        } else if (reference.kind == ReferenceKind::New) {
            const Declaration& declaration =
                tree_.declarations[static_cast<std::size_t>(reference.declaration)];
            if (declaration.kind != DeclarationKind::Class)
                problems_.Add(Severity::Error, DiagnosticCode::ClassNotDefined, reference.name,
                              "Class not defined: " + Spelled(reference.name));
        }
    }
    for (const CallSite& call : tree_.callSites) {
        const Reference& reference = tree_.references[call.reference];
        if (reference.declaration != kNone)
            CheckArguments(reference, call.argumentCount, call.range);
    }
}

void Inspector::CheckUnused() {
    // Code built as text may use any variable.
    if (tree_.executesText) return;
    for (const Declaration& declaration : tree_.declarations) {
        // A repeated declaration (target set) was reported as such.
        if (declaration.kind != DeclarationKind::Variable || declaration.referenceCount != 0 ||
            declaration.target != kNone)
            continue;
        if (tree_.scopes[declaration.scope].kind != ScopeKind::Procedure) continue;
        problems_.Add(Severity::Warning, DiagnosticCode::UnusedVariable, declaration.name,
                      "Variable " + Spelled(declaration.name) + " is declared but never used");
    }
}

}  // namespace

void Inspect(std::string_view text, SyntaxTree& tree, ProblemList& problems) {
    Inspector(text, tree, problems).Run();
}

}  // namespace vk::language
