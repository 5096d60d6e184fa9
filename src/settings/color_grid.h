#pragma once

#include <QWidget>
#include <cstdint>

namespace vk {

// The colour grid `cgEditor`: the sixteen colours of kColorGridCells in two
// columns and eight rows, foreground only. At most one cell is selected
// (drawn with a frame); clicking a cell selects it and reports its colour.
class TColorGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 2;
    static constexpr int kRows = 8;

    explicit TColorGrid(QWidget* parent = nullptr);

    // -1 when no cell is selected.
    [[nodiscard]] int SelectedCell() const { return selected_; }
    // Selects the cell holding `color`, or none when no cell holds it (the
    // window text colour, for one).
    void SelectColor(std::uint32_t color);
    void ClearSelection();
    [[nodiscard]] QRect CellRect(int cell) const;

    [[nodiscard]] QSize sizeHint() const override;

signals:
    // The user clicked a cell; `color` is 0x00BBGGRR.
    void colorClicked(std::uint32_t color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int selected_ = -1;
};

}  // namespace vk
