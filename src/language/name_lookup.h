#pragma once

#include <cstdint>
#include <string_view>

#include "language/syntax_tree.h"
#include "language/text_range.h"

namespace vk::language {

// The declaration a name of the script stands for, as the name resolves at
// its place: the name of a reference (`total` in `x = total`), or the name of
// a declaration itself. kNone for a name the script does not declare (the
// engine's, the host's, a member after a full stop) and for anything else.
//
// `tree` is a check of `text`. With `bySpelling`, a name the tree does not
// know at that place (the text changed since the check) is looked up by its
// spelling in the scopes around it, unless a full stop stands before it.
[[nodiscard]] std::int32_t DeclarationOfName(std::string_view text, const SyntaxTree& tree,
                                             TextRange name, bool bySpelling = false);

// The index of the reference whose name starts at `offset`; kNone when none does.
[[nodiscard]] std::int32_t ReferenceAt(const SyntaxTree& tree, std::uint32_t offset);

// The index of the declaration whose name starts at `offset`; kNone when none does.
[[nodiscard]] std::int32_t DeclarationAt(const SyntaxTree& tree, std::uint32_t offset);

}  // namespace vk::language
