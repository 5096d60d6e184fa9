#include "app/application.h"

#include <exception>

#include "common/messages.h"

namespace vk {

VellumkitApplication::VellumkitApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Vellumkit"));
    setFont(InterfaceFont());
}

QFont VellumkitApplication::InterfaceFont() {
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

bool VellumkitApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportEscapedError(e.what());
    } catch (...) {
        ReportEscapedError("Unknown error");
    }
    return false;
}

void VellumkitApplication::ReportEscapedError(const char* message) {
    if (messages_) messages_->ShowError(message);
}

}  // namespace vk
