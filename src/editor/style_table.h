#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vk {

// One character format of the editor: what a rich-text run carries.
struct TextFormat {
    std::string face;
    int sizeHalfPoints = 20;
    std::uint32_t color = 0;  // 0x00BBGGRR
    bool bold = false;
    bool italic = false;
    bool operator==(const TextFormat&) const = default;
};

// Hands out editor style numbers, one per distinct format. The editor has 256
// styles of which 32-39 are its own (default, line numbers, ...), so 248
// formats fit; style 0 always holds the base format (the editor font in the
// default colour). Plain data, no editor: the editor applies what it gets.
class StyleTable {
public:
    static constexpr int kStyleCount = 256;
    static constexpr int kFirstReserved = 32;
    static constexpr int kLastReserved = 39;
    static constexpr int kUsableCount = kStyleCount - (kLastReserved - kFirstReserved + 1);

    explicit StyleTable(TextFormat base = {});

    // Forgets every style but 0, which takes the new base format.
    void Reset(TextFormat base);

    [[nodiscard]] const TextFormat& Base() const { return formats_[0].value(); }
    [[nodiscard]] std::optional<int> Find(const TextFormat& format) const;

    // The style of `format`, allocated when new; `isNew` tells the caller to
    // set the style up. Empty when every style is taken.
    [[nodiscard]] std::optional<int> Allocate(const TextFormat& format, bool& isNew);

    // Frees the styles whose flag in `used` is false (style 0 stays).
    void Release(const std::array<bool, kStyleCount>& used);

    // The allocated style closest to `format`: same face and size first, then
    // same bold/italic, then the nearest colour.
    [[nodiscard]] int Nearest(const TextFormat& format) const;

    [[nodiscard]] const std::optional<TextFormat>& FormatOf(int style) const {
        return formats_.at(static_cast<std::size_t>(style));
    }
    [[nodiscard]] int AllocatedCount() const;

    // Changes face and size of every allocated style (the editor font
    // changed), keeping colours and bold/italic.
    void SetFontOfAll(const std::string& face, int sizeHalfPoints);

    [[nodiscard]] static constexpr bool IsReserved(int style) noexcept {
        return style >= kFirstReserved && style <= kLastReserved;
    }

private:
    std::array<std::optional<TextFormat>, kStyleCount> formats_;
};

}  // namespace vk
