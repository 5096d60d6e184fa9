#pragma once

#include "commands.h"

namespace vk::cli {

// `outline FILE`: the events, Subs and Functions the code browser would list
// for a script file, then the scan's warnings and "not terminated" messages.
ExitCode PrintOutline(const Invocation& call, Streams io);

}  // namespace vk::cli
