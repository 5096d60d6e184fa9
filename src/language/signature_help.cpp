#include "language/signature_help.h"

#include "common/text_helpers.h"
#include "language/builtin_reference.h"
#include "language/caret_context.h"
#include "language/form_host.h"
#include "language/name_lookup.h"
#include "language/symbol_text.h"

namespace vk::language {
namespace {

constexpr bool IsNameChar(char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

SignatureHelp FromSyntax(std::string label, std::string documentation, std::uint32_t argument) {
    SignatureHelp help;
    help.parameters = ParametersOfSyntax(label);
    help.label = std::move(label);
    help.documentation = std::move(documentation);
    help.active = argument;
    return help;
}

}  // namespace

std::vector<TextRange> ParametersOfSyntax(std::string_view syntax) {
    std::vector<TextRange> parameters;
    std::size_t at = syntax.find('(');
    std::size_t end = syntax.rfind(')');
    if (at == std::string_view::npos || end == std::string_view::npos || end < at) {
        // A statement: its arguments follow the name after a blank.
        at = syntax.find(' ');
        if (at == std::string_view::npos) return parameters;
        end = syntax.size();
    }
    for (std::size_t i = at + 1; i < end;) {
        if (!IsNameChar(syntax[i])) {
            ++i;
            continue;
        }
        // An argument runs to the next comma or bracket: "ByVal amount",
        // "string | varname" (either of two) are one each.
        const std::size_t begin = i;
        while (i < end && syntax[i] != ',' && syntax[i] != '[' && syntax[i] != ']') ++i;
        std::size_t last = i;
        while (last > begin && syntax[last - 1] == ' ') --last;
        parameters.push_back(
            RangeBetween(static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(last)));
        // Skip to the next comma.
        while (i < end && syntax[i] != ',') ++i;
    }
    return parameters;
}

std::optional<SignatureHelp> SignatureAt(std::string_view text, const SyntaxTree& tree,
                                         std::uint32_t offset, const BuiltinReference* reference) {
    const CaretContext context = ContextAt(text, offset);
    if (!context.call) return std::nullopt;
    const OpenCall& call = *context.call;

    if (EqualsIgnoringAsciiCase(call.object, "Form")) {
        const FormMember* member = FindFormMember(call.name);
        if (!member || member->syntax == member->name) return std::nullopt;
        return FromSyntax(std::string(member->syntax), std::string(member->summary), call.argument);
    }
    if (!call.object.empty()) return std::nullopt;

    // The script's own procedure, as the name resolves where it is called.
    const std::int32_t declaration = DeclarationOfName(text, tree, call.nameRange, true);
    if (declaration != kNone) {
        const Declaration& found = tree.declarations[static_cast<std::size_t>(declaration)];
        if (found.kind != DeclarationKind::Procedure) return std::nullopt;
        const Procedure& procedure = tree.procedures[static_cast<std::size_t>(found.target)];
        return FromSyntax(ProcedureCall(tree, text, procedure), {}, call.argument);
    }
    if (!reference) return std::nullopt;
    const BuiltinTopic* topic = reference->Find(call.name);
    if (!topic || topic->kind != SeedKind::Function || topic->syntax.empty()) return std::nullopt;
    return FromSyntax(topic->syntax, topic->summary, call.argument);
}

}  // namespace vk::language
