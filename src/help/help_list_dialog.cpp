#include "help/help_list_dialog.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

namespace vk {
namespace {

constexpr int kListWidth = 291;
constexpr int kListHeight = 119;
constexpr int kItemHeight = 16;
constexpr int kListFontPoints = 10;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kMargin = 2;

}  // namespace

TfHelpList::TfHelpList(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fHelpList"));
    setFixedSize(kClientWidth, kClientHeight);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    lbSelection_ = new QListWidget(this);
    lbSelection_->setObjectName(QStringLiteral("lbSelection"));
    lbSelection_->setGeometry(kMargin, kMargin, kListWidth, kListHeight);
    QFont font = lbSelection_->font();
    font.setPointSize(kListFontPoints);
    lbSelection_->setFont(font);
    lbSelection_->setUniformItemSizes(true);

    const int buttonTop =
        kMargin + kListHeight + (kClientHeight - kListHeight - kMargin - kButtonHeight) / 2;
    bOK_ = new QPushButton(tr("OK"), this);
    bOK_->setObjectName(QStringLiteral("bOK"));
    bOK_->setDefault(true);
    bOK_->setGeometry(kClientWidth - 2 * (kButtonWidth + 8), buttonTop, kButtonWidth,
                      kButtonHeight);
    bCancel_ = new QPushButton(tr("Cancel"), this);
    bCancel_->setObjectName(QStringLiteral("bCancel"));
    bCancel_->setGeometry(kClientWidth - kButtonWidth - 8, buttonTop, kButtonWidth, kButtonHeight);

    connect(bOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(lbSelection_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

void TfHelpList::AddTopic(const QString& text, const QString& path) {
    auto* item = new QListWidgetItem(text, lbSelection_);
    item->setData(Qt::UserRole, path);
    item->setSizeHint(QSize(0, kItemHeight));
}

QString TfHelpList::SelectedPath() const {
    const QListWidgetItem* item = lbSelection_->currentItem();
    return item && item->isSelected() ? item->data(Qt::UserRole).toString() : QString();
}

void TfHelpList::showEvent(QShowEvent* event) {
    // Centred on the screen, not on the main window.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

}  // namespace vk
