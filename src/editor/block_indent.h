#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vk {

// The lines a block command works on, 0-based and inclusive.
struct BlockLines {
    int first = 0;
    int last = 0;
    bool operator==(const BlockLines&) const = default;
};

// The block of a selection: from the line of its start to the line of its
// end, where a selection that ends at the start of a line leaves that line
// out (a selection from the start of line 3 to the start of line 6 gives
// lines 3 to 5). An empty selection is the caret's line, wherever in the line
// the caret stands.
//   startLine      the line that holds the selection start
//   endLine        the line that holds the selection end
//   endAtLineStart the selection end is the first character of endLine
[[nodiscard]] BlockLines BlockOfSelection(int startLine, int endLine, bool endAtLineStart,
                                          bool emptySelection) noexcept;

// What one indent level inserts: a tab for indent style 0, `tabWidth` spaces
// for style 1.
[[nodiscard]] std::string IndentString(int indentStyle, int tabWidth);

// Every line, empty ones too, with `indent` in front.
[[nodiscard]] std::vector<std::string> IndentLines(const std::vector<std::string>& lines,
                                                   std::string_view indent);

struct Unindented {
    std::vector<std::string> lines;
    int removed = 0;  // characters taken out in all
};

// Takes one level off every line that is not empty: a leading tab, or else
// `tabWidth` leading spaces, whatever the indent style. Checks every line
// before changing any: a line that is not empty and starts with neither
// raises EUnindentFailed with "Cannot unindent line %d", numbered from
// `firstLineNumber` for lines[0]; the first such line is reported.
[[nodiscard]] Unindented UnindentLines(const std::vector<std::string>& lines, int tabWidth,
                                       int firstLineNumber);

}  // namespace vk
