#include "language/hover.h"

#include "common/text_helpers.h"
#include "language/builtin_reference.h"
#include "language/caret_context.h"
#include "language/form_host.h"
#include "language/name_lookup.h"
#include "language/symbol_text.h"

namespace vk::language {

std::optional<HoverInfo> HoverAt(std::string_view text, const SyntaxTree& tree,
                                 std::uint32_t offset, const BuiltinReference* reference) {
    const TextRange word = WordAround(text, offset);
    if (word.length == 0) return std::nullopt;
    const CaretContext context = ContextAt(text, word.End());
    const std::string_view name = text.substr(word.offset, word.length);
    HoverInfo info;
    info.range = word;

    if (context.place == CaretPlace::Member) {
        if (!EqualsIgnoringAsciiCase(context.object, "Form")) return std::nullopt;
        const FormMember* member = FindFormMember(name);
        if (!member) return std::nullopt;
        info.syntax = "Form." + std::string(member->syntax);
        info.summary = std::string(member->summary);
        return info;
    }
    if (context.place != CaretPlace::Code && context.place != CaretPlace::NewName)
        return std::nullopt;

    const std::int32_t index = DeclarationOfName(text, tree, word);
    if (index != kNone) {
        const Declaration& declaration = tree.declarations[static_cast<std::size_t>(index)];
        info.syntax = DeclarationText(tree, text, declaration);
        if (declaration.kind == DeclarationKind::Procedure && declaration.scope == 0)
            if (const FormEvent* event = FindFormEvent(tree.Name(declaration.nameId)))
                info.summary = std::string(event->summary);
        if (declaration.kind != DeclarationKind::Host) return info;
    }
    if (EqualsIgnoringAsciiCase(name, "Form")) {
        info.syntax = "Form";
        info.summary = "The detail form the script belongs to.";
        return info;
    }
    const BuiltinTopic* topic = reference ? reference->Find(name) : nullptr;
    if (!topic) return std::nullopt;
    info.syntax = topic->syntax.empty() ? std::string(topic->name) : topic->syntax;
    info.summary = topic->summary;
    if (info.summary.empty() && topic->kind == SeedKind::Constant)
        info.summary = "A constant of the script engine.";
    return info;
}

}  // namespace vk::language
