#include "settings/help_file_list.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>

namespace vk {
namespace {

// The dragged row travels as text under a type of the program's own, so a
// drop from anywhere else is refused.
const QString kRowMimeType = QStringLiteral("application/x-vellumkit-help-file-row");

}  // namespace

THelpFileList::THelpFileList(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("xlbHelpFiles"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
}

void THelpFileList::MoveEntry(int from, int to) {
    if (from < 0 || from >= count() || to < 0 || to >= count() || from == to) return;
    QListWidgetItem* item = takeItem(from);
    insertItem(to, item);
    setCurrentRow(to);
}

QStringList THelpFileList::mimeTypes() const { return {kRowMimeType}; }

QMimeData* THelpFileList::mimeData(const QList<QListWidgetItem*>& items) const {
    if (items.size() != 1) return nullptr;
    auto* data = new QMimeData;
    data->setData(kRowMimeType, QByteArray::number(row(items.front())));
    return data;
}

void THelpFileList::startDrag(Qt::DropActions) {
    // The drop moves the entry itself (see dropEvent); the view's own drag
    // would then also remove the "moved" source row.
    QListWidgetItem* item = currentItem();
    if (item == nullptr) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(mimeData({item}));
    drag->exec(Qt::MoveAction);
}

int THelpFileList::DraggedRow(const QMimeData* data) const {
    if (data == nullptr || !data->hasFormat(kRowMimeType)) return -1;
    bool ok = false;
    const int dragged = data->data(kRowMimeType).toInt(&ok);
    return ok && dragged >= 0 && dragged < count() ? dragged : -1;
}

void THelpFileList::dragEnterEvent(QDragEnterEvent* event) {
    if (DraggedRow(event->mimeData()) < 0) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void THelpFileList::dragMoveEvent(QDragMoveEvent* event) {
    // Only onto another entry: not onto itself, not onto the empty space.
    const int dragged = DraggedRow(event->mimeData());
    const QModelIndex target = indexAt(event->position().toPoint());
    if (dragged < 0 || !target.isValid() || target.row() == dragged) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void THelpFileList::dropEvent(QDropEvent* event) {
    const int dragged = DraggedRow(event->mimeData());
    const QModelIndex target = indexAt(event->position().toPoint());
    if (dragged < 0 || !target.isValid() || target.row() == dragged) {
        event->ignore();
        return;
    }
    MoveEntry(dragged, target.row());
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

}  // namespace vk
