#include "cli_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "support/test_support.h"

extern char** environ;

namespace vk::test {

namespace {

// Runs the tool; with a `terminal`, its standard error is that terminal's
// other end instead of a file, and what it wrote there is read back.
CliResult RunWithStdin(const std::vector<std::string>& args, const std::string& stdinPath,
                       int terminal = -1) {
    const TempDir capture;
    const std::string outPath = (capture.path() / "out").string();
    const std::string errPath = (capture.path() / "err").string();
    const std::string program = std::string(VK_BIN_DIR) + "/vellumkit-cli";

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, stdinPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::string terminalName;
    if (terminal >= 0) {
        terminalName = ptsname(terminal);
        posix_spawn_file_actions_addopen(&actions, 2, terminalName.c_str(), O_RDWR | O_NOCTTY, 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    }
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + program);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadFileBytes(outPath);
    if (terminal < 0) {
        result.err = ReadFileBytes(errPath);
        return result;
    }
    // The child has ended; what it wrote waits in the terminal, read until it
    // is drained.
    fcntl(terminal, F_SETFL, fcntl(terminal, F_GETFL) | O_NONBLOCK);
    char buffer[4096];
    for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;) result.err.append(buffer, n);
    return result;
}

}  // namespace

CliResult RunCliOnTerminal(const std::vector<std::string>& args) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    // Raw, so the bytes come back as written (no CR added before LF), and
    // open on this side too, so nothing is lost when the child closes its end.
    const int keep = open(ptsname(master), O_RDWR | O_NOCTTY);
    termios mode{};
    if (keep >= 0 && tcgetattr(keep, &mode) == 0) {
        cfmakeraw(&mode);
        tcsetattr(keep, TCSANOW, &mode);
    }
    CliResult result;
    try {
        result = RunWithStdin(args, "/dev/null", master);
    } catch (...) {
        close(keep);
        close(master);
        throw;
    }
    close(keep);
    close(master);
    return result;
}

CliResult RunCli(const std::vector<std::string>& args) { return RunWithStdin(args, "/dev/null"); }

CliResult RunCli(const std::vector<std::string>& args, const std::string& input) {
    const TempDir dir;
    const auto path = dir.path() / "stdin";
    WriteFileBytes(path, input);
    return RunWithStdin(args, path.string());
}

}  // namespace vk::test
