#include "platform/window_finder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "platform/launcher.h"
#include "support/test_support.h"

#ifdef VK_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

extern char** environ;

namespace vk {
namespace {

TEST(WindowFinderTest, WithoutDisplayFindsNothing) {
    test::ScopedEnv display("DISPLAY", std::nullopt);
    WindowFinder finder;
    EXPECT_FALSE(finder.HasDisplay());
    EXPECT_EQ(finder.FindByTitle("Commence - Demo"), std::nullopt);
    EXPECT_FALSE(finder.ShowMaximizedInFront(1));
}

#ifdef VK_HAVE_X11

// A private X server for one test; it picks a free display number itself.
class VirtualDisplay {
public:
    VirtualDisplay() {
        const auto program = LocateProgram("Xvfb");
        if (!program) {
            problem_ = "Xvfb is not installed";
            return;
        }
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            problem_ = "no pipe";
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // The write end becomes descriptor 3 (without close-on-exec) for -displayfd.
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> args = {*program, "-displayfd", "3", "-nolisten",
                                         "tcp",    "-screen",    "0", "800x600x24"};
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        const int spawned =
            ::posix_spawn(&pid_, program->c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (spawned != 0) {
            pid_ = 0;
            ::close(fds[0]);
            problem_ = "Xvfb did not start";
            return;
        }
        std::string number;
        pollfd waiter{fds[0], POLLIN, 0};
        char buffer[32];
        while (number.find('\n') == std::string::npos && ::poll(&waiter, 1, 30'000) > 0) {
            const ssize_t got = ::read(fds[0], buffer, sizeof buffer);
            if (got <= 0) break;
            number.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(fds[0]);
        if (number.empty() || number.back() != '\n') {
            problem_ = "Xvfb did not report its display";
            return;
        }
        name_ = ":" + number.substr(0, number.size() - 1);
    }
    ~VirtualDisplay() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    const std::string& problem() const { return problem_; }
    const std::string& name() const { return name_; }

private:
    pid_t pid_ = 0;
    std::string problem_;
    std::string name_;
};

class WindowFinderX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server_.problem().empty()) GTEST_SKIP() << server_.problem();
        env_.emplace("DISPLAY", server_.name());
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
        root_ = DefaultRootWindow(display_);
    }
    void TearDown() override {
        if (display_) XCloseDisplay(display_);
    }

    Window MakeWindow(Window parent, const char* latin1Name = nullptr) {
        const Window window = XCreateSimpleWindow(display_, parent, 10, 10, 200, 100, 0, 0, 0);
        if (latin1Name) XStoreName(display_, window, latin1Name);
        return window;
    }

    Atom Intern(const char* name) { return XInternAtom(display_, name, False); }

    void SetWindowProperty(Window window, const char* name, Window value) {
        XChangeProperty(display_, window, Intern(name), XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&value), 1);
    }

