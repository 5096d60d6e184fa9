// Recolouring edited text in place: token classes in, styles set only where
// they differ.

#include <algorithm>
#include <string>

#include "editor/recolouring.h"
#include "editor/script_editor.h"

namespace vk {

int ScriptEditor::RecolourRange(int start, int length, const ClassLooks& looks) {
    const int size = TextLength();
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    if (length == 0) return 0;
    EnsureStyledTo(static_cast<std::size_t>(start + length));

    // One read for text and styles: a byte of text, then its style.
    std::string styled(2 * static_cast<std::size_t>(length) + 2, '\0');
    SendScintilla(SCI_GETSTYLEDTEXT, start, start + length, styled.data());
    std::string text(static_cast<std::size_t>(length), '\0');
    std::string styles(static_cast<std::size_t>(length), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = styled[2 * i];
        styles[i] = styled[2 * i + 1];
    }

    // When every style is taken, the styles no character uses any more are
    // freed once; after that a format without a style gets the nearest one.
    bool released = false;
    std::array<bool, StyleTable::kStyleCount> picked{};
    auto wanted = [&](unsigned char style, TokenClass cls) -> unsigned char {
        TextFormat format = styles_.FormatOf(style).value_or(styles_.Base());
        const ClassLook& look = looks[IndexOf(cls)];
        format.color = look.color & 0xFFFFFF;
        format.bold = look.bold;
        format.italic = look.italic;
        bool isNew = false;
        std::optional<int> chosen = styles_.Allocate(format, isNew);
        if (!chosen && !released) {
            std::array<bool, StyleTable::kStyleCount> keep = picked;
            for (char c : styles) keep[static_cast<unsigned char>(c)] = true;
            ReleaseUnusedStyles(keep);
            released = true;
            chosen = styles_.Allocate(format, isNew);
        }
        if (!chosen) chosen = styles_.Nearest(format);
        if (isNew) ApplyStyle(*chosen, format);
        picked[static_cast<std::size_t>(*chosen)] = true;
        return static_cast<unsigned char>(*chosen);
    };

    int restyled = 0;
    for (const StyleSpan& span : StyleChanges(text, styles, wanted)) {
        Send(SCI_STARTSTYLING, static_cast<unsigned long>(start) + span.offset, 0xFF);
        SendScintilla(SCI_SETSTYLINGEX, static_cast<uintptr_t>(span.styles.size()),
                      span.styles.data());
        restyled += static_cast<int>(span.styles.size());
    }
    return restyled;
}

}  // namespace vk
