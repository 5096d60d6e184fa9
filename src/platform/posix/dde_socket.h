#pragma once

// Socket plumbing shared by the DDE client and server: where servers of a
// service listen, and blocking frame I/O with a deadline.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/dde_wire.h"

struct sockaddr_un;

namespace vk::dde {

using Clock = std::chrono::steady_clock;

// A service name becomes part of a file name: it must be non-empty, free of
// '/' and NUL, and not start with a dot.
[[nodiscard]] bool IsValidServiceName(std::string_view service);

// "<service>.<pid>.sock" for a process's first server of the service,
// "<service>.<pid>-<n>.sock" for further ones.
[[nodiscard]] std::string ServerSocketName(std::string_view service, pid_t pid, unsigned sequence);

struct ServerSocket {
    std::filesystem::path path;
    pid_t pid = 0;
};

// The sockets of the service's servers in `folder`, oldest first (the order
// in which the servers registered).
[[nodiscard]] std::vector<ServerSocket> ListServerSockets(const std::filesystem::path& folder,
                                                          std::string_view service);

// False when the path does not fit a socket address.
[[nodiscard]] bool MakeSocketAddress(const std::filesystem::path& path, sockaddr_un& address);

// Whether the process at the other end of a connected Unix socket runs as
// this process's effective user.
[[nodiscard]] bool PeerIsSameUser(int fd);

enum class IoStatus { Ok, TimedOut, Closed };

// Writes all bytes to a non-blocking socket, waiting for room until the
// deadline. Closed covers the peer going away and any socket error.
[[nodiscard]] IoStatus WriteAll(int fd, std::string_view bytes, Clock::time_point deadline);

// Reads until `decoder` yields a frame or the deadline passes. Closed covers
// end of stream, socket errors and a malformed stream.
[[nodiscard]] IoStatus ReadFrame(int fd, FrameDecoder& decoder, Clock::time_point deadline,
                                 Frame& frame);

}  // namespace vk::dde
