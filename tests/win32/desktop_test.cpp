#include <gtest/gtest.h>
#include <windows.h>
#undef DeleteFile  // windows.h's macro; ours is TempFiles::DeleteFile

#include <filesystem>
#include <set>
#include <thread>

#include "platform/dde.h"
#include "platform/launcher.h"
#include "platform/machine.h"
#include "platform/temp_files.h"
#include "platform/window_finder.h"

namespace vk {
namespace {

using namespace std::chrono_literals;

std::filesystem::path OwnFolder() { return Machine::ProgramFile().parent_path(); }

TEST(Win32MachineTest, NamesAndTheLocalesDateAndTime) {
    EXPECT_FALSE(Machine::ComputerName().empty());
    EXPECT_EQ(Machine::ProgramFile().filename(), "win32_desktop_test.exe");
    EXPECT_EQ(Machine::ComputerName().find('.'), std::string::npos);
    EXPECT_FALSE(Machine::UserName().empty());

    std::tm afternoon{};
    afternoon.tm_year = 124;
    afternoon.tm_mon = 2;
    afternoon.tm_mday = 5;
    afternoon.tm_hour = 13;
    afternoon.tm_min = 45;
    afternoon.tm_sec = 7;
    afternoon.tm_isdst = -1;
    std::tm midnight = afternoon;
    midnight.tm_hour = midnight.tm_min = midnight.tm_sec = 0;
    const std::string withTime = Machine::FormatShortDateLongTime(std::mktime(&afternoon));
    const std::string dateOnly = Machine::FormatShortDateLongTime(std::mktime(&midnight));
    // The user's locale decides the forms; the date is the same in both and
    // the time (with its seconds) follows it only when it is not midnight.
    ASSERT_FALSE(dateOnly.empty());
    EXPECT_NE(dateOnly.find('5'), std::string::npos);
    EXPECT_EQ(dateOnly.find(' '), std::string::npos) << dateOnly;
    EXPECT_EQ(withTime.rfind(dateOnly + ' ', 0), 0u) << withTime;
    EXPECT_NE(withTime.find("45:07"), std::string::npos) << withTime;
}

TEST(Win32TempFilesTest, NewEmptyFilesWithThePrefixInTheTempFolder) {
    std::set<std::string> made;
    for (int i = 0; i < 3; ++i) {
        const auto file = TempFiles::CreateTempFile("VBS");
        ASSERT_TRUE(file);
        const std::filesystem::path path(*file);
        // Directly in the folder GetTempPath names (which ends in a backslash).
        const std::string folder = TempFiles::Folder().string();
        ASSERT_EQ(file->rfind(folder, 0), 0u) << *file;
        EXPECT_EQ(file->find('\\', folder.size()), std::string::npos) << *file;
        EXPECT_EQ(path.filename().string().rfind("VBS", 0), 0u);
        EXPECT_EQ(path.extension(), ".tmp");
        EXPECT_EQ(std::filesystem::file_size(path), 0u);
        made.insert(*file);
    }
    EXPECT_EQ(made.size(), 3u);
    for (const auto& file : made) {
        EXPECT_TRUE(TempFiles::DeleteFile(file));
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_FALSE(TempFiles::DeleteFile(file));
    }
}

TEST(Win32LauncherTest, StartsAProgramAndWaitsForItsService) {
    const std::string peer = (OwnFolder() / "win32_dde_peer.exe").string();
    ASSERT_EQ(LocateProgram(peer), peer);
    EXPECT_EQ(LocateProgram((OwnFolder() / "win32_dde_peer").string()), peer);
    EXPECT_FALSE(LocateProgram((OwnFolder() / "no_such_program.exe").string()));
    EXPECT_FALSE(Launch("\"" + (OwnFolder() / "no_such_program.exe").string() + "\" x").started);

    LaunchOptions options;
    options.ready = [] {
        DdeClient probe;
        return probe.Connect("VkPeer", "Launched Topic");
    };
    // The topic with a blank reaches the program as one argument, quoted as
    // on any Windows command line.
    const LaunchResult result = Launch("\"" + peer + "\" VkPeer \"Launched Topic\"", options);
    EXPECT_TRUE(result.started);
    ASSERT_TRUE(result.ready);

    DdeClient client;
    ASSERT_TRUE(client.Connect("VkPeer", "Launched Topic"));
    EXPECT_EQ(client.Request("Pid"), std::to_string(result.processId));
    EXPECT_TRUE(client.Execute("[Quit]"));
    client.Disconnect();
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(result.processId));
    if (process) {
        EXPECT_EQ(WaitForSingleObject(process, 10'000), WAIT_OBJECT_0);
        CloseHandle(process);
    }
}

// A window of this test's own, titled like Commence's main window.
class TitledWindow {
public:
    explicit TitledWindow(const char* title) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VellumkitFinderTest";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, 0, 0,
                                  300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
        ShowWindow(window_, SW_SHOWMINIMIZED);
    }
    ~TitledWindow() { DestroyWindow(window_); }
    [[nodiscard]] HWND Get() const { return window_; }

private:
    HWND window_;
};

TEST(Win32WindowFinderTest, FindsTheExactTitleAndShowsItMaximised) {
    const TitledWindow window("Commence - Demo Sales \xE9");
    ASSERT_TRUE(window.Get());
    WindowFinder finder;
    ASSERT_TRUE(finder.HasDisplay());
    const auto found = finder.FindByTitle("Commence - Demo Sales \xE9");
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, reinterpret_cast<std::uintptr_t>(window.Get()));
    EXPECT_FALSE(finder.FindByTitle("commence - demo sales \xE9"));
    EXPECT_FALSE(finder.FindByTitle("Commence - Demo"));

    EXPECT_TRUE(finder.ShowMaximizedInFront(*found));
    EXPECT_FALSE(IsIconic(window.Get()));
    EXPECT_TRUE(IsZoomed(window.Get()));
    EXPECT_TRUE(IsWindowVisible(window.Get()));
    EXPECT_FALSE(finder.ShowMaximizedInFront(0));
}

}  // namespace
}  // namespace vk
