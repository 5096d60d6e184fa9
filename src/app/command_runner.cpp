#include "app/command_runner.h"

#include <exception>

namespace vk {

bool RunCommand(MessageService& messages, const std::function<void()>& command) {
    if (!command) return true;
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        messages.ShowError(e.what());
    } catch (...) {
        messages.ShowError("Unknown error");
    }
    return false;
}

}  // namespace vk
