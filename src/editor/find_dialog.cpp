#include "editor/find_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/ansi_text.h"
#include "editor/named_object.h"

namespace vk {

TfFindReplace::TfFindReplace(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgReplace"));
    setWindowTitle(QStringLiteral("Replace"));
    setModal(false);

    edFindText_ = Named(new QLineEdit(this), "edFindText");
    edReplaceText_ = Named(new QLineEdit(this), "edReplaceText");
    auto* fields = new QFormLayout;
    auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    findLabel->setBuddy(edFindText_);
    auto* replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
    replaceLabel->setBuddy(edReplaceText_);
    fields->addRow(findLabel, edFindText_);
    fields->addRow(replaceLabel, edReplaceText_);

    xbWholeWord_ =
        Named(new QCheckBox(QStringLiteral("Match &whole word only"), this), "xbWholeWord");
    xbMatchCase_ = Named(new QCheckBox(QStringLiteral("Match &case"), this), "xbMatchCase");
    xbWrapAround_ = Named(new QCheckBox(QStringLiteral("Wrap ar&ound"), this), "xbWrapAround");
    xbRegex_ = Named(new QCheckBox(QStringLiteral("Regular e&xpression"), this), "xbRegex");
    // Whole words mean nothing to a regular expression.
    connect(xbRegex_, &QCheckBox::toggled, xbWholeWord_, &QCheckBox::setDisabled);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    for (QCheckBox* box : {xbWholeWord_, xbMatchCase_, xbWrapAround_, xbRegex_})
        left->addWidget(box);
    left->addStretch();

    btFindNext_ = Named(new QPushButton(QStringLiteral("&Find Next"), this), "btFindNext");
    btFindNext_->setDefault(true);
    btReplace_ = Named(new QPushButton(QStringLiteral("&Replace"), this), "btReplace");
    btReplaceAll_ = Named(new QPushButton(QStringLiteral("Replace &All"), this), "btReplaceAll");
    auto* cancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "btCancel");
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {btFindNext_, btReplace_, btReplaceAll_, cancel})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(btFindNext_, &QPushButton::clicked, this, &TfFindReplace::findNext);
    connect(btReplace_, &QPushButton::clicked, this, &TfFindReplace::replace);
    connect(btReplaceAll_, &QPushButton::clicked, this, &TfFindReplace::replaceAll);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edFindText_, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
    UpdateButtons();
}

FindRequest TfFindReplace::Request() const {
    FindRequest request;
    request.findText = ToAnsi(edFindText_->text());
    request.replaceText = ToAnsi(edReplaceText_->text());
    request.matchCase = xbMatchCase_->isChecked();
    request.wholeWord = xbWholeWord_->isChecked() && !xbRegex_->isChecked();
    request.wrapAround = xbWrapAround_->isChecked();
    request.regex = xbRegex_->isChecked();
    return request;
}

void TfFindReplace::UpdateButtons() {
    // There is nothing to search for without a find text.
    const bool any = !edFindText_->text().isEmpty();
    for (QPushButton* button : {btFindNext_, btReplace_, btReplaceAll_}) button->setEnabled(any);
}

}  // namespace vk
