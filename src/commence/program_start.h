#pragma once

#include <string_view>

namespace vk {

// Runs a Windows-style command line minimised and not activated and returns
// once the new program serves `topic` under `service` (a DDE server of the
// service accepts the topic) or the launcher's bound passes. True when the
// program started; whether it became ready shows in the next connect.
[[nodiscard]] bool StartProgramForTopic(std::string_view commandLine, std::string_view service,
                                        std::string_view topic);

// Whether an executable file of that bare name is on the program search path.
[[nodiscard]] bool ProgramIsInstalled(std::string_view name);

}  // namespace vk
