#include <windows.h>

#include <string>

#include "platform/user_folders.h"

namespace vk {
namespace {

// An environment variable as the system keeps it (UTF-16); empty when unset.
std::wstring Environment(const wchar_t* name) {
    std::wstring value(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) return {};
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);  // too short: the length asked for includes the NUL
    }
}

}  // namespace

std::filesystem::path UserFolders::DataFolder() {
    std::filesystem::path local = Environment(L"LOCALAPPDATA");
    if (local.empty() || !local.is_absolute()) {
        const std::filesystem::path profile = Environment(L"USERPROFILE");
        local = profile.empty() ? std::filesystem::current_path() : profile / "AppData" / "Local";
    }
    return local / "Vellumkit";
}

}  // namespace vk
