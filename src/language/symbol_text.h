#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "language/syntax_tree.h"

namespace vk::language {

// A procedure's call as its declaration gives it, without the declaring
// words: "RevenueBand(ByVal amount)", "ShowManager()".
[[nodiscard]] std::string ProcedureCall(const SyntaxTree& tree, std::string_view text,
                                        const Procedure& procedure);

// The same with its kind before it: "Function RevenueBand(ByVal amount)".
[[nodiscard]] std::string ProcedureSignature(const SyntaxTree& tree, std::string_view text,
                                             const Procedure& procedure);

// How a declaration reads in a hover or beside a completion: a procedure's
// signature, "Dim total", "Const LIMIT = 100" (the statement's text),
// "ByVal amount" for a parameter, "Class Counter".
[[nodiscard]] std::string DeclarationText(const SyntaxTree& tree, std::string_view text,
                                          const Declaration& declaration);

// The scope of a script whose procedure or class holds the caret at `offset`.
// Unlike SyntaxTree::ScopeAt, a caret just after the last character of a
// procedure that has no end yet (the one being typed) is inside it; and the
// procedures are found by a binary search. 0 for a text that was not parsed
// (it has no scopes at all).
[[nodiscard]] std::uint32_t ScopeAtCaret(const SyntaxTree& tree, std::uint32_t offset);

}  // namespace vk::language
