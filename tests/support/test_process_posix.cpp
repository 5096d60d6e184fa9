#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "common/file_bytes.h"
#include "support/test_process.h"

extern char** environ;

namespace vk::test {
namespace {

using namespace std::chrono_literals;

// Another parent's zombie still answers kill(); it runs nothing.
bool isGone(ProcessId process) {
    if (kill(process, 0) != 0) return errno == ESRCH;
    const std::string stat =
        ReadWholeFile("/proc/" + std::to_string(process) + "/stat").value_or(std::string());
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
}

// The exit codes of children already reaped, for the next who asks.
std::mutex gEndedMutex;
std::map<ProcessId, int> gEnded;

int exitCode(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

std::filesystem::path BinDir() { return VK_BIN_DIR; }

std::filesystem::path BuiltProgram(std::string_view name) { return BinDir() / std::string(name); }

ProcessId StartProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                       const ProgramFiles& files) {
    std::vector<std::string> argvStrings{program.string()};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : argvStrings) argv.push_back(arg.data());
    argv.push_back(nullptr);

    const auto orNull = [](const std::filesystem::path& file) {
        return file.empty() ? std::string("/dev/null") : file.string();
    };
    const std::string input = orNull(files.input);
    const std::string output = orNull(files.output);
    const std::string error = files.error.empty() ? output : files.error.string();
    // O_NOCTTY: an error "file" may be a terminal the test opened.
    constexpr int kWrite = O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), kWrite, 0600);
    if (error == output)
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, error.c_str(), kWrite, 0600);
    // Nothing else of the test's: a program that outlived its test must not
    // hold the test runner's pipes open.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + program.string());
    const std::lock_guard lock(gEndedMutex);
    gEnded.erase(pid);  // a number used again
    return pid;
}

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const ProgramFiles& files) {
    const ProcessId process = StartProgram(program, args, files);
    int status = 0;
    while (waitpid(process, &status, 0) < 0 && errno == EINTR) {
    }
    return exitCode(status);
}

std::optional<int> WaitForExit(ProcessId process, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (true) {
        {
            const std::lock_guard lock(gEndedMutex);
            if (const auto it = gEnded.find(process); it != gEnded.end()) return it->second;
        }
        int status = 0;
        const pid_t reaped = waitpid(process, &status, WNOHANG);
        if (reaped == process) {
            const std::lock_guard lock(gEndedMutex);
            return gEnded[process] = exitCode(status);
        }
        if (reaped < 0 && errno == ECHILD && isGone(process)) return 0;
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(10ms);
    }
}

bool AskToStop(ProcessId process) { return kill(process, SIGTERM) == 0; }
bool Kill(ProcessId process) { return kill(process, SIGKILL) == 0; }
bool Freeze(ProcessId process) { return kill(process, SIGSTOP) == 0; }

}  // namespace vk::test
