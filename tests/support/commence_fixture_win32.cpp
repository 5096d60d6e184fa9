#include <windows.h>
// after windows.h, whose types it uses
#include <tlhelp32.h>

#include "common/text_helpers.h"
#include "support/commence_fixture.h"

namespace vk::test {
namespace {

// FILETIME counts 100 ns steps since 1601; the system clock counts from 1970.
std::chrono::system_clock::time_point toSystemClock(const FILETIME& time) {
    constexpr unsigned long long kFrom1601To1970 = 116444736000000000ULL;
    const unsigned long long ticks =
        (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::duration<long long, std::ratio<1, 10'000'000>>(ticks - kFrom1601To1970)));
}

}  // namespace

std::vector<ProcessId> CommenceFixture::ServersFoundBySystem() const {
    std::vector<ProcessId> servers;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return servers;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (!EqualsIgnoringAsciiCase(entry.szExeFile, "commence.exe")) continue;
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                     entry.th32ProcessID);
        if (!process) continue;
        FILETIME created, exited, kernel, user;
        const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        if (running && GetProcessTimes(process, &created, &exited, &kernel, &user) &&
            toSystemClock(created) >= made_)
            servers.push_back(entry.th32ProcessID);
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return servers;
}

}  // namespace vk::test
