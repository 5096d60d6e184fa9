#include "cli_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "support/test_support.h"

extern char** environ;

namespace vk::test {

namespace {

CliResult RunWithStdin(const std::vector<std::string>& args, const std::string& stdinPath) {
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
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
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
    result.err = ReadFileBytes(errPath);
    return result;
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args) { return RunWithStdin(args, "/dev/null"); }

CliResult RunCli(const std::vector<std::string>& args, const std::string& input) {
    const TempDir dir;
    const auto path = dir.path() / "stdin";
    WriteFileBytes(path, input);
    return RunWithStdin(args, path.string());
}

}  // namespace vk::test
