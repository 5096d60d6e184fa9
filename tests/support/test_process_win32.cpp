#include <windows.h>
// after windows.h, whose types it uses
#include <tlhelp32.h>

#include <map>
#include <mutex>
#include <stdexcept>
#include <string>

#include "platform/machine.h"
#include "support/test_process.h"

namespace vk::test {
namespace {

// The programs started here, kept open so that their exit codes can still be
// read once they have ended (as a parent reaps a child).
std::mutex gStartedMutex;
std::map<ProcessId, HANDLE> gStarted;
std::map<ProcessId, int> gEnded;

// One argument as the C runtime of the started program cuts it back out.
std::string quoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + '"';
}

// An inheritable handle on a file for the started program's standard
// streams; "NUL" for none.
HANDLE openStream(const std::filesystem::path& file, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const std::wstring name = file.empty() ? L"NUL" : file.wstring();
    HANDLE handle =
        CreateFileW(name.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                    write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + file.string() + " for a test program");
    return handle;
}

// Waits for a process to end while this thread keeps handling its window
// messages: a program that connects by DDE sends its request to every
// top-level window and waits for each to answer, this thread's (left by a
// conversation or a server of the test) too.
bool waitAnswering(HANDLE process, DWORD timeout) {
    const ULONGLONG deadline = GetTickCount64() + timeout;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left =
            timeout == INFINITE ? INFINITE : (now >= deadline ? 0 : DWORD(deadline - now));
        const DWORD woke = MsgWaitForMultipleObjects(1, &process, FALSE, left, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke != WAIT_OBJECT_0 + 1) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
}

// Closes the windows a user sees (DDE's own windows are hidden).
BOOL CALLBACK closeWindowOf(HWND window, LPARAM param) {
    auto* request = reinterpret_cast<std::pair<DWORD, bool>*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == request->first && IsWindowVisible(window) && PostMessageA(window, WM_CLOSE, 0, 0))
        request->second = true;
    return TRUE;
}

}  // namespace

std::filesystem::path BinDir() { return Machine::ProgramFile().parent_path(); }

std::filesystem::path BuiltProgram(std::string_view name) {
    return BinDir() / (std::string(name) + std::string(kProgramSuffix));
}

ProcessId StartProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                       const ProgramFiles& files) {
    std::string commandLine = quoteArgument(program.string());
    for (const auto& arg : args) commandLine += ' ' + quoteArgument(arg);

    HANDLE input = openStream(files.input, false);
    HANDLE output = INVALID_HANDLE_VALUE;
    HANDLE error = INVALID_HANDLE_VALUE;
    try {
        output = openStream(files.output, true);
        error = files.error.empty() ? output : openStream(files.error, true);
    } catch (...) {
        CloseHandle(input);
        if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
        throw;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION process{};
    // The only inheritable handles of this process are the three above.
    // Wine has been seen to refuse a start once in a long run, for no reason
    // it reported; a second try a moment later keeps that out of the results.
    BOOL started = FALSE;
    DWORD failure = 0;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        if (attempt > 0) Sleep(250);
        started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                 CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
        if (!started) failure = GetLastError();
    }
    CloseHandle(input);
    CloseHandle(output);
    if (error != output) CloseHandle(error);
    if (!started)
        throw std::runtime_error("cannot start " + program.string() + " (error " +
                                 std::to_string(failure) + ")");
    CloseHandle(process.hThread);
    const std::lock_guard lock(gStartedMutex);
    gStarted[process.dwProcessId] = process.hProcess;
    gEnded.erase(process.dwProcessId);  // a number used again
    return process.dwProcessId;
}

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const ProgramFiles& files) {
    const ProcessId process = StartProgram(program, args, files);
    return *WaitForExit(process, std::chrono::milliseconds(INFINITE));
}

std::optional<int> WaitForExit(ProcessId process, std::chrono::milliseconds bound) {
    const DWORD timeout = bound.count() >= INFINITE ? INFINITE : static_cast<DWORD>(bound.count());
    HANDLE handle = nullptr;
    {
        const std::lock_guard lock(gStartedMutex);
        if (const auto it = gEnded.find(process); it != gEnded.end()) return it->second;
        if (const auto it = gStarted.find(process); it != gStarted.end()) handle = it->second;
    }
    if (!handle) {
        HANDLE other = OpenProcess(SYNCHRONIZE, FALSE, process);
        if (!other) return 0;  // gone
        const bool ended = waitAnswering(other, timeout);
        CloseHandle(other);
        return ended ? std::optional<int>(0) : std::nullopt;
    }
    if (!waitAnswering(handle, timeout)) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(handle, &code);
    const std::lock_guard lock(gStartedMutex);
    if (gStarted.erase(process)) CloseHandle(handle);
    gEnded[process] = static_cast<int>(code);
    return static_cast<int>(code);
}

bool AskToStop(ProcessId process) {
    std::pair<DWORD, bool> request{process, false};
    EnumWindows(closeWindowOf, reinterpret_cast<LPARAM>(&request));
    return request.second;
}

bool Kill(ProcessId process) {
    HANDLE handle = OpenProcess(PROCESS_TERMINATE, FALSE, process);
    if (!handle) return false;
    const bool killed = TerminateProcess(handle, 137) != 0;
    CloseHandle(handle);
    return killed;
}

bool Freeze(ProcessId process) {
    HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (threads == INVALID_HANDLE_VALUE) return false;
    bool frozen = false;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(threads, &entry); more; more = Thread32Next(threads, &entry)) {
        if (entry.th32OwnerProcessID != process) continue;
        if (HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)) {
            frozen = SuspendThread(thread) != static_cast<DWORD>(-1) || frozen;
            CloseHandle(thread);
        }
    }
    CloseHandle(threads);
    return frozen;
}

}  // namespace vk::test
