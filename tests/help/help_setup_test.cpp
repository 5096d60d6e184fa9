// The real vellumkit-setup installing the VBScript reference, against a
// registry in a temp folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "help/syntax_list.h"
#include "platform/registry.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace vk {
namespace {

using test::TempDir;

class HelpSetupTest : public ::testing::Test {
protected:
    // Runs the setup with its data in the temp folder; its exit code.
    int RunSetup(const std::string& extra = {}) {
        const std::string command = std::string("'") + VK_BIN_DIR +
                                    "/vellumkit-setup' --data-dir '" +
                                    (dir.path() / "data").string() + "' " + extra + " >'" +
                                    (dir.path() / "setup.log").string() + "' 2>&1";
        return std::system(command.c_str());
    }

    TempDir dir;
    test::ScopedEnv registryDir{"VELLUMKIT_REGISTRY_DIR", (dir.path() / "registry").string()};
    test::ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", dir.path().string()};
};

TEST_F(HelpSetupTest, InstallsRegistersAndEnablesTheReference) {
    ASSERT_EQ(RunSetup(), 0) << test::ReadFileBytes(dir.path() / "setup.log");
    const auto docDir = dir.path() / "vbsdoc";
    Registry registry(dir.path() / "registry");
    EXPECT_EQ(GetHelpInstallDir(registry), docDir.string());

    const TSyntaxList installed = TSyntaxList::FromFolder(docDir.string());
    const TSyntaxList shipped = TSyntaxList::FromFolder(VK_SOURCE_DIR "/data/vbsdoc");
    EXPECT_EQ(installed.Count(), shipped.Count());
    EXPECT_EQ(installed.SyntaxLine("abs"), shipped.SyntaxLine("abs"));
    EXPECT_TRUE(installed.SyntaxLine("abs").value_or("").starts_with("Abs"));

    // The editor then looks the reference up on F1, beside the default.
    const TSettings settings(registry);
    std::vector<std::string> enabled;
    for (const HelpFile& file : settings.helpFiles)
        if (file.enabled) enabled.push_back(file.name);
    EXPECT_EQ(enabled, (std::vector<std::string>{"Microsoft Windows Script 5.6 Documentation",
                                                 "VBScript 3.1"}));
    EXPECT_EQ(settings.helpFiles.front().name, "Microsoft Windows Script 5.6 Documentation");
}

TEST_F(HelpSetupTest, KeepsOtherDocumentationAndTheUsersHelpChoice) {
    {
        Registry registry(dir.path() / "registry");
        registry.OpenKey(Hive::LocalMachine, kHelpInstallKey, true)
            ->WriteString(kHelpInstallValue, "/opt/other-doc");
        TSettings settings(registry);
        settings.Save();  // the user's choice: only the 5.6 documentation
    }
    ASSERT_EQ(RunSetup("--doc-dir '" + (dir.path() / "doc").string() + "'"), 0)
        << test::ReadFileBytes(dir.path() / "setup.log");
    Registry registry(dir.path() / "registry");
    EXPECT_EQ(GetHelpInstallDir(registry), "/opt/other-doc");
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.path() / "doc" / "vbsalp2.htm"));
    const TSettings settings(registry);
    for (const HelpFile& file : settings.helpFiles)
        EXPECT_EQ(file.enabled, file.name == "Microsoft Windows Script 5.6 Documentation")
            << file.name;
}

TEST_F(HelpSetupTest, RestoresAChangedPageOnTheNextRun) {
    ASSERT_EQ(RunSetup(), 0);
    const auto page = dir.path() / "vbsdoc" / "vbsalp2.htm";
    const std::string original = test::ReadFileBytes(page);
    test::WriteFileBytes(page, "damaged");
    ASSERT_EQ(RunSetup(), 0);
    EXPECT_EQ(test::ReadFileBytes(page), original);
}

}  // namespace
}  // namespace vk
