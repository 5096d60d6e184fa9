#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "language/diagnostic.h"
#include "language/line_index.h"
#include "language/problem_list.h"
#include "language/syntax_tree.h"

namespace vk::language {

// Everything one check of a script found: its syntax tree (procedures,
// scopes, declarations, references resolved to them, call sites, blocks),
// its problems in text order with their lines and columns, and its lines.
struct ScriptCheck {
    SyntaxTree tree;
    std::vector<Diagnostic> diagnostics;
    LineIndex lines;

    [[nodiscard]] std::size_t ErrorCount() const noexcept;
    [[nodiscard]] std::size_t WarningCount() const noexcept {
        return diagnostics.size() - ErrorCount();
    }
};

// Parses and inspects a script's text: single-byte (Windows-1252), lines
// ending in CR LF, LF or a lone CR. A text with a NUL byte is binary data,
// not a script: it gets one error there and no further check.
[[nodiscard]] ScriptCheck CheckScript(std::string_view text);

// Checks one script again and again as it is edited, keeping the memory of
// the last check for the next. A full check of a 100,000-line script takes a
// few tens of milliseconds, so every check covers the whole text: nothing
// depends on which part changed. One checker serves one thread at a time.
class ScriptChecker {
public:
    // The result stays valid until the next call.
    const ScriptCheck& Check(std::string_view text);

private:
    friend ScriptCheck CheckScript(std::string_view text);

    ScriptCheck result_;
    ProblemList problems_;
};

}  // namespace vk::language
