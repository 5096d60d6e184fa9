#include "browser/code_browser_images.h"

#include <QPainter>
#include <QPixmap>
#include <array>

namespace vk {
namespace {

constexpr int kSize = 16;

enum class Shape { Lines, Circle, Empty, Open, Cross };

struct Image {
    Shape shape;
    QRgb color;
};

// Four colours of a block with code, of a round mark, of an empty block, then
// the marks of a block that does not end.
constexpr std::array<Image, 16> kImages = {{
    {Shape::Lines, 0x285ab4},
    {Shape::Lines, 0x2e8b3a},
    {Shape::Lines, 0xe0a020},
    {Shape::Lines, 0x8040a0},
    {Shape::Circle, 0x285ab4},
    {Shape::Circle, 0x2e8b3a},
    {Shape::Circle, 0xe0a020},
    {Shape::Circle, 0x8040a0},
    {Shape::Empty, 0x2e8b3a},
    {Shape::Empty, 0x285ab4},
    {Shape::Empty, 0x808080},
    {Shape::Empty, 0xe0a020},
    {Shape::Open, 0xe0a020},
    {Shape::Open, 0xc03030},
    {Shape::Cross, 0xc03030},
    {Shape::Circle, 0xc03030},
}};

void Paint(QPainter& p, const Image& image) {
    const QColor color = QColor::fromRgb(image.color);
    const QColor ink(0x30, 0x30, 0x30);
    switch (image.shape) {
        case Shape::Lines:
            p.setPen(QPen(ink, 1));
            p.setBrush(color);
            p.drawRect(2, 1, 11, 13);
            p.setPen(QPen(Qt::white, 1));
            for (int y = 4; y <= 11; y += 3) p.drawLine(4, y, 11, y);
            break;
        case Shape::Circle:
            p.setPen(QPen(ink, 1));
            p.setBrush(color);
            p.drawEllipse(QPointF(7.5, 7.5), 5.5, 5.5);
            break;
        case Shape::Empty:
            p.setPen(QPen(color, 2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(3, 2, 10, 12);
            break;
        case Shape::Open:
            p.setPen(QPen(color, 2));
            p.drawLine(3, 14, 3, 2);
            p.drawLine(3, 2, 13, 2);
            p.drawLine(13, 2, 13, 14);
            p.setPen(QPen(color, 1, Qt::DotLine));
            p.drawLine(3, 14, 13, 14);
            break;
        case Shape::Cross:
            p.setPen(QPen(color, 2));
            p.drawLine(3, 3, 12, 12);
            p.drawLine(12, 3, 3, 12);
            break;
    }
}

}  // namespace

std::vector<QIcon> MakeCodeBrowserImages() {
    std::vector<QIcon> images;
    images.reserve(kImages.size());
    for (const Image& image : kImages) {
        QPixmap pixmap(kSize, kSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, image.shape == Shape::Circle);
        Paint(painter, image);
        painter.end();
        images.emplace_back(pixmap);
    }
    return images;
}

}  // namespace vk
