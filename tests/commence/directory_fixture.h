#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "commence/database_directory.h"
#include "platform/registry.h"
#include "support/test_support.h"

namespace vk::test {

// A registry in a temp folder with helpers to register databases the way
// Commence does: "Software\Commence\Databases\<group>\<key>" with "Name"
// and "Path", and a data.ini in the database folder.
class DirectoryTest : public ::testing::Test {
protected:
    void Register(Hive hive, const std::string& group, const std::string& key,
                  const std::string& name, std::optional<std::string> version = std::nullopt) {
        auto database =
            registry_.OpenKey(hive, std::string(kDatabasesKey) + "\\" + group + "\\" + key, true);
        ASSERT_TRUE(database);
        ASSERT_TRUE(database->WriteString("Name", name));
        const auto folder = dir_.path() / ("db-" + group + "-" + key);
        std::filesystem::create_directories(folder);
        ASSERT_TRUE(database->WriteString("Path", folder.string()));
        if (version)
            WriteFileBytes(
                folder / "data.ini",
                "[General]\r\nVersion=9.9\r\n[OtherOptions]\r\nVersion=" + *version + "\r\n");
    }

    void SetProgramFolder(Hive hive, const std::string& release, const std::string& folder) {
        auto settings = registry_.OpenKey(
            hive, "Software\\Commence\\Commence\\" + release + "\\Settings", true);
        ASSERT_TRUE(settings);
        ASSERT_TRUE(settings->WriteString("Program", folder));
    }

    TempDir dir_;
    Registry registry_{dir_.path() / "registry"};
};

}  // namespace vk::test
