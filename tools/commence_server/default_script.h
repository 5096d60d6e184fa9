#pragma once

#include <string_view>

namespace vk::commence_server {

// The script Commence hands out for a detail form that has no script of its
// own: an empty handler for each common form event. Clients recognise it by
// its CRC-32, fc177257, so these bytes must never change; the last line's
// tag was chosen to give that checksum.
[[nodiscard]] std::string_view DefaultFormScript() noexcept;

inline constexpr unsigned long kDefaultFormScriptCrc = 0xfc177257UL;

}  // namespace vk::commence_server
