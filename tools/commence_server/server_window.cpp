#include "server_window.h"

#ifdef VK_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <thread>

#include "common/windows_1252.h"
#endif

namespace vk::commence_server {

#ifdef VK_HAVE_X11
namespace {

class X11Window final : public ServerWindow {
public:
    X11Window(Display* display, const std::string& title, std::function<void()> onClose)
        : display_(display), title_(title), onClose_(std::move(onClose)) {
        const int screen = DefaultScreen(display_);
        window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, 420, 120, 1,
                                      BlackPixel(display_, screen), WhitePixel(display_, screen));
        XStoreName(display_, window_, title_.c_str());
        const std::string utf8 = Windows1252ToUtf8(title_);
        XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_NAME", False),
                        XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(utf8.data()),
                        static_cast<int>(utf8.size()));
        XClassHint hint{const_cast<char*>("commence"), const_cast<char*>("Commence")};
        XSetClassHint(display_, window_, &hint);
        deleteAtom_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display_, window_, &deleteAtom_, 1);
        XSelectInput(display_, window_, ExposureMask | StructureNotifyMask);
        XMapWindow(display_, window_);
        XFlush(display_);
        if (pipe2(wake_, O_CLOEXEC) != 0) wake_[0] = wake_[1] = -1;
        thread_ = std::thread([this] { Loop(); });
    }

    ~X11Window() override {
        if (wake_[1] >= 0) {
            const char byte = 0;
            [[maybe_unused]] const auto written = write(wake_[1], &byte, 1);
        }
        if (thread_.joinable()) thread_.join();
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
        for (const int fd : wake_)
            if (fd >= 0) close(fd);
    }

private:
    void Loop() {
        std::array<pollfd, 2> fds{pollfd{ConnectionNumber(display_), POLLIN, 0},
                                  pollfd{wake_[0], POLLIN, 0}};
        while (true) {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type == Expose && event.xexpose.count == 0) {
                    Draw();
                } else if (event.type == ClientMessage &&
                           static_cast<Atom>(event.xclient.data.l[0]) == deleteAtom_) {
                    if (onClose_) onClose_();
                }
            }
            if (wake_[0] < 0) return;  // no way to be woken: serve no events
            if (poll(fds.data(), fds.size(), -1) < 0) continue;
            if (fds[1].revents != 0) return;
        }
    }

    void Draw() {
        const std::string text = "Serving database " + title_.substr(title_.find(" - ") + 3);
        GC gc = DefaultGC(display_, DefaultScreen(display_));
        XDrawString(display_, window_, gc, 16, 40, text.c_str(), static_cast<int>(text.size()));
        XFlush(display_);
    }

    Display* display_;
    std::string title_;
    std::function<void()> onClose_;
    Window window_ = 0;
    Atom deleteAtom_ = 0;
    int wake_[2] = {-1, -1};
    std::thread thread_;
};

}  // namespace

std::unique_ptr<ServerWindow> ServerWindow::Open(const std::string& title,
                                                 std::function<void()> onClose) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    return std::make_unique<X11Window>(display, title, std::move(onClose));
}

#else

std::unique_ptr<ServerWindow> ServerWindow::Open(const std::string&, std::function<void()>) {
    return nullptr;
}

#endif

}  // namespace vk::commence_server
