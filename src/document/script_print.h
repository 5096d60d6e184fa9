#pragma once

#include <cstdint>
#include <string_view>

namespace vk {

// What a script's bytes were at one moment (a pull, a check-out, a version
// kept): enough to tell whether they changed since.
struct ScriptPrint {
    std::uint32_t checksum = 0;  // the CRC-32 of all the bytes
    std::uint64_t size = 0;      // and their count
    bool operator==(const ScriptPrint&) const = default;
};

// The print of `bytes`. Unlike ScriptChecksum it does not stop at a NUL byte,
// so a change behind one still shows; without a NUL the checksums agree.
[[nodiscard]] ScriptPrint PrintOf(std::string_view bytes) noexcept;

}  // namespace vk
