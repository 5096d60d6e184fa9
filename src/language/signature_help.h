#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language/syntax_tree.h"
#include "language/text_range.h"

namespace vk::language {

class BuiltinReference;

// The syntax line of the call around the caret, with its arguments marked,
// so that a view can set the one under the caret in bold.
struct SignatureHelp {
    std::string label;  // "Mid(string, start[, length])"
    // Each argument's place in the label, in order ("string", "start", ...).
    std::vector<TextRange> parameters;
    std::uint32_t active = 0;   // the argument under the caret, from 0
    std::string documentation;  // the first sentence of the topic, when known
};

// The parameters' places in a syntax line: the names between its
// parentheses (or after the name, for a statement without them: "Randomize
// [number]"), separated by commas, optional brackets left out.
//
//   "InStr([start, ]string1, string2[, compare])" marks start, string1,
//   string2 and compare.
[[nodiscard]] std::vector<TextRange> ParametersOfSyntax(std::string_view syntax);

// The signature of the call whose argument list holds `offset`: a Sub or
// Function of the script (as seen from the caret's scope), the engine's
// function or statement from the reference, or a member of the form object.
// Nothing outside an argument list, or for a name with no known signature.
[[nodiscard]] std::optional<SignatureHelp> SignatureAt(std::string_view text,
                                                       const SyntaxTree& tree, std::uint32_t offset,
                                                       const BuiltinReference* reference);

}  // namespace vk::language
