#include "text_document.h"

#include <algorithm>

#include "common/windows_1252.h"

namespace vk::lsp {

std::string FromUtf8(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        std::size_t length = c < 0x80           ? 1
                             : (c >> 5) == 0x6  ? 2
                             : (c >> 4) == 0xE  ? 3
                             : (c >> 3) == 0x1E ? 4
                                                : 1;
        if (i + length > utf8.size()) length = 1;
        char32_t code = length == 1 ? c
                                    : (length == 2   ? c & 0x1F
                                       : length == 3 ? c & 0x0F
                                                     : c & 0x07);
        for (std::size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        if (length == 1 && c >= 0x80) code = U'?';  // not UTF-8: the parser lets none through
        if (code >= 0x10000) {
            bytes += "??";  // two UTF-16 code units
        } else {
            bytes += UnicodeToWindows1252(code);
        }
        i += length;
    }
    return bytes;
}

void TextDocument::SetText(std::string_view utf8) {
    bytes_ = FromUtf8(utf8);
    lines_ = language::LineIndex::Of(bytes_);
}

std::uint32_t TextDocument::OffsetOf(Position position) const {
    const std::uint32_t line = position.line + 1;
    if (line > lines_.LineCount()) return static_cast<std::uint32_t>(bytes_.size());
    const std::uint32_t start = lines_.LineStart(line);
    std::uint32_t end = line < lines_.LineCount() ? lines_.LineStart(line + 1)
                                                  : static_cast<std::uint32_t>(bytes_.size());
    while (end > start && (bytes_[end - 1] == '\n' || bytes_[end - 1] == '\r')) --end;
    return std::min(start + position.character, end);
}

Position TextDocument::PositionOf(std::uint32_t offset) const {
    offset = std::min(offset, static_cast<std::uint32_t>(bytes_.size()));
    const language::LinePosition p = lines_.PositionOf(offset);
    return {p.line - 1, p.column - 1};
}

void TextDocument::Replace(Position start, Position end, std::string_view utf8) {
    std::uint32_t from = OffsetOf(start);
    std::uint32_t to = OffsetOf(end);
    if (to < from) std::swap(from, to);
    bytes_.replace(from, to - from, FromUtf8(utf8));
    lines_ = language::LineIndex::Of(bytes_);
}

}  // namespace vk::lsp
