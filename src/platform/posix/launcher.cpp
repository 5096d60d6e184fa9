#include "platform/launcher.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <system_error>
#include <thread>

extern char** environ;

namespace vk {
namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Collects the process's exit whenever it comes, so it never stays a zombie,
// without touching the process-wide SIGCHLD disposition.
void CollectExitLater(pid_t pid) {
    try {
        std::thread([pid] {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the exit is left to the operating system.
    }
}

// Owns the posix_spawn attributes and file actions.
class SpawnSetup {
public:
    SpawnSetup() {
        ok_ = ::posix_spawnattr_init(&attributes_) == 0;
        if (!ok_) return;
        actionsMade_ = ::posix_spawn_file_actions_init(&actions_) == 0;
        ok_ = actionsMade_;
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int signal :
             {SIGPIPE, SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGCHLD, SIGUSR1, SIGUSR2, SIGALRM})
            sigaddset(&defaults, signal);
        // A session of its own: the program outlives the editor and the
        // terminal, as a program started from Windows does.
        ok_ = ok_ &&
              ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                                           POSIX_SPAWN_SETSIGDEF) == 0 &&
              ::posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
              ::posix_spawnattr_setsigdefault(&attributes_, &defaults) == 0 &&
              ::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY,
                                                 0) == 0 &&
              // Nor does it hold the starter's output or any other file of
              // its: a pipe the starter writes to ("vellumkit-cli ... | less")
              // must end when the starter ends, not when the program does.
              ::posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY,
                                                 0) == 0 &&
              ::posix_spawn_file_actions_adddup2(&actions_, STDOUT_FILENO, STDERR_FILENO) == 0 &&
              ::posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1) == 0;
    }
    ~SpawnSetup() {
        if (actionsMade_) ::posix_spawn_file_actions_destroy(&actions_);
        ::posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    [[nodiscard]] bool Ok() const { return ok_; }
    const posix_spawnattr_t* Attributes() const { return &attributes_; }
    const posix_spawn_file_actions_t* Actions() const { return &actions_; }

private:
    posix_spawnattr_t attributes_{};
    posix_spawn_file_actions_t actions_{};
    bool actionsMade_ = false;
    bool ok_ = false;
};

}  // namespace

std::optional<std::string> LocateProgram(std::string_view program) {
    if (program.empty()) return std::nullopt;
    if (program.find('/') != std::string_view::npos) {
        std::string path(program);
        if (IsExecutableFile(path)) return path;
        return std::nullopt;
    }
    const char* searchPath = ::getenv("PATH");
    std::string_view folders = searchPath ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        // An empty entry would mean the working folder: not searched, so a
        // file dropped there is never run by its bare name.
        if (folder.empty()) continue;
        std::string path(folder);
        if (path.back() != '/') path += '/';
        path += program;
        if (IsExecutableFile(path)) return path;
    }
    return std::nullopt;
}

LaunchResult Launch(std::string_view commandLine, const LaunchOptions& options) {
    LaunchResult result;
    const auto command = SplitCommandLine(commandLine, LocateProgram);
    if (!command) return result;

    std::vector<std::string> args;
    args.reserve(command->arguments.size() + 1);
    args.push_back(command->program);
    args.insert(args.end(), command->arguments.begin(), command->arguments.end());
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    SpawnSetup setup;
    if (!setup.Ok()) return result;
    pid_t pid = 0;
    if (::posix_spawn(&pid, command->program.c_str(), setup.Actions(), setup.Attributes(),
                      argv.data(), environ) != 0)
        return result;
    result.started = true;
    result.processId = pid;

    if (options.ready) {
        const auto deadline = std::chrono::steady_clock::now() + options.readyBound;
        for (;;) {
            if (options.ready()) {
                result.ready = true;
                break;
            }
            int status = 0;
            pid_t ended;
            do {
                ended = ::waitpid(pid, &status, WNOHANG);
            } while (ended < 0 && errno == EINTR);
            if (ended == pid) {
                // It may have handed over to a process of its own before
                // ending: ask once more.
                result.started = WIFEXITED(status) && WEXITSTATUS(status) == 0;
                result.ready = options.ready();
                return result;
            }
            const auto now = std::chrono::steady_clock::now();
            if (now >= deadline) break;
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
                options.pollInterval, deadline - now));
        }
    }
    CollectExitLater(pid);
    return result;
}

}  // namespace vk
