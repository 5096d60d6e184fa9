#include <algorithm>

#include "editor/display_font.h"
#include "editor/script_editor.h"

namespace vk {

void ScriptEditor::SetEditorFont(std::string_view face, int sizePoints) {
    TextFormat base = styles_.Base();
    base.face = std::string(face);
    base.sizeHalfPoints = sizePoints * 2;
    styles_.SetFontOfAll(base.face, base.sizeHalfPoints);
    ApplyStyle(STYLE_DEFAULT, base);
    for (int style = 0; style < StyleTable::kStyleCount; ++style)
        if (const auto& format = styles_.FormatOf(style)) ApplyStyle(style, *format);
}

void ScriptEditor::ApplyStyle(int style, const TextFormat& format) {
    TextFormat shown = format;
    if (shown.face.empty()) shown.face = styles_.Base().face;
    // Each load hands out its styles afresh, mostly with the formats they
    // had before; defining a style again costs a font lookup for nothing.
    std::optional<TextFormat>& applied = appliedStyles_.at(static_cast<std::size_t>(style));
    if (applied == shown) return;
    applied = shown;
    const auto s = static_cast<uintptr_t>(style);
    const QByteArray face = DisplayFace(shown.face).toLatin1();
    SendScintilla(SCI_STYLESETFONT, s, face.constData());
    Send(SCI_STYLESETSIZEFRACTIONAL, s, format.sizeHalfPoints * 50L);
    Send(SCI_STYLESETFORE, s, static_cast<long>(format.color & 0xFFFFFF));
    Send(SCI_STYLESETBOLD, s, format.bold ? 1 : 0);
    Send(SCI_STYLESETITALIC, s, format.italic ? 1 : 0);
}

int ScriptEditor::StyleFor(const TextFormat& format) {
    bool isNew = false;
    std::optional<int> style = styles_.Allocate(format, isNew);
    if (!style) return styles_.Nearest(format);
    if (isNew) ApplyStyle(*style, format);
    return *style;
}

void ScriptEditor::ReleaseUnusedStyles(std::array<bool, StyleTable::kStyleCount> used) {
    const int size = TextLength();
    EnsureStyledTo(static_cast<std::size_t>(size));
    for (int pos = 0; pos < size; ++pos)
        used[static_cast<std::size_t>(Send(SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) &
                                      0xFF)] = true;
    styles_.Release(used);
}

void ScriptEditor::SetRangeFormat(int start, int length, std::uint32_t color, bool bold,
                                  bool italic) {
    const int size = TextLength();
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    if (length == 0) return;
    EnsureStyledTo(static_cast<std::size_t>(start + length));

    std::string current(static_cast<std::size_t>(length), '\0');
    for (int i = 0; i < length; ++i)
        current[static_cast<std::size_t>(i)] =
            static_cast<char>(Send(SCI_GETSTYLEAT, static_cast<unsigned long>(start + i)));

    auto restyled = [&](unsigned char old) {
        TextFormat format = styles_.FormatOf(old).value_or(styles_.Base());
        format.color = color & 0xFFFFFF;
        format.bold = bold;
        format.italic = italic;
        return format;
    };
    // When every style is taken, styles that no character uses any more are
    // freed once; after that a format without a style gets the nearest one.
    std::array<int, StyleTable::kStyleCount> mapping;
    mapping.fill(-1);
    bool released = false;
    for (char c : current) {
        const auto old = static_cast<unsigned char>(c);
        if (mapping[old] >= 0) continue;
        const TextFormat format = restyled(old);
        bool isNew = false;
        std::optional<int> style = styles_.Allocate(format, isNew);
        if (!style && !released) {
            // Styles picked earlier in this call are not in the text yet.
            std::array<bool, StyleTable::kStyleCount> keep{};
            for (int picked : mapping)
                if (picked >= 0) keep[static_cast<std::size_t>(picked)] = true;
            ReleaseUnusedStyles(keep);
            released = true;
            style = styles_.Allocate(format, isNew);
        }
        if (!style) style = styles_.Nearest(format);
        if (isNew) ApplyStyle(*style, format);
        mapping[old] = *style;
    }

    std::string wanted(current.size(), '\0');
    for (std::size_t i = 0; i < current.size(); ++i)
        wanted[i] = static_cast<char>(mapping[static_cast<unsigned char>(current[i])]);
    if (wanted == current) return;
    Send(SCI_STARTSTYLING, static_cast<unsigned long>(start), 0xFF);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<uintptr_t>(wanted.size()), wanted.data());
}

RangeFormatReport ScriptEditor::RangeFormat(int start, int length) const {
    const int size = TextLength();
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    EnsureStyledTo(static_cast<std::size_t>(start + length) + 1);
    auto formatAt = [&](int pos) -> TextFormat {
        if (pos >= size) return styles_.Base();
        const auto style =
            static_cast<int>(Send(SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) & 0xFF);
        return styles_.FormatOf(style).value_or(styles_.Base());
    };
    const TextFormat first = formatAt(start);
    RangeFormatReport report{first.color, first.bold, first.italic};
    int previousStyle = -1;
    for (int pos = start + 1; pos < start + length; ++pos) {
        const auto style =
            static_cast<int>(Send(SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) & 0xFF);
        if (style == previousStyle) continue;
        previousStyle = style;
        const TextFormat f = styles_.FormatOf(style).value_or(styles_.Base());
        report.colorUniform = report.colorUniform && f.color == first.color;
        report.boldUniform = report.boldUniform && f.bold == first.bold;
        report.italicUniform = report.italicUniform && f.italic == first.italic;
    }
    return report;
}

}  // namespace vk
