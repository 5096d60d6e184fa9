#include "document/script_lines.h"

#include <algorithm>

#include "common/line_ends.h"

namespace vk {

std::vector<std::string> SplitScriptText(std::string_view text) {
    std::vector<std::string> lines;
    ForEachLine(text, [&](std::size_t begin, std::size_t end) {
        lines.emplace_back(text.substr(begin, end - begin));
    });
    return lines;
}

std::string JoinScriptLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string MemoryScriptLines::Line(int index) const {
    return Holds(index) ? lines_[static_cast<std::size_t>(index)] : std::string();
}

void MemoryScriptLines::PutLine(int index, std::string_view text) {
    if (Holds(index)) lines_[static_cast<std::size_t>(index)] = text;
}

void MemoryScriptLines::InsertLine(int index, std::string_view text) {
    if (index < 0 || index > LineCount()) return;
    lines_.insert(lines_.begin() + index, std::string(text));
}

void MemoryScriptLines::DeleteLine(int index) {
    if (Holds(index)) lines_.erase(lines_.begin() + index);
}

void MemoryScriptLines::SetCaret(int offset) {
    int length = 0;
    for (const auto& line : lines_) length += static_cast<int>(line.size()) + 2;
    caret_ = std::clamp(offset, 0, length);
}

int MemoryScriptLines::LineFromChar(int offset) const {
    int start = 0;
    for (int i = 0; i < LineCount(); ++i) {
        start += static_cast<int>(lines_[static_cast<std::size_t>(i)].size()) + 2;
        if (offset < start) return i;
    }
    return std::max(0, LineCount() - 1);
}

void MemoryScriptLines::ScrollLines(int lines) {
    firstVisible_ = std::clamp(firstVisible_ + lines, 0, std::max(0, LineCount() - 1));
}

}  // namespace vk
