#pragma once

#include <string_view>

#include "language/line_index.h"
#include "language/problem_list.h"
#include "language/syntax_tree.h"

namespace vk::language {

// Parses a script into `tree`, adding the syntax errors (in the wording the
// script engine uses, one per line at most) and the warnings about code after
// an Exit to `problems`, and the line starts to `lines`. Recovers after an
// error and goes on with the next line; a block left open is reported at its
// first line when something else closes it. Time and memory grow linearly
// with the text, and the stack stays bounded however deep the blocks and
// expressions nest. The text must be shorter than 4 GiB.
void ParseScript(std::string_view text, SyntaxTree& tree, ProblemList& problems, LineIndex& lines);

}  // namespace vk::language
