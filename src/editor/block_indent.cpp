#include "editor/block_indent.h"

#include <algorithm>

#include "common/exceptions.h"

namespace vk {

BlockLines BlockOfSelection(int startLine, int endLine, bool endAtLineStart,
                            bool emptySelection) noexcept {
    // A caret at the start of a line is on that line: leaving out the line
    // the selection ends on only makes sense for a selection of some length.
    int last = endLine;
    if (endAtLineStart && !emptySelection) last = endLine - 1;
    return {startLine, std::max(last, startLine)};
}

std::string IndentString(int indentStyle, int tabWidth) {
    if (indentStyle == 0) return "\t";
    return std::string(static_cast<std::size_t>(std::max(tabWidth, 0)), ' ');
}

std::vector<std::string> IndentLines(const std::vector<std::string>& lines,
                                     std::string_view indent) {
    std::vector<std::string> indented;
    indented.reserve(lines.size());
    for (const std::string& line : lines) {
        std::string out;
        out.reserve(indent.size() + line.size());
        out.append(indent);
        out.append(line);
        indented.push_back(std::move(out));
    }
    return indented;
}

Unindented UnindentLines(const std::vector<std::string>& lines, int tabWidth, int firstLineNumber) {
    const std::string spaces(static_cast<std::size_t>(std::max(tabWidth, 0)), ' ');
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty() || line.front() == '\t' || line.starts_with(spaces)) continue;
        throw EUnindentFailed("Cannot unindent line " +
                              std::to_string(firstLineNumber + static_cast<int>(i)));
    }
    Unindented result;
    result.lines.reserve(lines.size());
    for (const std::string& line : lines) {
        if (line.empty()) {
            result.lines.push_back(line);
        } else {
            const std::size_t cut = line.front() == '\t' ? 1 : spaces.size();
            result.lines.push_back(line.substr(cut));
            result.removed += static_cast<int>(cut);
        }
    }
    return result;
}

}  // namespace vk
