#pragma once

#include <functional>

#include "common/messages.h"

namespace vk {

// Runs one user command to its end. An exception that leaves it is shown in
// the error box and goes no further, so the window stays usable and the
// editor keeps its text. Returns false when the command failed; an empty
// command does nothing and succeeds.
bool RunCommand(MessageService& messages, const std::function<void()>& command);

}  // namespace vk
