#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vk {

class MessageService;
class WindowFinder;

// The titles a Commence window for a database can carry, in the order they
// are looked for.
[[nodiscard]] std::array<std::string, 3> CommenceWindowTitles(std::string_view database);

// Brings the Commence window of the database to the front, maximised: the
// first window titled "Commence/CLIENT - <db>", "Commence - <db>" or
// "Commence/SERVER - <db>". Without one, a stop box says "The database <db>
// is not open". Returns whether a window was found.
bool FocusCommence(std::string_view database, WindowFinder& windows, MessageService& messages);

}  // namespace vk
