#include "platform/registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/test_support.h"

namespace vk {
namespace {

// Each test has hives of its own, named by a fresh folder, in the real
// registry of the Windows (or Wine) session.
class Win32RegistryTest : public ::testing::Test {
protected:
    test::TempDir folder;
    Registry registry{folder.path()};
};

TEST_F(Win32RegistryTest, ValuesKeepTheirTypeAndBytes) {
    auto key = registry.OpenKey(Hive::CurrentUser, "Software\\Thornmere\\Vellumkit", true);
    ASSERT_TRUE(key);
    const std::string ansi = "caf\xE9 \x80 \"q\" \\ \t";
    const std::vector<std::uint8_t> bytes = {0x00, 0xFF, 0x10, 0x00};
    EXPECT_TRUE(key->WriteInteger("Tab width", 0xFFFFFFFEu));
    EXPECT_TRUE(key->WriteString("Font name", ansi));
    EXPECT_TRUE(key->WriteString("Empty", ""));
    EXPECT_TRUE(key->WriteBinary("Colour", bytes));

    EXPECT_EQ(key->ReadInteger("tab WIDTH"), 0xFFFFFFFEu);
    EXPECT_EQ(key->ReadString("Font name"), ansi);
    EXPECT_EQ(key->ReadString("Empty"), "");
    EXPECT_EQ(key->ReadBinary("Colour"), bytes);
    // A value of another type, or none, reads as absent.
    EXPECT_FALSE(key->ReadString("Tab width"));
    EXPECT_FALSE(key->ReadInteger("Colour"));
    EXPECT_FALSE(key->ReadBinary("Font name"));
    EXPECT_FALSE(key->ReadString("Missing"));
    // A NUL would cut the string short for every reader: refused.
    EXPECT_FALSE(key->WriteString("Cut", std::string("a\0b", 3)));
    EXPECT_FALSE(key->ReadString("Cut"));
}

TEST_F(Win32RegistryTest, KeysAreFoundWithoutRegardToCaseAndCreatedOnlyWhenAsked) {
    EXPECT_FALSE(registry.OpenKey(Hive::CurrentUser, "Software\\A\\B"));
    ASSERT_TRUE(registry.OpenKey(Hive::CurrentUser, "Software\\A\\B", true));
    ASSERT_TRUE(registry.OpenKey(Hive::CurrentUser, "software\\a\\b"));
    ASSERT_TRUE(registry.OpenKey(Hive::CurrentUser, "Software\\A\\C", true));
    const auto parent = registry.OpenKey(Hive::CurrentUser, "Software\\A");
    ASSERT_TRUE(parent);
    EXPECT_EQ(parent->SubkeyNames(), (std::vector<std::string>{"B", "C"}));
    EXPECT_FALSE(registry.OpenKey(Hive::CurrentUser, "Software\\\\A", true));
}

TEST_F(Win32RegistryTest, HivesAreSeparateAndSharedWithOtherInstances) {
    auto user = registry.OpenKey(Hive::CurrentUser, "Software\\Commence", true);
    auto machine = registry.OpenKey(Hive::LocalMachine, "Software\\Commence", true);
    ASSERT_TRUE(user && machine);
    EXPECT_TRUE(user->WriteString("Where", "user"));
    EXPECT_TRUE(machine->WriteString("Where", "machine"));

    Registry other(folder.path());
    EXPECT_EQ(other.OpenKey(Hive::CurrentUser, "Software\\Commence")->ReadString("Where"), "user");
    EXPECT_EQ(other.OpenKey(Hive::LocalMachine, "Software\\Commence")->ReadString("Where"),
              "machine");
    test::TempDir elsewhere;
    EXPECT_FALSE(Registry(elsewhere.path()).OpenKey(Hive::CurrentUser, "Software\\Commence"));
    EXPECT_TRUE(registry.LoadErrors().empty());
}

TEST_F(Win32RegistryTest, BatchReportsWhetherItsWritesWereStored) {
    auto key = registry.OpenKey(Hive::CurrentUser, "Software\\Batch", true);
    ASSERT_TRUE(key);
    {
        RegistryBatch batch = registry.BeginBatch(Hive::CurrentUser);
        for (std::uint32_t i = 0; i < 50; ++i)
            EXPECT_TRUE(key->WriteInteger("Value " + std::to_string(i), i));
        EXPECT_TRUE(batch.Commit());
    }
    EXPECT_EQ(key->ReadInteger("Value 49"), 49u);

    // A value name the registry refuses (longer than 16,383 characters).
    RegistryBatch batch = registry.BeginBatch(Hive::CurrentUser);
    key->WriteString(std::string(20000, 'n'), "x");
    EXPECT_FALSE(batch.Commit());
}

// Without a folder the registry is the system's own.
TEST(Win32SystemRegistryTest, EmptyFolderOpensTheSystemHives) {
    const std::string path =
        "Software\\Vellumkit\\Tests\\System" + std::to_string(GetCurrentProcessId());
    Registry system{std::filesystem::path()};
    auto key = system.OpenKey(Hive::CurrentUser, path, true);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->WriteInteger("Answer", 42));

    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, path.c_str(), "Answer", RRF_RT_REG_DWORD, nullptr,
                           &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 42u);
    RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

}  // namespace
}  // namespace vk
