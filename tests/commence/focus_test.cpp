// Bringing Commence to the front: the message without a window, and the real
// server's window found by title (on a private X server when Xvfb is there,
// on the desktop on Windows).
#include "commence/focus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>

#include "platform/launcher.h"
#include "platform/window_finder.h"
#include "support/commence_fixture.h"
#include "support/recording_message_service.h"

namespace vk {
namespace {

using test::CommenceFixture;
using test::RecordingMessageService;
using test::ScopedEnv;

TEST(FocusCommenceTest, LooksForTheThreeTitlesInOrder) {
    const auto titles = CommenceWindowTitles("Demo Sales");
    EXPECT_EQ(titles[0], "Commence/CLIENT - Demo Sales");
    EXPECT_EQ(titles[1], "Commence - Demo Sales");
    EXPECT_EQ(titles[2], "Commence/SERVER - Demo Sales");
}

TEST(FocusCommenceTest, WithoutAWindowSaysTheDatabaseIsNotOpen) {
    ScopedEnv display("DISPLAY", std::nullopt);
    WindowFinder windows;
    RecordingMessageService messages;
    EXPECT_FALSE(FocusCommence("Demo Sales", windows, messages));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "The database Demo Sales is not open");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(messages.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages.messages[0].title, "Vellumkit");
}

#ifndef _WIN32
// A private X server on a free display number, stopped when the object goes.
class PrivateDisplay {
public:
    PrivateDisplay() {
        const int first = 70 + static_cast<int>(std::random_device()() % 400);
        for (int number = first; number < 1000; ++number) {
            const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            if (std::filesystem::exists(lock)) continue;
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            LaunchOptions options;
            options.ready = [socket] { return std::filesystem::exists(socket); };
            const LaunchResult result =
                Launch("Xvfb :" + std::to_string(number) + " -nolisten tcp", options);
            pid_ = result.processId;
            if (result.ready) name_ = ":" + std::to_string(number);
            return;
        }
    }
    ~PrivateDisplay() {
        if (pid_ > 0) (void)test::AskToStop(static_cast<test::ProcessId>(pid_));
    }
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;
    const std::string& Name() const { return name_; }

private:
    int pid_ = 0;
    std::string name_;
};
#endif

TEST(FocusCommenceTest, FindsTheRunningServersWindow) {
#ifndef _WIN32
    if (!LocateProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    PrivateDisplay display;
    if (display.Name().empty()) GTEST_SKIP() << "Xvfb did not start";
    ScopedEnv displayEnv("DISPLAY", display.Name());
#endif
    CommenceFixture fixture;
    fixture.StartServer(CommenceFixture::kDemoSales);

    WindowFinder windows;
    if (!windows.HasDisplay()) GTEST_SKIP() << "this build has no X11 support";
    RecordingMessageService messages;
    // The server maps its window after it registers its service.
    for (int i = 0; i < 100 && !windows.FindByTitle("Commence - Demo Sales"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(FocusCommence(CommenceFixture::kDemoSales, windows, messages));
    EXPECT_TRUE(messages.messages.empty());

    EXPECT_FALSE(FocusCommence(CommenceFixture::kFieldService, windows, messages));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"The database Field Service is not open"});
}

}  // namespace
}  // namespace vk
