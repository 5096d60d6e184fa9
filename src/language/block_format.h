#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "language/syntax_tree.h"
#include "language/text_edit.h"

namespace vk::language {

// How one level of indentation is written: a tab ("Indent style" 0) or "Tab
// width" spaces ("Indent style" 1).
struct IndentOptions {
    int tabWidth = 3;
    int style = 0;
};

// Re-indents lines `firstLine` to `lastLine` (from 1, both included) by the
// blocks of `tree`, a check of `text`: one level for each block a line lies
// in, Else/ElseIf at their If's level, Case one level into its Select and
// the statements of a Case one more, a continued line one level past its
// statement. Only leading white space changes, and only on lines whose
// indentation differs: blank lines, directive lines ($OBJECT=...) and tag
// lines ('#...) are left as they are. The edits are in text order.
[[nodiscard]] std::vector<TextEdit> Reindent(std::string_view text, const SyntaxTree& tree,
                                             IndentOptions options, std::uint32_t firstLine,
                                             std::uint32_t lastLine);

}  // namespace vk::language
