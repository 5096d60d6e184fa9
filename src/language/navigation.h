#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language/script_check.h"
#include "language/syntax_tree.h"
#include "language/text_edit.h"
#include "language/text_range.h"

namespace vk::language {

// Navigation over a check of `text` (`tree` must be a check of this very
// text). A name is found by any offset inside it or just after it.

// Where the name at `offset` is declared: its Sub, Function, Class,
// variable, constant or parameter. Nothing for a name the script does not
// declare.
[[nodiscard]] std::optional<TextRange> DefinitionAt(std::string_view text, const SyntaxTree& tree,
                                                    std::uint32_t offset);

// Every place the declaration of the name at `offset` is used, in text
// order; with `withDeclaration` its declaration too. Empty when the name is
// not the script's.
[[nodiscard]] std::vector<TextRange> ReferencesAt(std::string_view text, const SyntaxTree& tree,
                                                  std::uint32_t offset, bool withDeclaration);

// A rename of the name at `offset`: the edits, or why it cannot be done.
struct RenamePlan {
    std::vector<TextEdit> edits;  // empty when refused
    std::string refusal;          // why, when refused
    TextRange name;               // the name at the offset
};

// Whether the name at `offset` can be renamed, and its range.
[[nodiscard]] RenamePlan PrepareRename(std::string_view text, const ScriptCheck& check,
                                       std::uint32_t offset);

// Renames a Sub, Function, variable, constant or parameter of the script to
// `newName` in its scope only: its declaration and every reference resolved
// to it (for a script-level procedure also the GetRef("name") strings that
// name it). Refused, with the reason, when the new name is no name the
// engine takes or is a keyword; when it would change what another name
// stands for (a name declared or used in the scopes concerned); for names
// the script does not declare, classes, properties, class members (reached
// through a full stop, where references cannot be followed) and the form's
// event procedures (Commence calls them by name); when the script runs code
// built as text; and when a syntax error lies in the text concerned.
[[nodiscard]] RenamePlan PlanRename(std::string_view text, const ScriptCheck& check,
                                    std::uint32_t offset, std::string_view newName);

}  // namespace vk::language
