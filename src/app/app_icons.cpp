#include "app/app_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace vk {
namespace {

constexpr int kSize = 16;

const QColor kInk(0x30, 0x30, 0x30);
const QColor kBlue(0x28, 0x5a, 0xb4);
const QColor kGreen(0x2e, 0x8b, 0x3a);
const QColor kRed(0xc0, 0x30, 0x30);
const QColor kPaper(0xfa, 0xfa, 0xf2);
const QColor kAmber(0xe0, 0xa0, 0x20);

// An arrow pointing right or left over the middle of the image.
void DrawArrow(QPainter& p, int y, bool right, const QColor& color) {
    p.setPen(QPen(color, 2));
    const int tip = right ? 14 : 2;
    const int tail = right ? 7 : 9;
    const int back = right ? -3 : 3;
    p.drawLine(tail, y, tip, y);
    p.drawLine(tip, y, tip + back, y - 3);
    p.drawLine(tip, y, tip + back, y + 3);
}

void DrawTextLines(QPainter& p, int left) {
    p.setPen(QPen(kInk, 1));
    for (int y = 3; y <= 13; y += 3) p.drawLine(left, y, 14, y);
}

void DrawPage(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(3, 1, 10, 14);
    for (int y = 5; y <= 11; y += 3) p.drawLine(5, y, 11, y);
}

void DrawWindow(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(1, 2, 13, 11);
    p.fillRect(2, 3, 12, 3, kBlue);
}

void DrawUpArrow(QPainter& p, int x, const QColor& color) {
    p.setPen(QPen(color, 2));
    p.drawLine(x, 14, x, 5);
    p.drawLine(x, 4, x - 3, 7);
    p.drawLine(x, 4, x + 3, 7);
}

void Paint(QPainter& p, AppIcon icon) {
    switch (icon) {
        case AppIcon::FocusCommence:
            DrawWindow(p);
            p.setBrush(kAmber);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(8, 10), 2.5, 2.5);
            break;
        case AppIcon::Update:
            DrawPage(p);
            DrawUpArrow(p, 11, kGreen);
            break;
        case AppIcon::UpdateAndFocus:
            DrawWindow(p);
            DrawUpArrow(p, 11, kGreen);
            break;
        case AppIcon::SaveToDisk:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kBlue);
            p.drawRect(1, 1, 13, 13);
            p.fillRect(4, 2, 8, 5, kPaper);
            p.fillRect(5, 10, 6, 4, kInk);
            break;
        case AppIcon::Print:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kPaper);
            p.drawRect(4, 1, 8, 5);
            p.setBrush(QColor(0xa0, 0xa0, 0xa0));
            p.drawRect(1, 6, 14, 6);
            p.setBrush(kPaper);
            p.drawRect(4, 10, 8, 5);
            break;
        case AppIcon::IndentBlock:
            DrawTextLines(p, 8);
            DrawArrow(p, 8, true, kBlue);
            break;
        case AppIcon::UnindentBlock:
            DrawTextLines(p, 8);
            DrawArrow(p, 8, false, kBlue);
            break;
        case AppIcon::Bookmark: {
            QPolygonF flag;
            flag << QPointF(4, 1) << QPointF(12, 1) << QPointF(12, 15) << QPointF(8, 11)
                 << QPointF(4, 15);
            p.setPen(QPen(kInk, 1));
            p.setBrush(kBlue);
            p.drawPolygon(flag);
            break;
        }
        case AppIcon::Database:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kAmber);
            p.drawRect(2, 3, 12, 10);
            p.drawEllipse(QRectF(2, 1, 12, 4));
            p.drawArc(QRectF(2, 11, 12, 4), 180 * 16, 180 * 16);
            break;
        case AppIcon::Category:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kAmber);
            p.drawRect(1, 4, 14, 10);
            p.drawRect(1, 2, 6, 2);
            break;
        case AppIcon::Form:
            DrawPage(p);
            break;
        case AppIcon::HideWarnings:
            p.setPen(QPen(kRed, 2));
            p.drawLine(4, 4, 12, 12);
            p.drawLine(12, 4, 4, 12);
            break;
    }
}

}  // namespace

QIcon MakeIcon(AppIcon icon) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        Paint(painter, icon);
    }
    return QIcon(pixmap);
}

}  // namespace vk
