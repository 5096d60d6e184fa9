#include "filters/filter_options_dialog.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "editor/ansi_text.h"

namespace vk {
namespace {

constexpr int kFormWidth = 330;
constexpr int kShortHeight = 218;
constexpr int kLongHeight = 295;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
// Rows of boxes inside the group, two boxes a row.
constexpr int kFirstRowTop = 70;
constexpr int kRowStep = 28;
constexpr int kBoxLeft[2] = {12, 160};
constexpr int kBoxWidth = 140;

}  // namespace

TfFilterOptions::TfFilterOptions(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfFilterOptions"));
    setWindowTitle(QStringLiteral("Filter"));

    rgFilterOptions_ = new QGroupBox(this);
    rgFilterOptions_->setObjectName(QStringLiteral("rgFilterOptions"));
    any_ = new QRadioButton(QStringLiteral("Any of the following strings"), rgFilterOptions_);
    all_ = new QRadioButton(QStringLiteral("All of the following strings"), rgFilterOptions_);
    any_->setGeometry(12, 20, 290, 20);
    all_->setGeometry(12, 42, 290, 20);
    any_->setChecked(true);
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        auto* box = new QLineEdit(rgFilterOptions_);
        box->setObjectName(QStringLiteral("edOptions%1").arg(i + 1));
        const int row = static_cast<int>(i / 2);
        box->setGeometry(kBoxLeft[i % 2], kFirstRowTop + row * kRowStep, kBoxWidth, 21);
        boxes_[i] = box;
    }

    acMore_ = new QAction(QStringLiteral("&More..."), this);
    acMore_->setObjectName(QStringLiteral("acMore"));
    acLess_ = new QAction(QStringLiteral("Less..."), this);
    acLess_->setObjectName(QStringLiteral("acLess"));
    connect(acMore_, &QAction::triggered, this, [this] { SetLayout(true); });
    connect(acLess_, &QAction::triggered, this, [this] { SetLayout(false); });

    bMore_ = new QPushButton(QStringLiteral("&More..."), this);
    bMore_->setObjectName(QStringLiteral("bMore"));
    bOK_ = new QPushButton(QStringLiteral("&OK"), this);
    bOK_->setObjectName(QStringLiteral("bOK"));
    bOK_->setDefault(true);
    bCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    bCancel_->setObjectName(QStringLiteral("bCancel"));
    connect(bMore_, &QPushButton::clicked, this, [this] { bMoreClick(); });
    connect(bOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel_, &QPushButton::clicked, this, &QDialog::reject);

    SetLayout(false);
}

void TfFilterOptions::SetLayout(bool longLayout) {
    long_ = longLayout;
    for (std::size_t i = 0; i < boxes_.size(); ++i) boxes_[i]->setVisible(longLayout || i < 4);
    bMore_->setVisible(!longLayout);
    const int height = longLayout ? kLongHeight : kShortHeight;
    const int buttonsTop = longLayout ? 236 : 159;
    rgFilterOptions_->setGeometry(8, 4, kFormWidth - 16, buttonsTop - 12);
    bMore_->setGeometry(37, 159, kButtonWidth, kButtonHeight);
    bOK_->setGeometry(longLayout ? 82 : 128, buttonsTop, kButtonWidth, kButtonHeight);
    bCancel_->setGeometry(longLayout ? 172 : 217, buttonsTop, kButtonWidth, kButtonHeight);
    setFixedSize(kFormWidth, height);
}

void TfFilterOptions::bMoreClick() {
    acMore_->trigger();
    boxes_[4]->setFocus();
}

void TfFilterOptions::Prepare(const FilterOptionsSplit& split, int filterNumber,
                              const QString& fieldAndCompare) {
    (split.join == FilterJoin::All ? all_ : any_)->setChecked(true);
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        boxes_[i]->setText(i < split.pieces.size() ? FromAnsi(split.pieces[i]) : QString());
    (split.longLayout() ? acMore_ : acLess_)->trigger();
    setWindowTitle(QStringLiteral("Filter %1").arg(filterNumber));
    rgFilterOptions_->setTitle(fieldAndCompare);
}

FilterJoin TfFilterOptions::Join() const {
    return all_->isChecked() ? FilterJoin::All : FilterJoin::Any;
}

std::vector<std::string> TfFilterOptions::Boxes() const {
    std::vector<std::string> texts;
    for (const QLineEdit* box : boxes_) texts.push_back(ToAnsi(box->text()));
    return texts;
}

void TfFilterOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QLineEdit* first = boxes_[long_ ? 4 : 0];
    // After the window is up, so the focus is not taken back by the show.
    QTimer::singleShot(0, first, [first] { first->setFocus(); });
}

}  // namespace vk
