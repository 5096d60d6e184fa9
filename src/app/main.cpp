#include "app/application.h"
#include "app/editing_context.h"
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
    // The editing context wires itself to the window's actions, menus and
    // requests; it goes before the window it works on.
    vk::TEditingContext context(window, window.ColorStream());
    messages.SetParent(&window);
    window.show();
    return app.exec();
}
