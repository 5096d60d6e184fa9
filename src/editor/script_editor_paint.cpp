// Drawing of the Windows-1252 characters 0x80-0x9F.
//
// In single-byte mode QScintilla decodes text as Latin-1, where 0x80-0x9F are
// control codes that draw as missing-glyph boxes (0xA0-0xFF already match
// Windows-1252). Scintilla's character representations do not help here:
// they draw as inverted blobs and their text is decoded as Latin-1 too. So
// after QScintilla has painted, each such character on screen is painted
// over with its Windows-1252 glyph in its own style.

#include <QFont>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>
#include <optional>

#include "editor/ansi_text.h"
#include "editor/display_font.h"
#include "editor/script_editor.h"

namespace vk {

void ScriptEditor::paintEvent(QPaintEvent* event) {
    QsciScintilla::paintEvent(event);
    PaintWindowsCharacters();
}

void ScriptEditor::PaintWindowsCharacters() {
    const int lines = SciLineCount();
    const int first = FirstVisibleLine();
    if (first >= lines) return;
    const int last = std::min(lines - 1, first + static_cast<int>(Send(SCI_LINESONSCREEN)) + 1);
    const long start = Send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
    const long end = Send(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(last));
    if (end <= start) return;
    EnsureStyledTo(static_cast<std::size_t>(end));
    std::string bytes(static_cast<std::size_t>(end - start) + 1, '\0');
    SendScintilla(SCI_GETTEXTRANGE, start, end, bytes.data());
    bytes.pop_back();

    std::optional<QPainter> painter;
    const int selStart = SelStart();
    const int selEnd = selStart + SelLength();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80 || byte >= 0xA0) continue;
        const char16_t glyph = Windows1252ToUnicode(byte);
        if (glyph < 0x100) continue;  // unassigned: Windows shows no glyph either
        const auto pos = static_cast<unsigned long>(start) + i;
        const int x = static_cast<int>(Send(SCI_POINTXFROMPOSITION, 0, static_cast<long>(pos)));
        const int xEnd =
            static_cast<int>(Send(SCI_POINTXFROMPOSITION, 0, static_cast<long>(pos + 1)));
        const int y = static_cast<int>(Send(SCI_POINTYFROMPOSITION, 0, static_cast<long>(pos)));
        const int height = static_cast<int>(Send(SCI_TEXTHEIGHT, Send(SCI_LINEFROMPOSITION, pos)));
        if (xEnd <= x) continue;

        const int style = static_cast<int>(Send(SCI_GETSTYLEAT, pos) & 0xFF);
        const TextFormat format = styles_.FormatOf(style).value_or(styles_.Base());
        const bool selected = static_cast<int>(pos) >= selStart && static_cast<int>(pos) < selEnd;
        const long back = Send(SCI_STYLEGETBACK, static_cast<unsigned long>(style));
        const QColor background =
            selected ? selectionBack_
                     : QColor(back & 0xFF, (back >> 8) & 0xFF, (back >> 16) & 0xFF);
        const QColor foreground = selected ? selectionFore_
                                           : QColor(format.color & 0xFF, (format.color >> 8) & 0xFF,
                                                    (format.color >> 16) & 0xFF);

        QFont font(DisplayFace(format.face.empty() ? styles_.Base().face : format.face));
        font.setPointSizeF(format.sizeHalfPoints / 2.0);
        font.setBold(format.bold);
        font.setItalic(format.italic);
        if (!painter) painter.emplace(viewport());
        // The caret sits on the left edge of its character; leave that column.
        painter->fillRect(QRect(x + 1, y, xEnd - x - 1, height), background);
        painter->setFont(font);
        painter->setPen(foreground);
        // Scintilla puts the baseline at the whole-pixel ascent below the top.
        const qreal ascent = std::floor(QFontMetricsF(font, viewport()).ascent());
        painter->drawText(QPointF(x, y + ascent), QString(QChar(glyph)));
    }
}

}  // namespace vk
