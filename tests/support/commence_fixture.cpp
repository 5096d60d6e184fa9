#include "support/commence_fixture.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <thread>

#include "common/file_bytes.h"
#include "platform/dde.h"

extern char** environ;

namespace vk::test {
namespace {

using namespace std::chrono_literals;

// Runs a program with the test's environment; stdout and stderr go to
// `output` when given. Returns the pid.
pid_t spawn(const std::filesystem::path& program, const std::vector<std::string>& args,
            const std::optional<std::filesystem::path>& output) {
    std::vector<std::string> argvStrings{program.string()};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : argvStrings) argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output->c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    }
    // Nothing else of the test's: a program that outlived its test must not
    // hold the test runner's pipes open.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + program.string());
    return pid;
}

// "" when the file cannot be read: a process whose /proc files are read here
// may end at any moment, and that must not stop the search for servers.
std::string readText(const std::filesystem::path& file) {
    return ReadWholeFile(file).value_or(std::string());
}

// The names in a folder; entries that vanish while it is read (processes in
// /proc) are simply missed, never an error.
std::vector<std::string> listFolder(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
        names.push_back(it->path().filename().string());
    return names;
}

bool isGone(pid_t pid) {
    if (kill(pid, 0) != 0) return errno == ESRCH;
    // A zombie of another parent still answers kill(); it serves nothing.
    const std::string stat = readText("/proc/" + std::to_string(pid) + "/stat");
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
}

// "Commence.<pid>.sock" or "Commence.<pid>-<n>.sock".
std::optional<pid_t> socketPid(const std::string& name) {
    constexpr std::string_view prefix = "Commence.";
    if (name.rfind(prefix, 0) != 0) return std::nullopt;
    std::size_t pos = prefix.size();
    pid_t pid = 0;
    bool digits = false;
    while (pos < name.size() && name[pos] >= '0' && name[pos] <= '9') {
        pid = pid * 10 + (name[pos++] - '0');
        digits = true;
    }
    if (!digits || pos >= name.size() || (name[pos] != '.' && name[pos] != '-'))
        return std::nullopt;
    return pid;
}

}  // namespace

CommenceFixture::CommenceFixture() {
    std::filesystem::create_directories(RegistryDir());
    std::filesystem::create_directory(RuntimeDir());
    std::filesystem::permissions(RuntimeDir(), std::filesystem::perms::owner_all);
    registryEnv_ = std::make_unique<ScopedEnv>("VELLUMKIT_REGISTRY_DIR", RegistryDir().string());
    runtimeEnv_ = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", RuntimeDir().string());
    std::string output;
    if (RunSetup(&output) != 0) throw std::runtime_error("vellumkit-setup failed:\n" + output);
}

CommenceFixture::~CommenceFixture() {
    try {
        StopServers();
    } catch (const std::exception&) {
        // A folder that vanished while it was listed; what was found is stopped.
    }
}

std::filesystem::path CommenceFixture::ServerProgram() {
    return std::filesystem::path(VK_BIN_DIR) / "commence.exe";
}

std::filesystem::path CommenceFixture::SetupProgram() {
    return std::filesystem::path(VK_BIN_DIR) / "vellumkit-setup";
}

int CommenceFixture::RunSetup(std::string* output) const {
    const auto log = Root() / "setup.log";
    const pid_t pid = spawn(SetupProgram(), {"--data-dir", DataDir().string()}, log);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (output) *output = readText(log);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t CommenceFixture::SpawnServer(const std::vector<std::string>& args) {
    const pid_t pid = spawn(ServerProgram(), args,
                            Root() / ("server-" + std::to_string(started_.size()) + ".log"));
    started_.push_back(pid);
    return pid;
}

pid_t CommenceFixture::StartServer(std::string_view database, std::chrono::seconds idle) {
    const pid_t pid = SpawnServer(
        {"/QUIET", "/IDLE=" + std::to_string(idle.count()), "/DATABASE=" + std::string(database)});
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
        DdeClient client;
        if (client.Connect("Commence", database)) return pid;
        if (const auto status = WaitForExit(pid, 0ms))
            throw std::runtime_error("commence.exe exited at start with status " +
                                     std::to_string(*status));
        std::this_thread::sleep_for(20ms);
    }
    throw std::runtime_error("commence.exe does not answer for " + std::string(database));
}

std::vector<pid_t> CommenceFixture::RunningServers() const {
    std::set<pid_t> pids;
    for (const pid_t pid : started_)
        if (!isGone(pid)) pids.insert(pid);

    for (const auto& name : listFolder(RuntimeDir() / "vellumkit-dde"))
        if (const auto pid = socketPid(name); pid && !isGone(*pid)) pids.insert(*pid);

    // Servers started by the code under test that have not registered yet.
    const std::string marker = "XDG_RUNTIME_DIR=" + RuntimeDir().string();
    for (const auto& name : listFolder("/proc")) {
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::filesystem::path process = std::filesystem::path("/proc") / name;
        std::string comm = readText(process / "comm");
        if (!comm.empty() && comm.back() == '\n') comm.pop_back();
        if (comm != "commence.exe") continue;
        const std::string environment = readText(process / "environ");
        std::size_t start = 0;
        while (start < environment.size()) {
            const std::size_t end = std::min(environment.find('\0', start), environment.size());
            if (std::string_view(environment).substr(start, end - start) == marker) {
                pids.insert(static_cast<pid_t>(std::stoi(name)));
                break;
            }
            start = end + 1;
        }
    }
    return {pids.begin(), pids.end()};
}

void CommenceFixture::StopServers() {
    const auto pids = RunningServers();
    for (const pid_t pid : pids) kill(pid, SIGTERM);
    for (const pid_t pid : pids) {
        if (WaitForExit(pid, 10s)) continue;
        kill(pid, SIGKILL);
        (void)WaitForExit(pid, 10s);
    }
    // Children that ended on their own are reaped too.
    for (const pid_t pid : started_) (void)WaitForExit(pid, 0ms);
}

std::optional<int> CommenceFixture::WaitForExit(pid_t pid, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (true) {
        int status = 0;
        const pid_t reaped = waitpid(pid, &status, WNOHANG);
        if (reaped == pid) return status;
        if (reaped < 0 && errno == ECHILD && isGone(pid)) return 0;
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(10ms);
    }
}

}  // namespace vk::test
