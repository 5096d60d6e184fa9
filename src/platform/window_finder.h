#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vk {

// A top-level window as the window system names it.
using WindowId = std::uint64_t;

// Finds top-level windows of the desktop by exact title and brings one to
// the front. On X11 it talks to the display named by DISPLAY; without a
// window system or a display it finds nothing.
class WindowFinder {
public:
    WindowFinder();
    ~WindowFinder();
    WindowFinder(const WindowFinder&) = delete;
    WindowFinder& operator=(const WindowFinder&) = delete;

    [[nodiscard]] bool HasDisplay() const;

    // A top-level window whose title is exactly `title` (Windows-1252 text,
    // compared character for character, case included).
    [[nodiscard]] std::optional<WindowId> FindByTitle(std::string_view title);

    // Shows the window maximised and makes it the foreground window. False
    // when there is no display to ask.
    bool ShowMaximizedInFront(WindowId window);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vk
