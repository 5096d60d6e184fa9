#include "commence/focus.h"

#include "common/messages.h"
#include "platform/window_finder.h"

namespace vk {

std::array<std::string, 3> CommenceWindowTitles(std::string_view database) {
    const std::string name(database);
    return {"Commence/CLIENT - " + name, "Commence - " + name, "Commence/SERVER - " + name};
}

bool FocusCommence(std::string_view database, WindowFinder& windows, MessageService& messages) {
    for (const std::string& title : CommenceWindowTitles(database)) {
        if (const auto window = windows.FindByTitle(title)) {
            windows.ShowMaximizedInFront(*window);
            return true;
        }
    }
    messages.Show("The database " + std::string(database) + " is not open", MessageIcon::Error,
                  MessageButtons::Ok);
    return false;
}

}  // namespace vk
