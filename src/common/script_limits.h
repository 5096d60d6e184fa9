#pragma once

#include <cstddef>
#include <string>

namespace vk {

// The largest script Commence takes on check-in, and so the largest script
// file anything here reads whole: a wrong path (a device, a log file) must
// not exhaust memory before it is refused.
inline constexpr std::size_t kMaxScriptBytes = 64u * 1024 * 1024;

// "larger than the 64 MiB a script may have", for messages that refuse one.
[[nodiscard]] inline std::string ScriptLimitText() {
    return "larger than the " + std::to_string(kMaxScriptBytes / (1024 * 1024)) +
           " MiB a script may have";
}

}  // namespace vk
