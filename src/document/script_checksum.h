#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vk {

// The CRC-32 of ISO HDLC / IEEE 802.3 (reflected polynomial 0xEDB88320,
// initial value and final XOR 0xFFFFFFFF) over the bytes of `text` up to its
// first NUL byte. The empty text gives 0; "123456789" gives 0xcbf43926.
[[nodiscard]] std::uint32_t ScriptChecksum(std::string_view text) noexcept;

// What a script's bytes were when they were last seen: enough to tell
// whether either side changed them since.
struct ScriptPrint {
    std::uint32_t checksum = 0;  // the CRC-32 of every byte, past a NUL too
    std::uint64_t size = 0;      // and their count
    bool operator==(const ScriptPrint&) const = default;
};

// ScriptChecksum stops at a NUL byte, as the editor's does; a print counts
// every byte, so that a change behind a NUL still shows. Without a NUL the
// two checksums agree.
[[nodiscard]] ScriptPrint PrintOf(std::string_view bytes) noexcept;

// Whether the script Commence holds `now` is no longer the one taken at
// `base`: the one test the editor and `push` both make before storing over
// Commence's copy. Every byte counts, line ends included, so a change that
// only touched line ends is a change too.
[[nodiscard]] inline bool ChangedSinceBase(const ScriptPrint& base, std::string_view now) noexcept {
    return PrintOf(now) != base;
}

// Entry `index` (0..255) of the CRC table that follows from the polynomial:
// entry 1 is 0x77073096, entry 255 is 0x2D02EF8D.
[[nodiscard]] std::uint32_t ChecksumTableEntry(std::uint8_t index) noexcept;

// Eight lowercase hexadecimal digits with leading zeros: 0x1a gives
// "0000001a".
[[nodiscard]] std::string FormatChecksum(std::uint32_t value);

}  // namespace vk
