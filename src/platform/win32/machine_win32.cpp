#include <windows.h>

#include "platform/machine.h"
#include "platform/win32/text_win32.h"

namespace vk {

std::string Machine::ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size)) return {};
    return std::string(name, size);
}

std::filesystem::path Machine::ProgramFile() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // cut short: a longer buffer
    }
}

std::string Machine::UserName() {
    char name[257] = {};  // UNLEN + 1
    DWORD size = sizeof name;
    if (!GetUserNameA(name, &size) || size == 0) return {};
    return std::string(name, size - 1);  // the size counts the NUL
}

std::string Machine::FormatShortDateLongTime(std::time_t when) {
    // time_t counts seconds since 1970; FILETIME 100-ns steps since 1601.
    const ULONGLONG ticks =
        static_cast<ULONGLONG>(when) * 10'000'000ULL + 116'444'736'000'000'000ULL;
    FILETIME utcFile{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    // The zone's rules for that day, summer time included, not today's offset.
    if (!FileTimeToSystemTime(&utcFile, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return {};
    wchar_t date[128] = {};
    if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 128,
                        nullptr) == 0)
        return {};
    std::string text = win32::ToAnsi(date);
    if (local.wHour != 0 || local.wMinute != 0 || local.wSecond != 0) {
        wchar_t time[128] = {};
        if (GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local, nullptr, time, 128) != 0)
            text += ' ' + win32::ToAnsi(time);
    }
    return text;
}

}  // namespace vk
