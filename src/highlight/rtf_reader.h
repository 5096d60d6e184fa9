#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// A stretch of text with one character format.
struct RtfRun {
    std::size_t start = 0;   // byte offset into RtfDocument::text
    std::size_t length = 0;  // bytes
    std::string face;        // font face from the font table ("" when unknown)
    int sizeHalfPoints = 20;
    std::uint32_t color = 0;  // 0x00BBGGRR from the colour table (\cf without number: colour 0)
    bool bold = false;
    bool italic = false;
};

// What a rich-text document holds: its plain text and the runs that cover it
// from start to end in order. `\par` gives CR LF; raw CR and LF bytes of the
// document are ignored, as RTF says; the final `\par` of the document is its
// end mark and adds nothing, so the RTF written for a text reads back as
// exactly that text.
struct RtfDocument {
    std::string text;
    std::vector<RtfRun> runs;
};

struct RtfReadResult {
    std::optional<RtfDocument> document;
    std::string error;  // why it could not be read, when `document` is empty
};

// Reads RTF of the shape the colour stream writes (and ordinary RTF of that
// shape). Bad or truncated input gives an error, never a crash or a hang.
[[nodiscard]] RtfReadResult ReadRtf(std::string_view rtf);

}  // namespace vk
