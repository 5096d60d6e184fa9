#include "document/script_checksum.h"

#include <array>
#include <bit>
#include <cstring>

#include "common/text_helpers.h"

namespace vk {
namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320u;

// tables[0] is the classic byte table. tables[k][b] is the CRC register after
// byte b followed by k zero bytes, which lets one step fold sixteen bytes at a
// time ("slicing by 16") with exactly the same result as sixteen byte steps.
// The 16 KB of tables stay in the first-level cache.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 16>;

constexpr CrcTables MakeTables() {
    CrcTables t{};
    for (std::uint32_t b = 0; b < 256; ++b) {
        std::uint32_t crc = b;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? (crc >> 1) ^ kPolynomial : crc >> 1;
        t[0][b] = crc;
    }
    for (std::size_t k = 1; k < t.size(); ++k) {
        for (std::size_t b = 0; b < 256; ++b)
            t[k][b] = t[0][t[k - 1][b] & 0xFFu] ^ (t[k - 1][b] >> 8);
    }
    return t;
}

constexpr CrcTables kTables = MakeTables();

constexpr std::uint32_t ByteStep(std::uint32_t crc, unsigned char b) noexcept {
    return kTables[0][(crc ^ b) & 0xFFu] ^ (crc >> 8);
}

static_assert(kTables[0][1] == 0x77073096u);
static_assert(kTables[0][255] == 0x2D02EF8Du);

// Reads four bytes as a little-endian value whatever the host order, so the
// slicing stays correct on a big-endian machine.
inline std::uint32_t LoadLittleEndian32(const unsigned char* p) noexcept {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint32_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    } else {
        return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
               std::uint32_t{p[3]} << 24;
    }
}

inline std::uint32_t Fold4(std::uint32_t v, int table) noexcept {
    return kTables[table + 3][v & 0xFF] ^ kTables[table + 2][(v >> 8) & 0xFF] ^
           kTables[table + 1][(v >> 16) & 0xFF] ^ kTables[table][v >> 24];
}

// The CRC-32 of n bytes.
std::uint32_t Crc32(const unsigned char* p, std::size_t n) noexcept {
    if (n == 0) return 0;
    std::uint32_t crc = 0xFFFFFFFFu;
    for (; n >= 16; n -= 16, p += 16) {
        crc = Fold4(LoadLittleEndian32(p) ^ crc, 12) ^ Fold4(LoadLittleEndian32(p + 4), 8) ^
              Fold4(LoadLittleEndian32(p + 8), 4) ^ Fold4(LoadLittleEndian32(p + 12), 0);
    }
    for (; n > 0; --n, ++p) crc = ByteStep(crc, *p);
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace

std::uint32_t ScriptChecksum(std::string_view text) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t n = text.size();
    if (const void* nul = n == 0 ? nullptr : std::memchr(p, 0, n))
        n = static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - p);
    return Crc32(p, n);
}

ScriptPrint PrintOf(std::string_view bytes) noexcept {
    return {Crc32(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()),
            bytes.size()};
}

std::uint32_t ChecksumTableEntry(std::uint8_t index) noexcept { return kTables[0][index]; }

std::string FormatChecksum(std::uint32_t value) {
    std::string out(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4)
        out[static_cast<std::size_t>(i)] = kHexDigits[value & 0xFu];
    return out;
}

}  // namespace vk
