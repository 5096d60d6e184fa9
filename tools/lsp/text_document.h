#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "language/line_index.h"

namespace vk::lsp {

// A position as the protocol counts it: line and character from 0, the
// character in UTF-16 code units.
struct Position {
    std::uint32_t line = 0;
    std::uint32_t character = 0;
    bool operator==(const Position&) const = default;
};

// The text of an open document as the checks read it: Windows-1252, one
// byte for each UTF-16 code unit of the client's text, so that a character
// count of the protocol is a byte count here. A character Windows-1252 cannot
// hold stands as '?' (two for one outside the Basic Multilingual Plane),
// which is what a script checked into Commence would hold.
class TextDocument {
public:
    TextDocument() = default;
    explicit TextDocument(std::string_view utf8) { SetText(utf8); }

    void SetText(std::string_view utf8);
    // Replaces the text between two positions (a change of the client's);
    // positions past a line's end or the text's end are taken as those ends.
    void Replace(Position start, Position end, std::string_view utf8);

    [[nodiscard]] const std::string& Bytes() const noexcept { return bytes_; }
    [[nodiscard]] std::uint32_t OffsetOf(Position position) const;
    [[nodiscard]] Position PositionOf(std::uint32_t offset) const;
    [[nodiscard]] std::uint32_t LineCount() const noexcept { return lines_.LineCount(); }

private:
    std::string bytes_;
    language::LineIndex lines_;
};

// The client's UTF-8 as the document's bytes (see TextDocument).
[[nodiscard]] std::string FromUtf8(std::string_view utf8);

}  // namespace vk::lsp
