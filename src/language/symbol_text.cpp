#include "language/symbol_text.h"

#include <algorithm>

#include "common/text_helpers.h"

namespace vk::language {
namespace {

std::string_view Spelled(std::string_view text, TextRange range) {
    if (range.offset > text.size()) return {};
    return text.substr(range.offset, range.length);
}

// The line that holds `offset`, without its comment and outer blanks.
std::string_view StatementLine(std::string_view text, std::uint32_t offset) {
    offset = std::min<std::uint32_t>(offset, static_cast<std::uint32_t>(text.size()));
    std::size_t begin = offset, end = offset;
    while (begin > 0 && text[begin - 1] != '\r' && text[begin - 1] != '\n') --begin;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    std::string_view line = StripComment(text.substr(begin, end - begin));
    while (!line.empty() && static_cast<unsigned char>(line.front()) <= ' ') line.remove_prefix(1);
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ') line.remove_suffix(1);
    return line;
}

std::string ParameterText(std::string_view text, const Declaration& parameter) {
    std::string out;
    if (parameter.flags & kByVal) out += "ByVal ";
    if (parameter.flags & kByRef) out += "ByRef ";
    out += Spelled(text, parameter.name);
    if (parameter.flags & kArray) out += "()";
    return out;
}

}  // namespace

std::string ProcedureCall(const SyntaxTree& tree, std::string_view text,
                          const Procedure& procedure) {
    std::string out(Spelled(text, procedure.name));
    out += '(';
    for (std::uint32_t i = 0; i < procedure.parameterCount; ++i) {
        if (i > 0) out += ", ";
        out += ParameterText(text, tree.declarations[procedure.firstParameter + i]);
    }
    out += ')';
    return out;
}

std::string ProcedureSignature(const SyntaxTree& tree, std::string_view text,
                               const Procedure& procedure) {
    return std::string(ProcedureKindName(procedure.kind)) + " " +
           ProcedureCall(tree, text, procedure);
}

std::string DeclarationText(const SyntaxTree& tree, std::string_view text,
                            const Declaration& declaration) {
    switch (declaration.kind) {
        case DeclarationKind::Procedure:
            return ProcedureSignature(
                tree, text, tree.procedures[static_cast<std::size_t>(declaration.target)]);
        case DeclarationKind::Class:
            return "Class " + std::string(Spelled(text, declaration.name));
        case DeclarationKind::Parameter:
            return ParameterText(text, declaration);
        default:
            return std::string(StatementLine(text, declaration.name.offset));
    }
}

std::uint32_t ScopeAtCaret(const SyntaxTree& tree, std::uint32_t offset) {
    const auto inside = [offset](TextRange range, bool terminated) {
        return range.Contains(offset) || (!terminated && offset == range.End());
    };
    const auto& procedures = tree.procedures;
    // The last procedure that starts at or before the caret.
    auto after =
        std::upper_bound(procedures.begin(), procedures.end(), offset,
                         [](std::uint32_t at, const Procedure& p) { return at < p.range.offset; });
    if (after != procedures.begin()) {
        const Procedure& p = *std::prev(after);
        if (inside(p.range, p.terminated)) return p.scope;
    }
    for (const ClassDefinition& definition : tree.classes)
        if (inside(definition.range, definition.terminated)) return definition.scope;
    return 0;
}

}  // namespace vk::language
