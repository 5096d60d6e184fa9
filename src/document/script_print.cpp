#include "document/script_print.h"

#include "document/script_checksum.h"

namespace vk {

ScriptPrint PrintOf(std::string_view bytes) noexcept {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const unsigned char c : bytes)
        crc = ChecksumTableEntry(static_cast<std::uint8_t>((crc ^ c) & 0xFF)) ^ (crc >> 8);
    return {crc ^ 0xFFFFFFFFu, bytes.size()};
}

}  // namespace vk
