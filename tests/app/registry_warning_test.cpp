// A registry file that cannot be read: the editor says so and runs on its
// defaults, and the file stays as it was.
#include "app/registry_warning.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/registry.h"
#include "settings/settings.h"
#include "support/recording_message_service.h"
#include "support/test_support.h"

namespace vk::test {
namespace {

TEST(RegistryWarningTest, UnreadableFilesAreNamedAndKeptAndTheSettingsAreTheDefaults) {
    TempDir dir;
    const auto userHive = dir.path() / "HKEY_CURRENT_USER.reg";
    const std::string spoiled =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Thornmere\\Vellumkit\\Editor]\r\n"
        "\"Tab width\"=dword:00000008\r\n\"Memory buffer\"=dword:12g\r\n";
    WriteFileBytes(userHive, spoiled);
    // A folder where the machine hive's file should be cannot be read at all.
    std::filesystem::create_directory(dir.path() / "HKEY_LOCAL_MACHINE.reg");

    Registry registry(dir.path());
    RecordingMessageService messages;
    WarnOfUnreadableRegistry(registry, messages);
    ASSERT_EQ(messages.messages.size(), 2u);
    for (const auto& message : messages.messages) {
        EXPECT_EQ(message.icon, MessageIcon::Warning);
        EXPECT_NE(message.text.find("default settings"), std::string::npos) << message.text;
    }
    EXPECT_NE(messages.messages[0].text.find(userHive.string() + ":5: "), std::string::npos)
        << messages.messages[0].text;
    EXPECT_NE(messages.messages[1].text.find("HKEY_LOCAL_MACHINE.reg: cannot be read: "),
              std::string::npos)
        << messages.messages[1].text;

    TSettings settings(registry);
    EXPECT_EQ(settings.tabWidth, 3) << "not the 8 from before the bad line";
    settings.tabWidth = 5;
    settings.Save();
    EXPECT_EQ(ReadFileBytes(userHive), spoiled);

    // A sound registry gives no warning.
    TempDir fine;
    Registry sound(fine.path());
    RecordingMessageService quiet;
    WarnOfUnreadableRegistry(sound, quiet);
    EXPECT_TRUE(quiet.messages.empty());
}

}  // namespace
}  // namespace vk::test
