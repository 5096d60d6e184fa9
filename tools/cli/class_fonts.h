#pragma once

#include "highlight/color_stream.h"

namespace vk {

class Registry;

// The class fonts as the editor makes them: every class starts as the editor
// font ("Font name", "Font size"), then takes its colour and style from its
// "Color Settings" record when there is one.
[[nodiscard]] ClassFonts LoadClassFonts(Registry& registry);

}  // namespace vk
