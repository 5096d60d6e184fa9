#include "language/syntax_tree.h"

#include "language/diagnostic.h"

namespace vk::language {

std::string_view ProcedureKindName(ProcedureKind kind) noexcept {
    switch (kind) {
        case ProcedureKind::Sub:
            return "Sub";
        case ProcedureKind::Function:
            return "Function";
        case ProcedureKind::PropertyGet:
            return "Property Get";
        case ProcedureKind::PropertyLet:
            return "Property Let";
        case ProcedureKind::PropertySet:
            return "Property Set";
    }
    return "Sub";
}

std::string_view DiagnosticCodeName(DiagnosticCode code) noexcept {
    switch (code) {
        case DiagnosticCode::Syntax:
            return "syntax";
        case DiagnosticCode::Refused:
            return "refused";
        case DiagnosticCode::UndefinedVariable:
            return "undefined-variable";
        case DiagnosticCode::NameRedefined:
            return "name-redefined";
        case DiagnosticCode::UnusedVariable:
            return "unused-variable";
        case DiagnosticCode::WrongArgumentCount:
            return "wrong-argument-count";
        case DiagnosticCode::UnreachableCode:
            return "unreachable-code";
        case DiagnosticCode::ClassNotDefined:
            return "class-not-defined";
        case DiagnosticCode::UnknownName:
            return "unknown-name";
    }
    return "syntax";
}

void SyntaxTree::Clear() noexcept {
    scopes.clear();
    procedures.clear();
    classes.clear();
    declarations.clear();
    declarationsByScope.clear();
    references.clear();
    callSites.clear();
    blocks.clear();
    optionExplicit = false;
    executesText = false;
    nameChars.clear();
    nameStarts.assign(1, 0);
}

std::uint32_t SyntaxTree::ScopeAt(std::uint32_t offset) const noexcept {
    // Procedures do not nest, and a class holds its procedures: the
    // procedure around the offset, else the class, else the script.
    for (const Procedure& procedure : procedures)
        if (procedure.range.Contains(offset)) return procedure.scope;
    for (const ClassDefinition& definition : classes)
        if (definition.range.Contains(offset)) return definition.scope;
    return 0;
}

}  // namespace vk::language
