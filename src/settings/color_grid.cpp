#include "settings/color_grid.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "highlight/color_table.h"

namespace vk {
namespace {

constexpr int kCellSize = 18;

QColor ToQColor(std::uint32_t color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace

TColorGrid::TColorGrid(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("cgEditor"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TColorGrid::SelectColor(std::uint32_t color) {
    const auto cell = std::find(kColorGridCells.begin(), kColorGridCells.end(), color);
    selected_ =
        cell == kColorGridCells.end() ? -1 : static_cast<int>(cell - kColorGridCells.begin());
    update();
}

void TColorGrid::ClearSelection() {
    selected_ = -1;
    update();
}

QRect TColorGrid::CellRect(int cell) const {
    // Row by row from the top left: cells 0 and 1 form the first row.
    const int column = cell % kColumns;
    const int row = cell / kColumns;
    return QRect(column * kCellSize, row * kCellSize, kCellSize, kCellSize);
}

QSize TColorGrid::sizeHint() const { return QSize(kColumns * kCellSize, kRows * kCellSize); }

void TColorGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int cell = 0; cell < static_cast<int>(kColorGridCells.size()); ++cell) {
        const QRect rect = CellRect(cell).adjusted(1, 1, -1, -1);
        painter.fillRect(rect, ToQColor(kColorGridCells[static_cast<std::size_t>(cell)]));
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    if (selected_ >= 0) {
        // A double frame, black inside white, shows on every cell colour.
        const QRect rect = CellRect(selected_);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawRect(rect.adjusted(2, 2, -2, -2));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void TColorGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    for (int cell = 0; cell < static_cast<int>(kColorGridCells.size()); ++cell) {
        if (!CellRect(cell).contains(event->position().toPoint())) continue;
        selected_ = cell;
        update();
        emit colorClicked(kColorGridCells[static_cast<std::size_t>(cell)]);
        return;
    }
}

}  // namespace vk
