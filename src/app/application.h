#pragma once

#include <QApplication>
#include <QFont>

namespace vk {

class MessageService;

// The program's QApplication: the 8-point sans-serif interface font, and the
// last line of defence for errors. Commands catch their own exceptions (see
// RunCommand); one that still escapes an event handler is shown in the error
// box here instead of ending the program.
class VellumkitApplication : public QApplication {
    Q_OBJECT
public:
    VellumkitApplication(int& argc, char** argv);

    // Where escaped errors are shown; without one they are dropped.
    void SetErrorService(MessageService* messages) { messages_ = messages; }

    bool notify(QObject* receiver, QEvent* event) override;

    // The interface font of every window: 8-point sans-serif.
    static QFont InterfaceFont();

private:
    void ReportEscapedError(const char* message);

    MessageService* messages_ = nullptr;
};

}  // namespace vk
