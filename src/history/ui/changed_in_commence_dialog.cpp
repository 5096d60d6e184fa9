#include "history/ui/changed_in_commence_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/ansi_text.h"
#include "history/ui/diff_view.h"

namespace vk {

TfChangedInCommence::TfChangedInCommence(const FormLocation& form, std::string mine,
                                         std::string theirs, std::string base, QWidget* parent)
    : QDialog(parent), mine_(std::move(mine)), theirs_(std::move(theirs)), base_(std::move(base)) {
    setObjectName(QStringLiteral("fChangedInCommence"));
    setWindowTitle(QStringLiteral("Changed in Commence"));
    auto* layout = new QVBoxLayout(this);

    auto* question = new QLabel(this);
    question->setObjectName(QStringLiteral("lbQuestion"));
    question->setWordWrap(true);
    question->setText(
        QStringLiteral("The script of the form \"%1\" (category \"%2\", database \"%3\") was "
                       "changed in Commence since you opened it. Storing yours now would "
                       "overwrite that change.\n\nMerge takes the lines only one side changed "
                       "and marks the lines both changed; nothing is stored until you check "
                       "in again. Overwrite stores yours as it is.")
            .arg(FromAnsi(form.form), FromAnsi(form.category), FromAnsi(form.database)));
    layout->addWidget(question);

    differences_ = new TDiffView(this);
    differences_->setVisible(false);
    layout->addWidget(differences_, 1);

    auto* buttons = new QDialogButtonBox(this);
    const auto add = [&](const char* name, const QString& caption,
                         QDialogButtonBox::ButtonRole role) {
        QPushButton* button = buttons->addButton(caption, role);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    };
    btShowDifferences_ =
        add("btShowDifferences", QStringLiteral("Show &differences"), QDialogButtonBox::ActionRole);
    QPushButton* merge = add("btMerge", QStringLiteral("&Merge"), QDialogButtonBox::AcceptRole);
    QPushButton* overwrite =
        add("btOverwrite", QStringLiteral("&Overwrite"), QDialogButtonBox::DestructiveRole);
    QPushButton* cancel = add("btCancel", QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    // Enter must not overwrite anybody's work.
    btShowDifferences_->setDefault(true);
    layout->addWidget(buttons);

    connect(btShowDifferences_, &QPushButton::clicked, this, [this] { ToggleDifferences(); });
    connect(merge, &QPushButton::clicked, this, [this] { Choose(Choice::Merge); });
    connect(overwrite, &QPushButton::clicked, this, [this] { Choose(Choice::Overwrite); });
    connect(cancel, &QPushButton::clicked, this, [this] { Choose(Choice::Cancel); });
}

TfChangedInCommence::Choice TfChangedInCommence::Ask() {
    choice_ = Choice::Cancel;
    exec();
    return choice_;
}

void TfChangedInCommence::ToggleDifferences() {
    const bool show = !differences_->isVisible();
    if (show && differences_->PaneCount() == 0) differences_->ShowThree(mine_, theirs_, base_);
    differences_->setVisible(show);
    btShowDifferences_->setText(show ? QStringLiteral("Hide &differences")
                                     : QStringLiteral("Show &differences"));
    if (show) {
        // Grown for the panes, and kept on the screen of the window it asks
        // for.
        resize(std::max(width(), 900), std::max(height(), 560));
        if (const QScreen* screen = this->screen()) {
            const QRect room = screen->availableGeometry();
            QRect frame = geometry();
            frame.moveCenter(parentWidget() ? parentWidget()->geometry().center() : room.center());
            frame.moveLeft(std::clamp(frame.left(), room.left(),
                                      std::max(room.left(), room.right() - frame.width())));
            frame.moveTop(std::clamp(frame.top(), room.top(),
                                     std::max(room.top(), room.bottom() - frame.height())));
            setGeometry(frame);
        }
    }
}

void TfChangedInCommence::Choose(Choice choice) {
    choice_ = choice;
    if (choice == Choice::Cancel)
        reject();
    else
        accept();
}

}  // namespace vk
