#pragma once

#include "highlight/color_stream.h"

namespace vk {

class Registry;

// The class fonts as the colour stream starts with them: every class takes
// the editor font (face, size, colour, style), then its own colour record
// replaces the colour and the style.
[[nodiscard]] ClassFonts LoadClassFonts(Registry& registry);

}  // namespace vk
