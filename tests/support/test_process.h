#pragma once

// Programs run by the tests (the server, the setup, the command-line tool)
// the same way on POSIX systems and on Windows.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk::test {

#ifdef _WIN32
using ProcessId = unsigned long;
inline constexpr std::string_view kProgramSuffix = ".exe";
#else
using ProcessId = int;
inline constexpr std::string_view kProgramSuffix = "";
#endif

// The folder of the built programs: the build's bin folder, which on Windows
// is the folder of the running test program (the build's own path is a
// path of the machine that built it).
[[nodiscard]] std::filesystem::path BinDir();
// BinDir()/name, with ".exe" added on Windows.
[[nodiscard]] std::filesystem::path BuiltProgram(std::string_view name);

struct ProgramFiles {
    // Standard input; empty: nothing (the null device).
    std::filesystem::path input;
    // Standard output, and standard error when `error` is empty; empty: the
    // null device.
    std::filesystem::path output;
    std::filesystem::path error;
};

// Starts `program` with `args` (each reaching it as one argument) in this
// process's environment, holding no other file of this process. Throws
// std::runtime_error when it cannot start.
ProcessId StartProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                       const ProgramFiles& files = {});

// Runs a program to its end and returns its exit code.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const ProgramFiles& files = {});

// Waits up to `bound` for a process to end. Gives its exit code (128 plus the
// signal for one a signal ended) for a program started here, and 0 for any
// other once it is gone; nothing while it still runs.
std::optional<int> WaitForExit(ProcessId process, std::chrono::milliseconds bound);

// Asks a program to end as a user or the system would: SIGTERM, or on
// Windows a close of its windows. False when it is not there.
bool AskToStop(ProcessId process);
// Ends it at once, without a word (SIGKILL, TerminateProcess).
bool Kill(ProcessId process);
// Freezes it: it runs no more until it is killed (SIGSTOP, or every thread
// suspended).
bool Freeze(ProcessId process);

}  // namespace vk::test
