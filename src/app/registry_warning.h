#pragma once

namespace vk {

class MessageService;
class Registry;

// Warns, once per registry file that could not be read, that the program
// runs on its default settings and leaves that file as it is: without it a
// user whose settings file was spoiled would see them silently gone.
void WarnOfUnreadableRegistry(const Registry& registry, MessageService& messages);

}  // namespace vk
