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
#endif

namespace vk::commence_server {

#ifdef VK_HAVE_X11
namespace {

// Windows-1252 to UTF-8 for the window manager's title (_NET_WM_NAME).
std::string ansiToUtf8(const std::string& text) {
    static constexpr std::array<char16_t, 32> k80to9F = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const char16_t code = (byte >= 0x80 && byte <= 0x9F) ? k80to9F[byte - 0x80] : byte;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

class X11Window final : public ServerWindow {
public:
    X11Window(Display* display, const std::string& title, std::function<void()> onClose)
        : display_(display), title_(title), onClose_(std::move(onClose)) {
        const int screen = DefaultScreen(display_);
        window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, 420, 120, 1,
                                      BlackPixel(display_, screen), WhitePixel(display_, screen));
        XStoreName(display_, window_, title_.c_str());
        const std::string utf8 = ansiToUtf8(title_);
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
