#pragma once

#include <ctime>
#include <filesystem>
#include <string>

namespace vk {

// Who and where the program runs, and the local date and time as the user's
// locale writes them.
struct Machine {
    // The host name up to its first dot ("build7" for "build7.example.org"),
    // as the Windows computer name is the short name.
    [[nodiscard]] static std::string ComputerName();

    // The login name of the user; empty when none can be found.
    [[nodiscard]] static std::string UserName();

    // The running program's own file, for what is installed beside it;
    // empty when the system does not say.
    [[nodiscard]] static std::filesystem::path ProgramFile();

    // The local date in the locale's short form (%x), a blank and the time in
    // its long form (%X); the time is left out when it is exactly midnight.
    // In the C locale: "03/05/24 13:45:00", "03/05/24".
    [[nodiscard]] static std::string FormatShortDateLongTime(std::time_t when);
};

}  // namespace vk
