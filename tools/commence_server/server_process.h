#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "server_window.h"

namespace vk::commence_server {

// Calls `onStop` when the process is asked to end: SIGTERM and SIGINT on
// POSIX systems, a console control event (Ctrl+C, Ctrl+Break, the console
// closing, log-off, shut-down) on Windows. `onStop` must be safe to call
// from a signal handler; SIGPIPE is ignored where there is one.
void InstallStopHandler(void (*onStop)());

// One server per database folder: an exclusive lock on "commence.lock" in
// the folder, held as long as this object lives, so that a second start for
// the same database quits at once and a crashed server never blocks the next.
class DatabaseLock {
public:
    explicit DatabaseLock(const std::filesystem::path& folder);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    [[nodiscard]] bool Opened() const;
    [[nodiscard]] bool TryLock();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// ServerWindow::Open, started so that the stop requests of
// InstallStopHandler are still handled on the thread that runs the server.
[[nodiscard]] std::unique_ptr<ServerWindow> OpenServerWindow(const std::string& title,
                                                             std::function<void()> onClose);

}  // namespace vk::commence_server
