#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "language/syntax_tree.h"
#include "language/text_range.h"

namespace vk::language {

class BuiltinReference;

// What a pointer resting on a name shows: the syntax line (or the script's
// own declaration) and the first sentence of the reference topic.
struct HoverInfo {
    std::string syntax;   // "Mid(string, start[, length])", "Dim total"
    std::string summary;  // may be empty
    TextRange range;      // the name
};

// The hover of the name at `offset`: a declaration of the script, a member
// of the form object, an event procedure, the engine's function, statement
// or constant. Nothing on keywords, in comments and strings, or on names
// nothing is known of.
[[nodiscard]] std::optional<HoverInfo> HoverAt(std::string_view text, const SyntaxTree& tree,
                                               std::uint32_t offset,
                                               const BuiltinReference* reference);

}  // namespace vk::language
