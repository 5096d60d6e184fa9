#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vk::commence_server {

// The files a client names for a check-out or check-in. The server serves
// every client on one thread, so it must never wait on such a file: it is
// opened without blocking, and anything but a regular file (a FIFO, a
// device, a folder) is refused before a byte moves. Only full paths are
// taken: a relative one would land in the server's own working folder.

// Replaces the file's content with `bytes`. The file must be there: a client
// makes it before naming it, and one that is gone was removed by a client
// that gave up (a check-out interrupted by Ctrl+C), which a new file of that
// name would outlive. False when the file cannot be had or written.
[[nodiscard]] bool WriteTransferFile(const std::filesystem::path& file, std::string_view bytes);

// The file's whole content; nothing when it cannot be read or holds more
// than `limit` bytes (then it is not read at all).
[[nodiscard]] std::optional<std::string> ReadTransferFile(const std::filesystem::path& file,
                                                          std::uintmax_t limit);

}  // namespace vk::commence_server
