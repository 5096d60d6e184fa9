#include "history/ui/recovery_dialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/ansi_text.h"
#include "history/recovery_record.h"
#include "history/ui/diff_view.h"

namespace vk {

TfRecoverScript::TfRecoverScript(const RecoveryRecord& record,
                                 const std::optional<std::string>& commenceNow,
                                 const std::string& unreadable, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("fRecoverScript"));
    setWindowTitle(QStringLiteral("Recover unsaved changes"));
    resize(900, 560);
    auto* layout = new QVBoxLayout(this);

    const QString when = QDateTime::fromSecsSinceEpoch(record.savedAt)
                             .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QString text = QStringLiteral(
                       "Vellumkit ended without checking in your changes to the script of the "
                       "form \"%1\" (category \"%2\", database \"%3\"). They were last kept at "
                       "%4.\n\n")
                       .arg(FromAnsi(record.form.form), FromAnsi(record.form.category),
                            FromAnsi(record.form.database), when);
    text += commenceNow ? QStringLiteral("Below, what Commence holds now beside your changes.")
                        : QStringLiteral(
                              "What Commence holds now cannot be read (%1); below, "
                              "the script as you opened it beside your changes.")
                              .arg(FromAnsi(unreadable));
    text += QStringLiteral(
        " Restore opens the form and puts your changes into the editor; nothing is stored "
        "until you check it in.");
    explanation_ = new QLabel(text, this);
    explanation_->setObjectName(QStringLiteral("lbExplanation"));
    explanation_->setWordWrap(true);
    layout->addWidget(explanation_);

    differences_ = new TDiffView(this);
    differences_->ShowTwo(
        commenceNow ? QStringLiteral("Commence now") : QStringLiteral("As opened"),
        commenceNow ? *commenceNow : record.base, QStringLiteral("Your unsaved changes"),
        record.text);
    layout->addWidget(differences_, 1);

    auto* buttons = new QDialogButtonBox(this);
    const auto add = [&](const char* name, const QString& caption,
                         QDialogButtonBox::ButtonRole role, Choice choice) {
        QPushButton* button = buttons->addButton(caption, role);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, [this, choice] {
            choice_ = choice;
            if (choice == Choice::Later)
                reject();
            else
                accept();
        });
        return button;
    };
    add("btRestore", QStringLiteral("&Restore"), QDialogButtonBox::AcceptRole, Choice::Restore)
        ->setDefault(true);
    add("btDiscard", QStringLiteral("&Discard"), QDialogButtonBox::DestructiveRole,
        Choice::Discard);
    add("btLater", QStringLiteral("&Not now"), QDialogButtonBox::RejectRole, Choice::Later);
    layout->addWidget(buttons);
}

TfRecoverScript::Choice TfRecoverScript::Ask() {
    choice_ = Choice::Later;
    exec();
    return choice_;
}

QString TfRecoverScript::Explanation() const { return explanation_->text(); }

}  // namespace vk
