#include "platform/window_finder.h"

#ifdef VK_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

#include <algorithm>
#include <array>
#include <vector>

#include "common/windows_1252.h"

namespace vk {

#ifdef VK_HAVE_X11

namespace {

// Windows can vanish while they are walked or changed; Xlib's default error
// handler would end the program for that. While this lives, X errors are
// ignored (Qt talks to X through its own connection and is not affected).
class IgnoreXErrors {
public:
    explicit IgnoreXErrors(Display* display) : display_(display) {
        XSync(display_, False);
        previous_ = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~IgnoreXErrors() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    IgnoreXErrors(const IgnoreXErrors&) = delete;
    IgnoreXErrors& operator=(const IgnoreXErrors&) = delete;

private:
    Display* display_;
    int (*previous_)(Display*, XErrorEvent*) = nullptr;
};

// One property's value as bytes (8-bit formats) or longs (32-bit formats).
struct Property {
    Atom type = None;
    int format = 0;
    std::string bytes;
    std::vector<unsigned long> longs;
};

std::optional<Property> ReadProperty(Display* display, Window window, Atom name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, name, 0, 1 << 16, False, AnyPropertyType, &type,
                           &format, &count, &remaining, &data) != Success ||
        type == None) {
        if (data) XFree(data);
        return std::nullopt;
    }
    Property property;
    property.type = type;
    property.format = format;
    if (format == 8) {
        property.bytes.assign(reinterpret_cast<const char*>(data), count);
    } else if (format == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        property.longs.assign(values, values + count);
    }
    if (data) XFree(data);
    return property;
}

}  // namespace

struct WindowFinder::Impl {
    Display* display = nullptr;
    Atom netWmName = None;
    Atom utf8String = None;
    Atom wmState = None;
    Atom netClientList = None;
    Atom netSupportingWmCheck = None;
    Atom netWmState = None;
    Atom netWmStateMaxVert = None;
    Atom netWmStateMaxHorz = None;
    Atom netActiveWindow = None;

    Impl() {
        display = XOpenDisplay(nullptr);
        if (!display) return;
        netWmName = XInternAtom(display, "_NET_WM_NAME", False);
        utf8String = XInternAtom(display, "UTF8_STRING", False);
        wmState = XInternAtom(display, "WM_STATE", False);
        netClientList = XInternAtom(display, "_NET_CLIENT_LIST", False);
        netSupportingWmCheck = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
        netWmState = XInternAtom(display, "_NET_WM_STATE", False);
        netWmStateMaxVert = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False);
        netWmStateMaxHorz = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
        netActiveWindow = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    }
    ~Impl() {
        if (display) XCloseDisplay(display);
    }

    Window Root() const { return DefaultRootWindow(display); }

    // The window's titles in UTF-8: _NET_WM_NAME and WM_NAME.
    std::vector<std::string> Titles(Window window) {
        std::vector<std::string> titles;
        if (auto name = ReadProperty(display, window, netWmName);
            name && name->format == 8 && name->type == utf8String)
            titles.push_back(name->bytes);
        if (auto name = ReadProperty(display, window, XA_WM_NAME); name && name->format == 8) {
            if (name->type == utf8String)
                titles.push_back(name->bytes);
            else if (name->bytes.find('\x1b') == std::string::npos)
                // STRING is Latin-1; COMPOUND_TEXT without escapes is too.
                titles.push_back(Latin1ToUtf8(name->bytes));
        }
        return titles;
    }

    bool HasTitle(Window window, const std::string& utf8Title) {
        for (const auto& title : Titles(window))
            if (title == utf8Title) return true;
        return false;
    }

    std::vector<Window> Children(Window window) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        std::vector<Window> result;
        if (XQueryTree(display, window, &root, &parent, &children, &count) && children)
            result.assign(children, children + count);
        if (children) XFree(children);
        return result;
    }

    // The application's window inside a window manager's frame: the first
    // one, breadth first, that carries WM_STATE.
    std::optional<Window> ClientBelow(Window frame) {
        std::vector<Window> level = Children(frame);
        for (int depth = 0; depth < 3 && !level.empty(); ++depth) {
            std::vector<Window> next;
            for (const Window window : level) {
                if (ReadProperty(display, window, wmState)) return window;
                const auto children = Children(window);
                next.insert(next.end(), children.begin(), children.end());
            }
            level = std::move(next);
        }
        return std::nullopt;
    }

    bool WindowManagerPresent() {
        const auto check = ReadProperty(display, Root(), netSupportingWmCheck);
        if (!check || check->longs.empty()) return false;
        const Window child = check->longs.front();
        const auto confirm = ReadProperty(display, child, netSupportingWmCheck);
        return confirm && !confirm->longs.empty() && confirm->longs.front() == child;
    }

    void SendToRoot(Window window, Atom message, std::array<long, 5> data) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = message;
        event.xclient.format = 32;
        for (std::size_t i = 0; i < data.size(); ++i) event.xclient.data.l[i] = data[i];
        XSendEvent(display, Root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &event);
    }
};

