// The editor program itself, started on settings a hostile or broken
// registry holds: it must come up (here: ask Commence for the categories of
// the database named on its command line) and neither abort nor hang.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/registry.h"
#include "settings/settings.h"
#include "support/commence_fixture.h"
#include "support/scripted_commence.h"
#include "support/test_process.h"
#include "support/test_support.h"

namespace vk::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Values that once aborted the sanitizer build, opened a window of 32767 by
// 32767 pixels or off every screen, blanked the text, cost hundreds of
// megabytes, or hung the program before any window.
void WriteHostileValues(const CommenceFixture& fixture) {
    Registry registry(fixture.RegistryDir());
    auto placement = registry.OpenKey(Hive::CurrentUser, kProgramKey, true);
    ASSERT_TRUE(placement);
    ASSERT_TRUE(placement->WriteInteger("Left", 0x7fffffff));
    ASSERT_TRUE(placement->WriteInteger("Top", static_cast<std::uint32_t>(-1000000)));
    ASSERT_TRUE(placement->WriteInteger("Width", 0x7fffffff));
    ASSERT_TRUE(placement->WriteInteger("Height", 0x7fffffff));
    ASSERT_TRUE(placement->WriteInteger("Code Browser Width", 0x7fffffff));
    auto editor = registry.OpenKey(Hive::CurrentUser, std::string(kProgramKey) + "\\Editor", true);
    ASSERT_TRUE(editor);
    ASSERT_TRUE(editor->WriteInteger("Font size", 0x7fffffff));
    ASSERT_TRUE(editor->WriteString("Font name", std::string(10 << 20, 'F')));
    ASSERT_TRUE(editor->WriteInteger("Gutter width", 0x7fffffff));
    ASSERT_TRUE(editor->WriteInteger("Tab width", 0x7fffffff));
    ASSERT_TRUE(editor->WriteInteger("Memory buffer", 0x7fffffff));
    // The help's keyword page is a FIFO nobody writes.
    const fs::path help = fixture.Root() / "fifo help";
    fs::create_directories(help);
    ASSERT_EQ(::mkfifo((help / "vbsalp2.htm").c_str(), 0600), 0);
    auto vbsdoc = registry.OpenKey(Hive::LocalMachine, "Software\\Microsoft\\vbsdoc", true);
    ASSERT_TRUE(vbsdoc);
    ASSERT_TRUE(vbsdoc->WriteString("InstallDir", help.string()));
}

// A file cut to nothing by a crash.
void EmptyTheMachineHive(const CommenceFixture& fixture) {
    WriteFileBytes(fixture.RegistryDir() / "HKEY_LOCAL_MACHINE.reg", "");
}

bool AskedForCategories(const ScriptedCommence& commence) {
    const auto done = commence.Transactions();
    return std::find(done.begin(), done.end(), "request [GetCategoryNames()]") != done.end();
}

TEST(HostileStartTest, TheEditorComesUpAndTheValuesStayAsStored) {
    const struct {
        const char* label;
        std::function<void(const CommenceFixture&)> spoil;
    } cases[] = {
        {"every hostile value at once", WriteHostileValues},
        {"a registry file of 0 bytes", EmptyTheMachineHive},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CommenceFixture fixture;
        c.spoil(fixture);
        const fs::path userHive = fixture.RegistryDir() / "HKEY_CURRENT_USER.reg";
        const std::string stored = ReadFileBytes(userHive);
        ScriptedCommence commence(std::string(CommenceFixture::kDemoSales),
                                  [](std::string_view) { return std::optional<std::string>(); });
        ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");
        const TempDir output;
        const ProcessId editor = StartProgram(
            BuiltProgram("vellumkit"),
            {"--database", std::string(CommenceFixture::kDemoSales), "--category", "Account"},
            {{}, output.path() / "out", output.path() / "err"});

        // The window is up once the database named on the command line is
        // opened; under the sanitizers that takes a while.
        const auto deadline = std::chrono::steady_clock::now() + 120s;
        while (!AskedForCategories(commence) && std::chrono::steady_clock::now() < deadline &&
               !WaitForExit(editor, 0ms))
            std::this_thread::sleep_for(50ms);
        const bool cameUp = AskedForCategories(commence);
        ASSERT_TRUE(AskToStop(editor));
        const std::optional<int> ended = WaitForExit(editor, 60s);
        if (!ended) Kill(editor);
        EXPECT_TRUE(cameUp) << ReadFileBytes(output.path() / "err");
        EXPECT_EQ(ended, 128 + SIGTERM)
            << "ended by the stop request, nothing else; " << ReadFileBytes(output.path() / "err");
        EXPECT_EQ(ReadFileBytes(userHive), stored) << "nothing written back";
    }
}

}  // namespace
}  // namespace vk::test
