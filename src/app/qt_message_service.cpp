#include "app/qt_message_service.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include "app/keep_clear.h"
#include "editor/ansi_text.h"

namespace vk {
namespace {

// Message texts separate their lines with CR, as the Windows boxes expect;
// Qt's labels break lines only at LF.
QString DisplayText(std::string_view text) {
    QString result = FromAnsi(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return QMessageBox::Ok;
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The button Escape and the close box stand for: the safest answer.
QMessageBox::StandardButton EscapeButton(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return QMessageBox::Ok;
        case MessageButtons::YesNo:
            return QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// A message box that, once it has its size, moves off an area it must not
// cover (centred over its parent, a question would hide the match it asks
// about).
class PlacedMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    std::optional<ScreenArea> keepClear;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        if (keepClear) MoveWindowOffArea(*this, ToRect(*keepClear));
    }
};

MessageAnswer ToAnswer(int button) {
    switch (button) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        default:
            return MessageAnswer::Ok;
    }
}

}  // namespace

QtMessageService::QtMessageService(QWidget* parent) : parent_(parent) {}

QWidget* QtMessageService::Parent() const {
    return parent_ ? parent_.data() : QApplication::activeWindow();
}

MessageAnswer QtMessageService::Show(std::string_view text, MessageIcon icon,
                                     MessageButtons buttons, std::string_view title) {
    PlacedMessageBox box(ToQtIcon(icon), FromAnsi(title), DisplayText(text), ToQtButtons(buttons),
                         Parent());
    box.keepClear = keepClear_;
    box.setTextFormat(Qt::PlainText);
    // The first button is the default one, as in the Windows boxes.
    box.setDefaultButton(buttons == MessageButtons::Ok ? QMessageBox::Ok : QMessageBox::Yes);
    box.setEscapeButton(EscapeButton(buttons));
    return ToAnswer(box.exec());
}

bool QtMessageService::Input(std::string_view title, std::string_view prompt, std::string& value) {
    bool accepted = false;
    const QString answer = QInputDialog::getText(Parent(), FromAnsi(title), DisplayText(prompt),
                                                 QLineEdit::Normal, FromAnsi(value), &accepted);
    if (!accepted) return false;
    value = ToAnsi(answer);
    return true;
}

}  // namespace vk
