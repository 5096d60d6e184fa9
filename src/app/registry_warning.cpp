#include "app/registry_warning.h"

#include "common/messages.h"
#include "platform/registry.h"

namespace vk {

void WarnOfUnreadableRegistry(const Registry& registry, MessageService& messages) {
    for (const std::string& error : registry.LoadErrors())
        messages.Show("The registry file cannot be read (" + error +
                          "). Vellumkit starts with the default settings and leaves the file "
                          "as it is.",
                      MessageIcon::Warning, MessageButtons::Ok);
}

}  // namespace vk