    VirtualDisplay server_;
    std::optional<test::ScopedEnv> env_;
    Display* display_ = nullptr;
    Window root_ = 0;
};

TEST_F(WindowFinderX11Test, FindsTopLevelWindowByExactTitle) {
    const Window demo = MakeWindow(root_, "Commence - Demo");
    const Window sales = MakeWindow(root_, "Commence - Demo Sales");
    // A UTF-8 title only, as modern toolkits set it.
    const Window cafe = MakeWindow(root_);
    const std::string utf8 = "Commence - Caf\xC3\xA9 \xE2\x82\xAC";
    XChangeProperty(display_, cafe, Intern("_NET_WM_NAME"), Intern("UTF8_STRING"), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(utf8.data()),
                    static_cast<int>(utf8.size()));
    // An application window inside a window manager's frame.
    const Window frame = MakeWindow(root_);
    const Window framed = MakeWindow(frame, "Commence/CLIENT - Framed");
    const long normalState[2] = {1, 0};
    XChangeProperty(display_, framed, Intern("WM_STATE"), Intern("WM_STATE"), 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(normalState), 2);
    // A titled child that is no top-level window.
    MakeWindow(demo, "Commence - Child");
    XSync(display_, False);

    struct Row {
        const char* name;
        std::string title;
        std::optional<WindowId> expected;
    };
    const Row rows[] = {
        {"exact", "Commence - Demo", demo},
        {"longer title", "Commence - Demo Sales", sales},
        {"prefix only", "Commence - Dem", std::nullopt},
        {"other case", "commence - demo", std::nullopt},
        {"Windows-1252 against UTF-8", "Commence - Caf\xE9 \x80", cafe},
        {"inside a frame", "Commence/CLIENT - Framed", framed},
        {"child window", "Commence - Child", std::nullopt},
        {"empty", "", std::nullopt},
    };
    WindowFinder finder;
    ASSERT_TRUE(finder.HasDisplay());
    for (const auto& row : rows) EXPECT_EQ(finder.FindByTitle(row.title), row.expected) << row.name;
}

TEST_F(WindowFinderX11Test, WithoutWindowManagerMaximisesAndFocusesItself) {
    const Window window = MakeWindow(root_, "Commence - Demo");
    XSync(display_, False);

    WindowFinder finder;
    ASSERT_EQ(finder.FindByTitle("Commence - Demo"), window);
    ASSERT_TRUE(finder.ShowMaximizedInFront(window));

    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(display_, window, &attributes));
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_EQ(attributes.width, 800);
    EXPECT_EQ(attributes.height, 600);
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    EXPECT_EQ(focus, window);

    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(display_, window, Intern("_NET_WM_STATE"), 0, 16, False, XA_ATOM,
                                 &type, &format, &count, &remaining, &data),
              Success);
    std::vector<Atom> states(reinterpret_cast<Atom*>(data), reinterpret_cast<Atom*>(data) + count);
    if (data) XFree(data);
    EXPECT_NE(std::find(states.begin(), states.end(), Intern("_NET_WM_STATE_MAXIMIZED_VERT")),
              states.end());
    EXPECT_NE(std::find(states.begin(), states.end(), Intern("_NET_WM_STATE_MAXIMIZED_HORZ")),
              states.end());
}

TEST_F(WindowFinderX11Test, AsksTheWindowManagerWhenOneRuns) {
    // This test's connection plays the window manager: it announces itself
    // the way EWMH managers do and receives the requests sent to the root.
    const Window check = MakeWindow(root_);
    SetWindowProperty(check, "_NET_SUPPORTING_WM_CHECK", check);
    SetWindowProperty(root_, "_NET_SUPPORTING_WM_CHECK", check);
    XSelectInput(display_, root_, SubstructureRedirectMask);
    const Window window = MakeWindow(root_, "Commence - Demo");
    XSync(display_, False);

    WindowFinder finder;
    ASSERT_TRUE(finder.ShowMaximizedInFront(window));
    XSync(display_, False);

    bool maximise = false;
    bool activate = false;
    const auto maxVert = static_cast<long>(Intern("_NET_WM_STATE_MAXIMIZED_VERT"));
    const auto maxHorz = static_cast<long>(Intern("_NET_WM_STATE_MAXIMIZED_HORZ"));
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type != ClientMessage || event.xclient.window != window) continue;
        const long* l = event.xclient.data.l;
        if (event.xclient.message_type == Intern("_NET_WM_STATE"))
            maximise = l[0] == 1 && ((l[1] == maxVert && l[2] == maxHorz) ||
                                     (l[1] == maxHorz && l[2] == maxVert));
        if (event.xclient.message_type == Intern("_NET_ACTIVE_WINDOW")) activate = true;
    }
    EXPECT_TRUE(maximise);
    EXPECT_TRUE(activate);
    // Placing the window is the manager's business.
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(display_, window, &attributes));
    EXPECT_EQ(attributes.width, 200);
}

#endif  // VK_HAVE_X11

}  // namespace
}  // namespace vk
