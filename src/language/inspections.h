#pragma once

#include <string_view>

#include "language/problem_list.h"
#include "language/syntax_tree.h"

namespace vk::language {

// Resolves every reference of a parsed script to its declaration (the
// procedure's own names first, then its class's, then the script's) and adds
// what the inspections find:
// - under Option Explicit, a name nothing declares (error) — unless the
//   script runs code built as text (Execute, ExecuteGlobal), which may
//   declare it;
// - a name declared twice in one scope (error);
// - a procedure's variable that nothing uses (warning; again not when the
//   script runs code built as text);
// - a call of the script's own Sub or Function with the wrong number of
//   arguments (error);
// - New of a class the script does not define (error).
// `text` is the text the tree was parsed from. Linear in the tree's size.
void Inspect(std::string_view text, SyntaxTree& tree, ProblemList& problems);

}  // namespace vk::language
