#include <windows.h>

#include <cstdlib>

#include "platform/launcher.h"

namespace vk {
namespace {

bool IsRegularFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

// The file itself, or with ".exe" added when the name has no extension, as
// CreateProcess adds it.
std::optional<std::string> ExistingProgram(std::string path) {
    if (IsRegularFile(path)) return path;
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        path += ".exe";
        if (IsRegularFile(path)) return path;
    }
    return std::nullopt;
}

// Closes a kernel handle when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    [[nodiscard]] HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

std::optional<std::string> LocateProgram(std::string_view program) {
    if (program.empty()) return std::nullopt;
    if (program.find_first_of("/\\:") != std::string_view::npos)
        return ExistingProgram(std::string(program));
    // Only the folders on PATH: the working folder is not searched, so a file
    // dropped there is never run by its bare name.
    const char* searchPath = std::getenv("PATH");
    std::string_view folders = searchPath ? searchPath : "";
    while (!folders.empty()) {
        const std::size_t semicolon = folders.find(';');
        const std::string_view folder = folders.substr(0, semicolon);
        folders = semicolon == std::string_view::npos ? std::string_view()
                                                      : folders.substr(semicolon + 1);
        if (folder.empty()) continue;
        std::string path(folder);
        if (path.back() != '\\' && path.back() != '/') path += '\\';
        path += program;
        if (auto found = ExistingProgram(std::move(path))) return found;
    }
    return std::nullopt;
}

LaunchResult Launch(std::string_view commandLine, const LaunchOptions& options) {
    LaunchResult result;
    // The program is found as SplitCommandLine finds it, so that the same
    // command line starts the same program everywhere; the command line
    // itself reaches the program unchanged, as Windows hands it over.
    const auto command = SplitCommandLine(commandLine, LocateProgram);
    if (!command) return result;

    std::string line(commandLine);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // A process group and no console of its own: it outlives this program
    // and never reads its console.
    if (!CreateProcessA(command->program.c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_PROCESS_GROUP | DETACHED_PROCESS, nullptr, nullptr, &startup,
                        &process))
        return result;
    const Handle processHandle(process.hProcess);
    const Handle threadHandle(process.hThread);
    result.started = true;
    result.processId = static_cast<int>(process.dwProcessId);
    if (!options.ready) return result;

    const auto deadline = std::chrono::steady_clock::now() + options.readyBound;
    for (;;) {
        if (options.ready()) {
            result.ready = true;
            return result;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return result;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::min<std::chrono::steady_clock::duration>(options.pollInterval, deadline - now));
        if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(wait.count())) ==
            WAIT_OBJECT_0) {
            // It may have handed over to a process of its own before ending:
            // ask once more.
            DWORD exitCode = 1;
            GetExitCodeProcess(process.hProcess, &exitCode);
            result.started = exitCode == 0;
            result.ready = options.ready();
            return result;
        }
    }
}

}  // namespace vk
