#include "app/application.h"
#include "app/main_window.h"
#include "app/qt_message_service.h"
#include "platform/registry.h"
#include "settings/settings.h"

int main(int argc, char* argv[]) {
    vk::VellumkitApplication app(argc, argv);
    vk::TSettings settings(vk::Registry::Instance());
    vk::QtMessageService messages;
    app.SetErrorService(&messages);
    vk::TfMain window(settings, messages);
    messages.SetParent(&window);
    window.show();
    return app.exec();
}
