#include "highlight/class_fonts.h"

#include "settings/settings.h"

namespace vk {

ClassFonts LoadClassFonts(Registry& registry) {
    TFont editorFont;
    LoadEditorFont(registry, editorFont);
    ClassFonts fonts;
    for (std::size_t k = 0; k < kTokenClassCount; ++k) {
        fonts[k] = editorFont;
        (void)LoadTokenStyle(registry, kTokenClassNames[k], fonts[k]);
    }
    return fonts;
}

}  // namespace vk
