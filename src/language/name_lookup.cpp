#include "language/name_lookup.h"

#include <algorithm>

#include "common/text_helpers.h"
#include "language/symbol_text.h"

namespace vk::language {

std::int32_t ReferenceAt(const SyntaxTree& tree, std::uint32_t offset) {
    const auto& references = tree.references;
    const auto at = std::lower_bound(
        references.begin(), references.end(), offset,
        [](const Reference& r, std::uint32_t wanted) { return r.name.offset < wanted; });
    if (at == references.end() || at->name.offset != offset) return kNone;
    return static_cast<std::int32_t>(at - references.begin());
}

std::int32_t DeclarationAt(const SyntaxTree& tree, std::uint32_t offset) {
    // Declarations come in the order the parser meets them, which is text
    // order but for the few a later pass adds; a plain pass is safe.
    for (std::size_t i = 0; i < tree.declarations.size(); ++i)
        if (tree.declarations[i].name.offset == offset &&
            tree.declarations[i].kind != DeclarationKind::Host)
            return static_cast<std::int32_t>(i);
    return kNone;
}

std::int32_t DeclarationOfName(std::string_view text, const SyntaxTree& tree, TextRange name,
                               bool bySpelling) {
    if (name.length == 0 || name.End() > text.size()) return kNone;
    const std::string_view spelled = text.substr(name.offset, name.length);
    const std::int32_t reference = ReferenceAt(tree, name.offset);
    if (reference != kNone) {
        const Reference& r = tree.references[static_cast<std::size_t>(reference)];
        if (EqualsIgnoringAsciiCase(tree.Name(r.nameId), spelled)) return r.declaration;
    }
    const std::int32_t declaration = DeclarationAt(tree, name.offset);
    if (declaration != kNone) {
        const Declaration& d = tree.declarations[static_cast<std::size_t>(declaration)];
        if (EqualsIgnoringAsciiCase(tree.Name(d.nameId), spelled)) {
            // A second declaration of a name, or a ReDim of one, stands for the first.
            if (d.target != kNone && d.kind != DeclarationKind::Procedure &&
                d.kind != DeclarationKind::Class)
                return d.target;
            return declaration;
        }
    }
    // The text moved on since the check: look the name up by its spelling.
    if (!bySpelling || tree.scopes.empty() || (name.offset > 0 && text[name.offset - 1] == '.'))
        return kNone;
    for (std::int32_t s = static_cast<std::int32_t>(ScopeAtCaret(tree, name.offset)); s != kNone;
         s = tree.scopes[static_cast<std::size_t>(s)].parent)
        for (const std::uint32_t index : tree.DeclarationsIn(static_cast<std::uint32_t>(s))) {
            const Declaration& d = tree.declarations[index];
            if (d.kind != DeclarationKind::Host &&
                EqualsIgnoringAsciiCase(tree.Name(d.nameId), spelled))
                return static_cast<std::int32_t>(index);
        }
    return kNone;
}

}  // namespace vk::language