WindowFinder::WindowFinder() : impl_(std::make_unique<Impl>()) {}
WindowFinder::~WindowFinder() = default;

bool WindowFinder::HasDisplay() const { return impl_->display != nullptr; }

std::optional<WindowId> WindowFinder::FindByTitle(std::string_view title) {
    if (!impl_->display) return std::nullopt;
    IgnoreXErrors guard(impl_->display);
    const std::string wanted = Windows1252ToUtf8(title);
    for (const Window top : impl_->Children(impl_->Root())) {
        if (impl_->HasTitle(top, wanted)) return WindowId{top};
        // Under a reparenting window manager the titled window sits in a frame.
        if (const auto client = impl_->ClientBelow(top); client && impl_->HasTitle(*client, wanted))
            return WindowId{*client};
    }
    return std::nullopt;
}

bool WindowFinder::ShowMaximizedInFront(WindowId id) {
    Display* display = impl_->display;
    if (!display) return false;
    const auto window = static_cast<Window>(id);
    IgnoreXErrors guard(display);
    constexpr long kAdd = 1;
    // Source 2: the request stands for a direct action of the user, which
    // focus-stealing prevention lets through.
    constexpr long kSourceUser = 2;
    if (impl_->WindowManagerPresent()) {
        XMapRaised(display, window);
        impl_->SendToRoot(window, impl_->netWmState,
                          {kAdd, static_cast<long>(impl_->netWmStateMaxVert),
                           static_cast<long>(impl_->netWmStateMaxHorz), kSourceUser, 0});
        impl_->SendToRoot(window, impl_->netActiveWindow, {kSourceUser, CurrentTime, 0, 0, 0});
    } else {
        // Nobody manages the windows: do it ourselves. Fill the screen,
        // record the state as a window manager would, and take the focus.
        XWindowAttributes root{};
        XGetWindowAttributes(display, impl_->Root(), &root);
        XMoveResizeWindow(display, window, 0, 0, static_cast<unsigned>(root.width),
                          static_cast<unsigned>(root.height));
        std::vector<Atom> states;
        if (auto current = ReadProperty(display, window, impl_->netWmState))
            states.assign(current->longs.begin(), current->longs.end());
        for (const Atom maximized : {impl_->netWmStateMaxVert, impl_->netWmStateMaxHorz})
            if (std::find(states.begin(), states.end(), maximized) == states.end())
                states.push_back(maximized);
        XChangeProperty(display, window, impl_->netWmState, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(states.data()),
                        static_cast<int>(states.size()));
        XMapRaised(display, window);
        XSync(display, False);
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, window, &attributes) &&
            attributes.map_state == IsViewable)
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
    }
    XFlush(display);
    return true;
}

#else  // no window system to ask

struct WindowFinder::Impl {};

WindowFinder::WindowFinder() : impl_(std::make_unique<Impl>()) {}
WindowFinder::~WindowFinder() = default;
bool WindowFinder::HasDisplay() const { return false; }
std::optional<WindowId> WindowFinder::FindByTitle(std::string_view) { return std::nullopt; }
bool WindowFinder::ShowMaximizedInFront(WindowId) { return false; }

#endif

}  // namespace vk
