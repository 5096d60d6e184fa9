#include "class_fonts.h"

#include "settings/settings.h"

namespace vk {

ClassFonts LoadClassFonts(Registry& registry) {
    TFont editorFont;
    LoadEditorFont(registry, editorFont);
    ClassFonts fonts;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        fonts[i] = editorFont;
        (void)LoadTokenStyle(registry, kTokenClassNames[i], fonts[i]);
    }
    return fonts;
}

}  // namespace vk
