#include <gtest/gtest.h>

#include "commence/database_directory.h"
#include "commence/database_link.h"
#include "commence/directory_fixture.h"

namespace vk {
using test::DirectoryTest;
namespace {

TEST_F(DirectoryTest, WalksGroupsLastToFirstAndDatabasesFirstToLast) {
    Register(Hive::CurrentUser, "Group1", "a", "A1");
    Register(Hive::CurrentUser, "Group1", "b", "A2");
    Register(Hive::CurrentUser, "Group2", "a", "B1");
    Register(Hive::LocalMachine, "Shared", "a", "C1");
    Register(Hive::LocalMachine, "Shared", "b", "A1");  // also in the user's hive: kept
    // A database key without a name contributes nothing.
    ASSERT_TRUE(
        registry_.OpenKey(Hive::CurrentUser, std::string(kDatabasesKey) + "\\Group2\\x", true));
    EXPECT_EQ(DatabaseNames(registry_), (std::vector<std::string>{"B1", "A1", "A2", "C1", "A1"}));
}

TEST_F(DirectoryTest, NoDirectoryGivesNoNames) { EXPECT_TRUE(DatabaseNames(registry_).empty()); }

TEST_F(DirectoryTest, VersionComesFromTheFirstExactMatch) {
    // Groups named in the order they are made: Windows lists subkeys by name.
    Register(Hive::CurrentUser, "Group1", "sales", "Sales", "3.1.0");
    Register(Hive::CurrentUser, "Group2", "sales", "Sales", "4.0.2");  // walked first
    Register(Hive::CurrentUser, "Group2", "lower", "sales", "5.2");
    Register(Hive::CurrentUser, "Group2", "noini", "No Ini");
    Register(Hive::CurrentUser, "Group2", "short", "Short", "7");
    Register(Hive::LocalMachine, "Machine", "m", "Machine Wide", "6.0.1");
    Register(Hive::LocalMachine, "Machine", "s", "Sales", "1.0");  // user's hive wins
    auto noPath = registry_.OpenKey(Hive::CurrentUser,
                                    std::string(kDatabasesKey) + "\\Group2\\nopath", true);
    ASSERT_TRUE(noPath && noPath->WriteString("Name", "No Path"));

    const struct {
        const char* name;
        std::string database, version;
    } cases[] = {
        {"later group is walked first", "Sales", "Commence 4.0"},
        {"case tells names apart", "sales", "Commence 5.2"},
        {"local machine hive", "Machine Wide", "Commence 6.0"},
        {"no data.ini", "No Ini", "Commence "},
        {"no Path value", "No Path", "Commence "},
        {"version shorter than three", "Short", "Commence 7"},
        {"not registered", "Nowhere", ""},
        {"prefix of a name", "Sale", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DatabaseVersion(registry_, c.database), c.version) << c.name;
}

TEST_F(DirectoryTest, ProgramPathComesFromTheUsersSettingsKey) {
    SetProgramFolder(Hive::CurrentUser, "4.0", "/opt/Commence RM");
    SetProgramFolder(Hive::LocalMachine, "5.0", "/opt/machine");  // never consulted
    ASSERT_TRUE(
        registry_.OpenKey(Hive::CurrentUser, "Software\\Commence\\Commence\\6.0\\Settings", true));

    const struct {
        const char* name;
        std::string version, path;
    } cases[] = {
        {"registered version", "Commence 4.0", "/opt/Commence RM\\commence.exe"},
        {"only the 10th to 12th characters count", "Commence 4.0.7",
         "/opt/Commence RM\\commence.exe"},
        {"local machine only", "Commence 5.0", "commence.exe"},
        {"settings key without Program", "Commence 6.0", "commence.exe"},
        {"unknown version", "Commence 3.1", "commence.exe"},
        {"no version", "Commence ", "commence.exe"},
        {"unregistered database", "", "commence.exe"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CommenceProgramPath(registry_, c.version), c.path) << c.name;
}

TEST_F(DirectoryTest, LaunchCommandLineKeepsBlanksUnquoted) {
    Register(Hive::CurrentUser, "G", "a", "Demo Sales", "4.0.1");
    SetProgramFolder(Hive::CurrentUser, "4.0", "/opt/My Apps");
    EXPECT_EQ(DatabaseLaunchCommandLine(registry_, "Demo Sales"),
              "/opt/My Apps\\commence.exe /QUIET /DATABASE=Demo Sales");
    EXPECT_EQ(DatabaseLaunchCommandLine(registry_, "Other"), "commence.exe /QUIET /DATABASE=Other");
}

}  // namespace
}  // namespace vk
