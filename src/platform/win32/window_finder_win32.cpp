#include <windows.h>

#include "platform/window_finder.h"

namespace vk {

struct WindowFinder::Impl {};

namespace {

struct Search {
    std::string_view title;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    const int length = GetWindowTextLengthA(window);
    if (length != static_cast<int>(search->title.size())) return TRUE;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
    if (text != search->title) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

WindowFinder::WindowFinder() = default;
WindowFinder::~WindowFinder() = default;

bool WindowFinder::HasDisplay() const { return GetDesktopWindow() != nullptr; }

// FindWindow compares titles without regard to case; a title must match
// exactly, so the top-level windows are walked instead.
std::optional<WindowId> WindowFinder::FindByTitle(std::string_view title) {
    Search search{title};
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return std::nullopt;
    return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(search.found));
}

bool WindowFinder::ShowMaximizedInFront(WindowId id) {
    const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(id));
    if (!IsWindow(window)) return false;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    ShowWindow(window, SW_SHOWMAXIMIZED);
    // Windows lets a background process take the foreground only in some
    // cases; BringWindowToTop at least raises it above its neighbours.
    BringWindowToTop(window);
    SetForegroundWindow(window);
    return true;
}

}  // namespace vk
