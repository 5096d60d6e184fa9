#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

#include "common/exceptions.h"
#include "highlight/byte_buffer.h"
#include "highlight/token_class.h"
#include "settings/font.h"

namespace vk {

// The conversion could not get the memory it needed ("conversion buffer to
// small"); the stream still holds the plain text.
class EConversionFailed : public Exception {
    using Exception::Exception;
};

// The nine token class fonts, indexed by the class index.
using ClassFonts = std::array<TFont, kTokenClassCount>;

// Turns plain script text into an RTF document whose every token carries the
// colour and style of its token class, and owns the class fonts that are the
// program's colour scheme. An in-memory byte stream: load the plain text,
// ConvertToRtf, read the RTF from the same stream, clear it.
class TColorStream {
public:
    // Every class in the default font (Courier New, 10 points, window text).
    TColorStream() = default;
    explicit TColorStream(const ClassFonts& fonts) : fonts_(fonts) {}

    TColorStream(const TColorStream&) = delete;
    TColorStream& operator=(const TColorStream&) = delete;

    // The class's font itself, for editing in place.
    [[nodiscard]] TFont& FontOf(TokenClass cls) { return fonts_[IndexOf(cls)]; }
    [[nodiscard]] const TFont& FontOf(TokenClass cls) const { return fonts_[IndexOf(cls)]; }
    // By class index, as the configuration dialog's rows count; throws
    // std::out_of_range past the last class.
    [[nodiscard]] TFont& FontOf(std::size_t index) { return fonts_.at(index); }
    [[nodiscard]] const TFont& FontOf(std::size_t index) const { return fonts_.at(index); }
    [[nodiscard]] const ClassFonts& Fonts() const { return fonts_; }
    void SetFonts(const ClassFonts& fonts) { fonts_ = fonts; }

    // Replaces the stream's content with `text`. Throws EConversionFailed
    // when the memory for it is refused.
    void LoadText(std::string_view text);
    // Replaces the stream's content with the file's bytes. Throws
    // vk::Exception when the file cannot be read.
    void LoadFromFile(const std::filesystem::path& file);
    [[nodiscard]] std::string_view Data() const noexcept { return content_.View(); }
    [[nodiscard]] std::size_t Size() const noexcept { return content_.Size(); }
    void Clear() noexcept { content_.Clear(); }

    // Replaces the plain text held (single-byte, CR LF line ends, possibly
    // empty) by its coloured RTF document. On failure throws
    // EConversionFailed and leaves the plain text in place.
    void ConvertToRtf();

    // Makes a conversion fail as if memory ran out once its output buffer
    // would grow beyond `bytes`; nullopt lifts the limit.
    void SetOutputLimit(std::optional<std::size_t> bytes) { outputLimit_ = bytes; }
    [[nodiscard]] std::optional<std::size_t> OutputLimit() const { return outputLimit_; }

private:
    ClassFonts fonts_{};
    ByteBuffer content_;
    std::optional<std::size_t> outputLimit_;
};

}  // namespace vk
