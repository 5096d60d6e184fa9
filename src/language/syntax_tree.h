#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "language/text_range.h"

namespace vk::language {

// An index into the tree's name table. Names are compared without regard to
// ASCII case, as the script engine does: `Total` and `TOTAL` share an id.
using NameId = std::uint32_t;

// "No such item" for the signed indexes below.
inline constexpr std::int32_t kNone = -1;

enum class ScopeKind : std::uint8_t { Script, Class, Procedure };

struct Scope {
    ScopeKind kind = ScopeKind::Script;
    std::int32_t parent = kNone;  // the enclosing scope; the script scope has none
    std::int32_t owner = kNone;   // the class or procedure it belongs to
    // Its declarations: SyntaxTree::declarationsByScope[first, first + count).
    std::uint32_t firstDeclaration = 0;
    std::uint32_t declarationCount = 0;
};

enum class ProcedureKind : std::uint8_t { Sub, Function, PropertyGet, PropertyLet, PropertySet };

[[nodiscard]] std::string_view ProcedureKindName(ProcedureKind kind) noexcept;  // "Sub", ...

enum class Visibility : std::uint8_t { Unstated, Public, Private };

struct Procedure {
    ProcedureKind kind = ProcedureKind::Sub;
    Visibility visibility = Visibility::Unstated;
    bool isDefault = false;   // Public Default ...
    bool terminated = false;  // closed by its End Sub / End Function / End Property
    TextRange name;
    // From the first word of the declaration (Public, Sub, ...) to the end of
    // its End line, or to where it was cut short when it is not terminated.
    TextRange range;
    std::uint32_t scope = 0;  // the procedure's own scope
    // Its parameters, in order: SyntaxTree::declarations[first, first + count).
    std::uint32_t firstParameter = 0;
    std::uint32_t parameterCount = 0;
    std::int32_t classIndex = kNone;   // kNone at script level
    std::int32_t declaration = kNone;  // the declaration of its name
};

struct ClassDefinition {
    bool terminated = false;
    TextRange name;
    TextRange range;
    std::uint32_t scope = 0;
    std::int32_t declaration = kNone;
};

enum class DeclarationKind : std::uint8_t {
    Variable,   // Dim, Private, Public
    Constant,   // Const
    Parameter,  // of a procedure
    Procedure,  // a Sub, Function or Property; `target` is its procedure index
    Class,      // `target` is its class index
    ReDim,      // a ReDim of a name nothing else declares, which declares it
    Host,       // an object the host gives the script ($OBJECT=Name)
};

enum DeclarationFlag : std::uint8_t {
    kArray = 1,    // Dim a() / Dim a(3) / a() as a parameter
    kByVal = 2,    // parameter
    kByRef = 4,    // parameter
    kPublic = 8,   // Public x / Public Sub
    kPrivate = 16  // Private x / Private Sub
};

struct Declaration {
    TextRange name;
    NameId nameId = 0;
    std::uint32_t scope = 0;
    DeclarationKind kind = DeclarationKind::Variable;
    std::uint8_t flags = 0;  // DeclarationFlag bits
    // Procedure, Class: the procedure or class index. ReDim: the declaration
    // it resizes, when there is one. Any kind: for a name declared a second
    // time in its scope, the first declaration.
    std::int32_t target = kNone;
    std::uint32_t referenceCount = 0;  // references resolved to it
};

enum class ReferenceKind : std::uint8_t {
    Read,   // a value: `x` in `y = x + 1`, the object in `x.Name`
    Write,  // assigned: `x = 1`, `Set x = ...`, a For variable, ReDim, Erase
    Call,   // called or indexed with arguments, or a call statement `Foo a`
    New,    // the class of `New Name`
};

// A name written without an object before it. Names after a full stop
// (`obj.Name`, `.Name` inside With) are members, resolved only at run time,
// and are not references.
struct Reference {
    TextRange name;
    NameId nameId = 0;
    std::uint32_t scope = 0;
    ReferenceKind kind = ReferenceKind::Read;
    std::int32_t declaration = kNone;  // what it resolves to; kNone: nothing in the script
};

enum class CallForm : std::uint8_t {
    Statement,    // `Foo a, b` or `Foo(a)` as a statement
    CallKeyword,  // `Call Foo(a, b)`
    Expression,   // `x = Foo(a, b)`; `x = Foo` alone is a Read reference
};

// A name called (or, with a variable, indexed) with its argument count.
struct CallSite {
    std::uint32_t reference = 0;  // into SyntaxTree::references
    std::uint32_t argumentCount = 0;
    CallForm form = CallForm::Statement;
    TextRange range;  // the name and its arguments
};

enum class BlockKind : std::uint8_t {
    If,
    Select,
    For,
    ForEach,
    Do,
    While,
    With,
    Procedure,
    Class,
};

// A compound statement, for folding and outlines: from its first word to the
// end of its closing line.
struct Block {
    BlockKind kind = BlockKind::If;
    bool terminated = false;
    std::int32_t parent = kNone;
    TextRange range;
};

// What the parser found in a script, in text order within each list. It
// holds no pointer into the text it came from.
struct SyntaxTree {
    std::vector<Scope> scopes;  // scopes[0] is the script
    std::vector<Procedure> procedures;
    std::vector<ClassDefinition> classes;
    std::vector<Declaration> declarations;
    std::vector<std::uint32_t> declarationsByScope;  // see Scope
    std::vector<Reference> references;
    std::vector<CallSite> callSites;
    std::vector<Block> blocks;
    bool optionExplicit = false;
    // The script runs code it builds as text (Execute, ExecuteGlobal), which
    // may declare names no check can see.
    bool executesText = false;

    // Names by id, in the spelling first met.
    [[nodiscard]] std::string_view Name(NameId id) const noexcept {
        return std::string_view(nameChars).substr(nameStarts[id],
                                                  nameStarts[id + 1] - nameStarts[id]);
    }
    [[nodiscard]] std::span<const std::uint32_t> DeclarationsIn(
        std::uint32_t scope) const noexcept {
        const Scope& s = scopes[scope];
        return std::span<const std::uint32_t>(declarationsByScope)
            .subspan(s.firstDeclaration, s.declarationCount);
    }
    // The innermost scope whose procedure or class holds `offset`.
    [[nodiscard]] std::uint32_t ScopeAt(std::uint32_t offset) const noexcept;

    // Empties every list, keeping the memory for the next parse.
    void Clear() noexcept;

    std::string nameChars;
    std::vector<std::uint32_t> nameStarts{0};  // one more than there are names
};

}  // namespace vk::language
