#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "language/syntax_tree.h"
#include "language/text_range.h"

namespace vk::language {

enum class SymbolKind : std::uint8_t { Group, Event, Sub, Function };

// One node of the script's outline, as the code browser shows it: the
// groups "Events" and "Subs/Functions", each with its declarations in text
// order.
struct SymbolNode {
    std::string name;    // "OnSave" for the event Form_OnSave, as the browser names it
    std::string detail;  // "Sub Form_OnSave()"; "not terminated" for a block without its end
    SymbolKind kind = SymbolKind::Group;
    TextRange range;      // the whole declaration, or its line when the parse has no block for it
    TextRange selection;  // the name
    std::vector<SymbolNode> children;
};

// The outline of `text`, from the code browser's scanner; `tree` (a check
// of the same text) gives each declaration its whole range and signature.
// Groups without entries are left out.
[[nodiscard]] std::vector<SymbolNode> DocumentSymbols(std::string_view text,
                                                      const SyntaxTree& tree);

}  // namespace vk::language
