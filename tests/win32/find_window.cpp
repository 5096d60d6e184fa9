// win32_find_window.exe TITLE: finds the top-level window titled exactly
// TITLE, brings it to the front maximised and checks that it is shown so.
// Exit 0 when it is, 1 when no such window is found in ten seconds, 2 when
// it could not be shown maximised. Run by scripts/test-windows.sh against
// the Commence-compatible server's window.

#include <windows.h>

#include <cstdio>
#include <thread>

#include "platform/window_finder.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    vk::WindowFinder finder;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (const auto found = finder.FindByTitle(argv[1])) {
            const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*found));
            if (!finder.ShowMaximizedInFront(*found)) return 2;
            const bool shown = IsWindowVisible(window) && IsZoomed(window) && !IsIconic(window);
            std::printf("%s: %s\n", argv[1], shown ? "found, maximised in front" : "not maximised");
            return shown ? 0 : 2;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::printf("%s: no such window\n", argv[1]);
    return 1;
}
