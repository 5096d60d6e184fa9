#include "language/block_format.h"

#include <algorithm>
#include <string>

#include "common/text_helpers.h"
#include "language/line_index.h"

namespace vk::language {
namespace {

constexpr bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }
constexpr bool IsNameChar(char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

enum class LineKind : std::uint8_t { Code, Blank, Kept, Else, Case };

struct Line {
    std::uint32_t start = 0;
    std::uint32_t end = 0;     // before the line end
    std::uint32_t indent = 0;  // length of the leading white space
    LineKind kind = LineKind::Code;
    bool continues = false;  // its code ends in ` _`
};

// Whether the code of a line (outside strings and comments) ends in a `_`
// that stands alone: the statement goes on in the next line.
bool Continues(std::string_view line) {
    std::size_t end = 0;
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') inString = !inString;
        if (!inString && c == '\'') break;
        if (!IsBlank(c)) end = i + 1;
    }
    if (inString || end == 0 || line[end - 1] != '_') return false;
    return end == 1 || IsBlank(line[end - 2]);
}

Line Describe(std::string_view text, std::uint32_t start, std::uint32_t end) {
    Line line{start, end, 0, LineKind::Code, false};
    const std::string_view content = text.substr(start, end - start);
    while (line.indent < content.size() && IsBlank(content[line.indent])) ++line.indent;
    const std::string_view rest = content.substr(line.indent);
    if (rest.empty() || rest.find_first_not_of(" \t\f\v") == std::string_view::npos) {
        line.kind = LineKind::Blank;
    } else if (rest.front() == '$' || rest.starts_with("'#")) {
        line.kind = LineKind::Kept;  // the host's directive; a tag line
    } else {
        std::size_t n = 0;
        while (n < rest.size() && IsNameChar(rest[n])) ++n;
        const std::string word = FoldAsciiCase(rest.substr(0, n));
        if (word == "else" || word == "elseif") line.kind = LineKind::Else;
        if (word == "case") line.kind = LineKind::Case;
    }
    line.continues = Continues(content);
    return line;
}

}  // namespace

std::vector<TextEdit> Reindent(std::string_view text, const SyntaxTree& tree, IndentOptions options,
                               std::uint32_t firstLine, std::uint32_t lastLine) {
    const LineIndex index = LineIndex::Of(text);
    const std::uint32_t count = index.LineCount();
    std::vector<Line> lines(count + 1);  // from 1
    for (std::uint32_t n = 1; n <= count; ++n) {
        const std::uint32_t start = index.LineStart(n);
        std::uint32_t end =
            n < count ? index.LineStart(n + 1) : static_cast<std::uint32_t>(text.size());
        while (end > start && (text[end - 1] == '\r' || text[end - 1] == '\n')) --end;
        lines[n] = Describe(text, start, end);
    }

    // Each block's inner lines: after its first line, before its last.
    struct Inner {
        std::uint32_t first, last;
        BlockKind kind;
    };
    std::vector<Inner> inners;
    inners.reserve(tree.blocks.size());
    for (const Block& block : tree.blocks) {
        const std::uint32_t top = index.PositionOf(block.range.offset).line;
        const std::uint32_t bottom =
            index
                .PositionOf(block.range.End() > block.range.offset ? block.range.End() - 1
                                                                   : block.range.offset)
                .line;
        inners.push_back({top + 1, bottom - (block.terminated ? 1 : 0), block.kind});
    }

    // Sweep the lines with the blocks open around them, innermost on top.
    std::vector<std::int32_t> depth(count + 2, 0);
    std::vector<std::int32_t> extra(count + 2, 0);  // Case bodies
    std::vector<std::uint32_t> firstCase(inners.size(), 0);
    std::vector<std::size_t> open;
    std::size_t next = 0;
    for (std::uint32_t n = 1; n <= count; ++n) {
        while (!open.empty() && inners[open.back()].last < n) open.pop_back();
        while (next < inners.size() && inners[next].first <= n) {
            if (inners[next].last >= n && inners[next].first <= inners[next].last)
                open.push_back(next);
            ++next;
        }
        depth[n] = static_cast<std::int32_t>(open.size());
        if (open.empty()) continue;
        const std::size_t innermost = open.back();
        const BlockKind kind = inners[innermost].kind;
        if (lines[n].kind == LineKind::Else && kind == BlockKind::If) {
            --depth[n];
        } else if (lines[n].kind == LineKind::Case && kind == BlockKind::Select) {
            if (firstCase[innermost] == 0) {
                firstCase[innermost] = n;
                extra[n + 1] += 1;  // the statements of the Cases sit one deeper
                extra[inners[innermost].last + 1] -= 1;
            } else {
                --depth[n];  // a later Case, back to the first one's level
            }
        }
    }

    const std::string level =
        options.style == 1
            ? std::string(static_cast<std::size_t>(std::max(options.tabWidth, 0)), ' ')
            : std::string("\t");
    std::vector<TextEdit> edits;
    std::int32_t running = 0;
    std::int32_t statementDepth = 0;
    bool continued = false;
    lastLine = std::min(lastLine, count);
    for (std::uint32_t n = 1; n <= count; ++n) {
        running += extra[n];
        std::int32_t wanted = std::max(depth[n] + running, 0);
        if (continued)
            wanted = statementDepth + 1;
        else
            statementDepth = wanted;
        const Line& line = lines[n];
        continued = line.kind != LineKind::Blank && line.continues;
        if (n < firstLine || n > lastLine) continue;
        if (line.kind == LineKind::Blank || line.kind == LineKind::Kept) continue;
        std::string indent;
        for (std::int32_t i = 0; i < wanted; ++i) indent += level;
        if (text.substr(line.start, line.indent) == indent) continue;
        edits.push_back({{line.start, line.indent}, std::move(indent)});
    }
    return edits;
}

}  // namespace vk::language
