#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vk::commence_server {

struct ServerOptions {
    std::string database;  // the name after /DATABASE=
    bool quiet = false;    // /QUIET: no start-up messages
    std::chrono::seconds idleLimit{3600};
};

// Reads the command line Commence is started with: "/QUIET /DATABASE=<name>".
// Options are recognised without regard to case. The name is everything after
// "/DATABASE=" to the end of the command line, so a name with blanks, split
// into several arguments by the caller, is joined again with single blanks.
// "/IDLE=<seconds>" (before /DATABASE=) sets how long the server waits without
// a conversation before it quits; 0 waits forever. Returns nothing, with a
// reason in `error`, for an unknown option, a bad number or a missing name.
[[nodiscard]] std::optional<ServerOptions> ParseServerOptions(
    std::span<const std::string_view> args, std::string* error = nullptr);

}  // namespace vk::commence_server
