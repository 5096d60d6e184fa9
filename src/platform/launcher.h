#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// A program and its arguments, cut from a Windows-style command line.
struct CommandLine {
    std::string program;  // with '/' for every '\'
    std::vector<std::string> arguments;

    bool operator==(const CommandLine&) const = default;
};

// Finds a program as the launcher would run it: its full path, or nothing.
using ProgramLocator = std::function<std::optional<std::string>(std::string_view program)>;

// Cuts a command line as Windows does when it starts a program:
// - a program name in double quotes runs to the closing quote;
// - an unquoted one may hold blanks: each prefix ending before a blank is
//   tried, shortest first, and the first one `locate` finds is the program
//   ("/opt/My Apps/commence.exe /QUIET" runs "/opt/My Apps/commence.exe"
//   unless a program "/opt/My" exists);
// - the rest splits into arguments at blanks and tabs outside double quotes;
//   "" inside quotes and \" give a literal quote, backslashes elsewhere stay.
// The returned program is what `locate` gave. Nothing when no prefix is found.
[[nodiscard]] std::optional<CommandLine> SplitCommandLine(std::string_view commandLine,
                                                          const ProgramLocator& locate);

// The program as the launcher runs it: a name with a '/' names a file
// (relative to the working folder), a bare name is searched on PATH; only an
// executable regular file counts.
[[nodiscard]] std::optional<std::string> LocateProgram(std::string_view program);

struct LaunchOptions {
    // Polled until it holds, the program ends, or the bound passes; empty:
    // return as soon as the program runs.
    std::function<bool()> ready;
    std::chrono::milliseconds readyBound{10'000};
    std::chrono::milliseconds pollInterval{50};
};

struct LaunchResult {
    // The program runs, or ran and ended well (it may have handed over to a
    // process of its own).
    bool started = false;
    // `ready` held within the bound.
    bool ready = false;
    // The started process; 0 when none.
    int processId = 0;
};

// Starts a program from a Windows-style command line, without a shell, in a
// session of its own (it outlives the program that started it and does not
// read the terminal), then waits as LaunchOptions says. Its exit is
// collected, so it never lingers as a zombie.
[[nodiscard]] LaunchResult Launch(std::string_view commandLine, const LaunchOptions& options = {});

}  // namespace vk
