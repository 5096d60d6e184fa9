// The real vellumkit-setup against a registry in a temp folder.

#include <gtest/gtest.h>

#include <filesystem>

#include "database_directory.h"
#include "platform/dde.h"
#include "platform/registry.h"
#include "settings/settings.h"
#include "store.h"
#include "support/commence_fixture.h"
#include "support/test_support.h"

namespace vk::commence_server {
namespace {

using test::CommenceFixture;

constexpr std::string_view kSettingsKey = "Software\\Commence\\Commence\\3.0\\Settings";

std::vector<std::pair<std::string, std::string>> Registered(Registry& registry, Hive hive) {
    std::vector<std::pair<std::string, std::string>> result;
    for (const auto& entry : ListDatabases(registry, hive))
        result.emplace_back(entry.name, entry.path.value_or("<none>"));
    return result;
}

TEST(SetupTest, CreatesAndRegistersTheDemoDatabases) {
    CommenceFixture fixture;
    Registry registry(fixture.RegistryDir());
    const std::vector<std::pair<std::string, std::string>> expected{
        {"Demo Sales", fixture.DatabaseFolder("Demo Sales").string()},
        {"Field Service", fixture.DatabaseFolder("Field Service").string()}};
    EXPECT_EQ(Registered(registry, Hive::CurrentUser), expected);
    EXPECT_TRUE(Registered(registry, Hive::LocalMachine).empty());

    const auto settings = registry.OpenKey(Hive::CurrentUser, kSettingsKey);
    ASSERT_TRUE(settings.has_value());
    const auto program = settings->ReadString("Program");
    ASSERT_TRUE(program.has_value());
    EXPECT_TRUE(
        std::filesystem::equivalent(*program, CommenceFixture::ServerProgram().parent_path()));

    for (const auto& [name, path] : expected) {
        // The first three characters of the version are the Commence version.
        EXPECT_EQ(test::ReadFileBytes(std::filesystem::path(path) / "data.ini").substr(0, 25),
                  "[OtherOptions]\r\nVersion=3");
        EXPECT_NO_THROW(CommenceStore store(std::filesystem::path(path) / "commence.db")) << name;
    }

    // A new user gets a colour scheme, so the first script shown is coloured.
    TFont keyword, comment;
    EXPECT_TRUE(LoadTokenStyle(registry, "Keyword", keyword));
    EXPECT_TRUE(LoadTokenStyle(registry, "Comment", comment));
    EXPECT_EQ(keyword.color, 0x800000u);
    EXPECT_TRUE(keyword.Bold());
    EXPECT_EQ(comment.color, 0x008000u);
    EXPECT_TRUE(comment.Italic());
}

#ifndef _WIN32
// Running the setup again changes nothing the user (or the server) owns.
// Databases hold the user's data: other local users can neither list nor
// read them, before or after a server has worked on them. (On Windows the
// user's own profile folder keeps them private.)
TEST(SetupTest, DatabasesArePrivateToTheirUser) {
    CommenceFixture fixture;
    fixture.StartServer(CommenceFixture::kDemoSales);
    DdeClient client;
    ASSERT_TRUE(client.Connect("Commence", CommenceFixture::kDemoSales));
    const auto script = fixture.Root() / "VBSin";
    test::WriteFileBytes(script, "Sub Form_OnLoad()\r\nEnd Sub\r\n");
    ASSERT_TRUE(
        client.Execute("[CheckInFormScript(\"Account\",\"Account\",\"" + script.string() + "\")]"));
    ASSERT_EQ(client.Request("[GetLastError]"), "0");

    std::vector<std::filesystem::path> folders{fixture.DataDir()};
    std::vector<std::filesystem::path> files;
    for (const auto name : {CommenceFixture::kDemoSales, CommenceFixture::kFieldService}) {
        const auto folder = fixture.DatabaseFolder(name);
        folders.push_back(folder);
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            files.push_back(entry.path());
    }
    EXPECT_GE(files.size(), 4u) << "data.ini and commence.db of each";
    for (const auto& folder : folders)
        EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms::owner_all)
            << folder;
    for (const auto& file : files) {
        const auto perms = std::filesystem::status(file).permissions();
        EXPECT_EQ(perms & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
                  std::filesystem::perms::none)
            << file;
    }
}
#endif

TEST(SetupTest, AddsOnlyWhatIsAbsent) {
    CommenceFixture fixture;
    {
        Registry registry(fixture.RegistryDir());
        auto sales = registry.OpenKey(Hive::CurrentUser,
                                      std::string(kDatabasesKey) + "\\Vellumkit\\Demo Sales");
        ASSERT_TRUE(sales.has_value());
        ASSERT_TRUE(sales->WriteString("Path", "/home/user/My Sales"));
        ASSERT_TRUE(registry.OpenKey(Hive::CurrentUser, kSettingsKey)
                        ->WriteString("Program", "/opt/commence"));
        CommenceStore store(fixture.DatabaseFolder("Field Service") / "commence.db");
        ASSERT_EQ(store.StoreFormScript("Technician", "Technician", "' edited\r\n"),
                  StoreError::None);
        // The user's own colours, for one class only.
        TFont mine;
        mine.color = 0x0000FF;
        SaveTokenStyle(registry, "Keyword", mine);
    }
    std::string output;
    ASSERT_EQ(fixture.RunSetup(&output), 0) << output;

    Registry registry(fixture.RegistryDir());
    const std::vector<std::pair<std::string, std::string>> expected{
        {"Demo Sales", "/home/user/My Sales"},
        {"Field Service", fixture.DatabaseFolder("Field Service").string()}};
    EXPECT_EQ(Registered(registry, Hive::CurrentUser), expected);
    EXPECT_EQ(registry.OpenKey(Hive::CurrentUser, kSettingsKey)->ReadString("Program"),
              "/opt/commence");
    CommenceStore store(fixture.DatabaseFolder("Field Service") / "commence.db");
    EXPECT_EQ(store.FormScript("Technician", "Technician").value, "' edited\r\n");
    TFont keyword;
    ASSERT_TRUE(LoadTokenStyle(registry, "Keyword", keyword));
    EXPECT_EQ(keyword.color, 0x0000FFu);
}

// A database the machine's hive already lists is not registered again for
// the user; a user key of the same name holding another database is kept.
TEST(SetupTest, RespectsEntriesMadeBeforeIt) {
    test::TempDir dir;
    const auto registryDir = dir.path() / "registry";
    {
        Registry registry(registryDir);
        auto machine = registry.OpenKey(Hive::LocalMachine,
                                        std::string(kDatabasesKey) + "\\Site\\Sales", true);
        ASSERT_TRUE(machine && machine->WriteString("Name", "Demo Sales") &&
                    machine->WriteString("Path", "/srv/sales"));
        auto user = registry.OpenKey(
            Hive::CurrentUser, std::string(kDatabasesKey) + "\\Vellumkit\\Field Service", true);
        ASSERT_TRUE(user && user->WriteString("Name", "Old Service") &&
                    user->WriteString("Path", "/srv/old"));
        // Colours chosen for one class: the scheme is not mixed into them.
        TFont mine;
        mine.color = 0x0000FF;
        SaveTokenStyle(registry, "Keyword", mine);
    }
    const test::ScopedEnv registryEnv("VELLUMKIT_REGISTRY_DIR", registryDir.string());
    ASSERT_EQ(test::RunProgram(CommenceFixture::SetupProgram(),
                               {"--data-dir", (dir.path() / "databases").string()}),
              0);

    Registry registry(registryDir);
    const std::vector<std::pair<std::string, std::string>> user{
        {"Old Service", "/srv/old"},
        {"Field Service", (dir.path() / "databases" / "Field Service").string()}};
    EXPECT_EQ(Registered(registry, Hive::CurrentUser), user);
    EXPECT_EQ(Registered(registry, Hive::LocalMachine),
              (std::vector<std::pair<std::string, std::string>>{{"Demo Sales", "/srv/sales"}}));
    TFont keyword, comment;
    ASSERT_TRUE(LoadTokenStyle(registry, "Keyword", keyword));
    EXPECT_EQ(keyword.color, 0x0000FFu);
    ASSERT_TRUE(LoadTokenStyle(registry, "Comment", comment));
    EXPECT_EQ(comment.color, kWindowTextColor);
}

}  // namespace
}  // namespace vk::commence_server
