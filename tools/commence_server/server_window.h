#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vk::commence_server {

// The server's top-level window, titled as Commence titles its main window
// ("Commence - <database>") so that clients can find and raise it. It runs
// on a thread of its own and calls `onClose` (from that thread) when the user
// closes it.
class ServerWindow {
public:
    virtual ~ServerWindow() = default;

    // Nothing when there is no display (or the program was built without X11).
    [[nodiscard]] static std::unique_ptr<ServerWindow> Open(const std::string& title,
                                                            std::function<void()> onClose);
};

}  // namespace vk::commence_server
