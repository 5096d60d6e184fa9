#pragma once

#include <QListWidget>

namespace vk {

// The check list `xlbHelpFiles`: the help systems in priority order, each
// with its check mark. Entries are reordered by MoveEntry (the up and down
// buttons) or by dragging one entry onto another.
class THelpFileList : public QListWidget {
    Q_OBJECT
public:
    explicit THelpFileList(QWidget* parent = nullptr);

    // Takes the entry at `from` out and puts it in at `to` with its check
    // mark, and selects it there. Dragging the last entry onto the first
    // puts it first and moves the others down by one.
    void MoveEntry(int from, int to);

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The row a drag from this list carries; -1 when it is not one.
    [[nodiscard]] int DraggedRow(const QMimeData* data) const;
};

}  // namespace vk
