#include <algorithm>
#include <set>

#include "common/file_bytes.h"
#include "support/commence_fixture.h"

namespace vk::test {
namespace {

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

bool isRunning(ProcessId process) { return !WaitForExit(process, std::chrono::milliseconds(0)); }

// "Commence.<pid>.sock" or "Commence.<pid>-<n>.sock".
std::optional<ProcessId> socketPid(const std::string& name) {
    constexpr std::string_view prefix = "Commence.";
    if (name.rfind(prefix, 0) != 0) return std::nullopt;
    std::size_t pos = prefix.size();
    ProcessId pid = 0;
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

std::vector<ProcessId> CommenceFixture::ServersFoundBySystem() const {
    std::set<ProcessId> pids;
    for (const auto& name : listFolder(RuntimeDir() / "vellumkit-dde"))
        if (const auto pid = socketPid(name); pid && isRunning(*pid)) pids.insert(*pid);

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
                pids.insert(static_cast<ProcessId>(std::stoi(name)));
                break;
            }
            start = end + 1;
        }
    }
    return {pids.begin(), pids.end()};
}

}  // namespace vk::test
