#pragma once

#include <windows.h>

namespace vk::win32 {

// Whether this program runs under Wine. Wine's DDEML leaves some memory of
// each transaction to nobody (see the DDE client and server); the fixes for
// that would free memory that Windows itself frees, so they apply under Wine
// only.
[[nodiscard]] inline bool RunsOnWine() {
    static const bool wine =
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

}  // namespace vk::win32
