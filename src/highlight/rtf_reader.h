#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "highlight/byte_buffer.h"

namespace vk {

// One character format of a document.
struct RtfFormat {
    std::string face;  // font face from the font table ("" when unknown)
    int sizeHalfPoints = 20;
    std::uint32_t color = 0;  // 0x00BBGGRR from the colour table (\cf without number: colour 0)
    bool bold = false;
    bool italic = false;
    bool operator==(const RtfFormat&) const = default;
};

// A stretch of text with one character format.
struct RtfRun {
    std::size_t start = 0;   // byte offset into RtfDocument::text
    std::size_t length = 0;  // bytes
    std::size_t format = 0;  // index into RtfDocument::formats
};

// The runs of a document in text order, each starting where the one before
// ends. A script has about one run per seven bytes of text, so the runs are
// kept as variable-length numbers (two bytes for most runs) rather than as
// structs that would outweigh the text itself.
class RtfRuns {
public:
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = RtfRun;
        using difference_type = std::ptrdiff_t;
        using pointer = const RtfRun*;
        using reference = const RtfRun&;

        Iterator() = default;
        const RtfRun& operator*() const noexcept { return run_; }
        const RtfRun* operator->() const noexcept { return &run_; }
        Iterator& operator++() noexcept {
            run_.start += run_.length;
            at_ = next_;
            Decode();
            return *this;
        }
        Iterator operator++(int) noexcept {
            Iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const Iterator& other) const noexcept { return at_ == other.at_; }

    private:
        friend class RtfRuns;
        Iterator(const std::uint8_t* at, const std::uint8_t* end) noexcept : at_(at), end_(end) {
            Decode();
        }
        void Decode() noexcept;

        const std::uint8_t* at_ = nullptr;    // the current run's encoding; end_ past the last
        const std::uint8_t* next_ = nullptr;  // the encoding after it
        const std::uint8_t* end_ = nullptr;
        RtfRun run_;
    };

    // Appends a run after the last one; a run of no bytes is left out.
    void Append(std::size_t length, std::size_t format);

    [[nodiscard]] Iterator begin() const noexcept;
    [[nodiscard]] Iterator end() const noexcept;
    [[nodiscard]] std::size_t size() const noexcept { return count_; }
    [[nodiscard]] bool empty() const noexcept { return count_ == 0; }
    // Bytes covered by all runs.
    [[nodiscard]] std::size_t TextLength() const noexcept { return textLength_; }
    void ShrinkToFit() { bytes_.shrink_to_fit(); }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t count_ = 0;
    std::size_t textLength_ = 0;
};

// What a rich-text document holds: its plain text, the distinct formats used
// in it, and the runs that cover the text from start to end in order. `\par`
// gives CR LF; raw CR and LF bytes of the document are ignored, as RTF says;
// the final `\par` of the document is its end mark and adds nothing, so the
// RTF written for a text reads back as exactly that text. Neighbouring runs
// always differ in format.
struct RtfDocument {
    ByteBuffer text;  // zero-terminated
    std::vector<RtfFormat> formats;
    RtfRuns runs;
};

struct RtfReadResult {
    std::optional<RtfDocument> document;
    std::string error;  // why it could not be read, when `document` is empty
};

// Reads RTF of the shape the colour stream writes (and ordinary RTF of that
// shape). Bad or truncated input gives an error, never a crash or a hang.
[[nodiscard]] RtfReadResult ReadRtf(std::string_view rtf);

}  // namespace vk
