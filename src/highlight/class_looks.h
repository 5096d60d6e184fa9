#pragma once

#include <array>
#include <cstdint>

#include "highlight/color_stream.h"
#include "highlight/token_class.h"

namespace vk {

// What recolouring gives a character of a token class: its colour and
// bold/italic. Face and size stay as the character has them.
struct ClassLook {
    std::uint32_t color = 0;  // 0x00BBGGRR
    bool bold = false;
    bool italic = false;
    bool operator==(const ClassLook&) const = default;
};

using ClassLooks = std::array<ClassLook, kTokenClassCount>;

// The looks of the classes exactly as a coloured load shows them: the class
// fonts written as RTF and read back. A colour the RTF colour table does not
// hold comes back as black there, so it does here too; recoloured text then
// always matches text that was loaded.
[[nodiscard]] ClassLooks ClassLooksAsLoaded(const ClassFonts& fonts);

}  // namespace vk
