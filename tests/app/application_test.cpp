// The application object on its own: no other QApplication exists in this
// program, so each test makes the one it needs.
#include "app/application.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QFont>
#include <cstdlib>
#include <stdexcept>

#include "common/exceptions.h"
#include "support/recording_message_service.h"

namespace vk::test {
namespace {

// An object whose event handler fails the way a command could.
class FailingObject : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) throw EDDEFailed("Commence is not ready");
        if (event->type() == QEvent::User + 1) throw 42;
        return QObject::event(event);
    }
};

class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest() { setenv("QT_QPA_PLATFORM", "offscreen", 0); }

    int argc = 1;
    char name[10] = "vellumkit";
    char* argv[2] = {name, nullptr};
};

TEST_F(ApplicationTest, AnErrorEscapingAnEventHandlerIsShownAndTheLoopGoesOn) {
    VellumkitApplication app(argc, argv);
    RecordingMessageService messages;
    app.SetErrorService(&messages);
    FailingObject target;

    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&target, new QEvent(QEvent::Type(QEvent::User + 1)));
    QCoreApplication::processEvents();

    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].text, "Commence is not ready.");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(messages.messages[1].text, "Unknown error.");

    // Events after the failures are still delivered.
    bool delivered = false;
    QMetaObject::invokeMethod(
        &target, [&delivered] { delivered = true; }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    EXPECT_TRUE(delivered);
}

TEST_F(ApplicationTest, InterfaceFontIsEightPointSansSerif) {
    VellumkitApplication app(argc, argv);
    EXPECT_EQ(QApplication::font().pointSize(), 8);
    EXPECT_EQ(QApplication::font().styleHint(), QFont::SansSerif);
}

}  // namespace
}  // namespace vk::test
