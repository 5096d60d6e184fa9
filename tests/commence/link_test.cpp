// The link against the real Commence-compatible server over real sockets:
// launch on first open, every query and the cutting of its reply, the
// Databases menu check, and a server that dies mid-request.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "commence/commands.h"
#include "commence/conversation.h"
#include "commence/database_directory.h"
#include "commence/database_link.h"
#include "commence/database_menu.h"
#include "commence/queries.h"
#include "commence/transfer.h"
#include "common/exceptions.h"
#include "link_support.h"
#include "platform/registry.h"

namespace vk {
namespace {

using test::CommenceFixture;
using test::ScopedEnv;
using test::TempDir;

constexpr std::string_view kSales = CommenceFixture::kDemoSales;
constexpr std::string_view kService = CommenceFixture::kFieldService;

class LinkTest : public ::testing::Test {
protected:
    // Points the database's "Settings" key for its version at `folder`.
    void SetProgramFolder(const std::string& release, const std::string& folder) {
        auto settings = registry_.OpenKey(
            Hive::CurrentUser, "Software\\Commence\\Commence\\" + release + "\\Settings", true);
        ASSERT_TRUE(settings && settings->WriteString("Program", folder));
    }

    CommenceFixture fixture_;
    Registry registry_{fixture_.RegistryDir()};
    // No program named after the service, and no commence.exe, on the path.
    TempDir emptyPath_;
    ScopedEnv path_{"PATH", emptyPath_.path().string()};
};

TEST_F(LinkTest, FirstOpenStartsCommenceAndConnectsOnTheSecondAttempt) {
    ASSERT_TRUE(fixture_.RunningServers().empty());
    DdeConversation plain;
    plain.SetLink(commands::kService, kSales);
    EXPECT_FALSE(plain.OpenLink()) << "nothing may start without a launch command line";
    EXPECT_TRUE(fixture_.RunningServers().empty());

    DdeConversation conversation;
    ASSERT_TRUE(OpenDatabaseLink(conversation, registry_, kSales));
    EXPECT_EQ(conversation.LaunchCommandLine(), (fixture_.ServerProgram().parent_path().string() +
                                                 "\\commence.exe /QUIET /DATABASE=Demo Sales"));
    EXPECT_TRUE(conversation.IsOpen());
    EXPECT_EQ(fixture_.RunningServers().size(), 1u);
    EXPECT_FALSE(conversation.OpenLink()) << "an open conversation is not opened again";
    EXPECT_FALSE(conversation.RequestText(commands::GetCategoryNames()).empty());

    // A second open finds the running Commence: nothing more is started.
    DdeConversation again;
    ASSERT_TRUE(OpenDatabaseLink(again, registry_, kSales));
    EXPECT_EQ(fixture_.RunningServers().size(), 1u);
}

TEST_F(LinkTest, WithoutAVersionKeyCommenceComesFromTheSearchPath) {
    test::WriteFileBytes(fixture_.DatabaseFolder(kService) / "data.ini",
                         "[OtherOptions]\r\nVersion=9.9.9\r\n");
    DdeConversation notOnPath;
    EXPECT_FALSE(OpenDatabaseLink(notOnPath, registry_, kService));
    EXPECT_EQ(notOnPath.LaunchCommandLine(), "commence.exe /QUIET /DATABASE=Field Service");
    EXPECT_THROW((void)LoadCategoryNames(registry_, kService), EDBNotReady);

    ScopedEnv binPath("PATH", test::BinDir().string());
    DdeConversation onPath;
    EXPECT_TRUE(OpenDatabaseLink(onPath, registry_, kService));
}

TEST_F(LinkTest, QueriesCutTheRepliesIntoNames) {
    // An empty item name last makes the reply end in CR LF; a connection name
    // holding CR LF makes the connection reply's line count odd.
    test::ChangeDemoDatabase(fixture_, kService,
                             "INSERT INTO items(category, name) VALUES ('Technician', '');"
                             "INSERT INTO connections(name, from_category, to_category) VALUES"
                             " ('Odd' || char(13, 10) || 'Line', 'Technician', 'Customer');");
    fixture_.StartServer(kService);

    EXPECT_EQ(LoadCategoryNames(registry_, kService),
              (std::vector<std::string>{"Customer", "Service Call", "Technician", "Spare Part"}));
    EXPECT_EQ(LoadFormNames(registry_, kService, "Customer"),
              (std::vector<std::string>{"Customer", "Customer Site"}));
    EXPECT_EQ(LoadFormNames(registry_, kService, "Spare Part"), std::vector<std::string>{});

    std::vector<std::string> items{"stale"};
    LoadItemNames(kService, "Technician", items);
    EXPECT_EQ(items, (std::vector<std::string>{"Omar Haddad", "Petra Sommer", ""}));
    LoadItemNames(kService, "No Such Category", items);
    EXPECT_TRUE(items.empty());

    std::vector<FieldListEntry> fields{{"stale", 0}};
    LoadFieldsAndConnections(kService, "Service Call", fields);
    const std::vector<FieldListEntry> expected = {{"callKey", 11},
                                                  {"Opened", 2},
                                                  {"Arrival", 8},
                                                  {"Priority", 12},
                                                  {"Symptoms", 15},
                                                  {"Hours", 1},
                                                  {"Customer Customer", -9},
                                                  {"Assigned to Technician", -12},
                                                  {"Uses Part Spare Part", -10}};
    EXPECT_EQ(fields, expected) << "the data file (kind 6) is left out";

    // Five lines, the connection of Service Call seen from its other end
    // first: two pairs, and "Customer" is ignored.
    LoadFieldsAndConnections(kService, "Technician", fields);
    const std::vector<FieldListEntry> technician = {
        {"technicianKey", 5}, {"On Call", 4}, {"Assigned to Service Call", -12}, {"Odd Line", -4}};
    EXPECT_EQ(fields, technician) << "the image (kind 7) is left out";
}

TEST_F(LinkTest, OneCategoryIsOneName) {
    test::ChangeDemoDatabase(fixture_, kService,
                             "DELETE FROM categories WHERE name <> 'Spare Part';");
    fixture_.StartServer(kService);
    EXPECT_EQ(LoadCategoryNames(registry_, kService), std::vector<std::string>{"Spare Part"});
}

TEST_F(LinkTest, QueriesReportACommenceThatDoesNotAnswer) {
    SetProgramFolder("3.0", (emptyPath_.path() / "no-commence-here").string());

    try {
        (void)LoadCategoryNames(registry_, kSales);
        ADD_FAILURE() << "no EDBNotReady";
    } catch (const EDBNotReady& e) {
        EXPECT_STREQ(e.what(), "The database Demo Sales is not ready");
    }
    EXPECT_EQ(LoadFormNames(registry_, kSales, "Account"), std::nullopt);

    std::vector<FieldListEntry> fields{{"stale", 0}};
    EXPECT_THROW(LoadFieldsAndConnections(kSales, "Account", fields), EDBNotReady);
    EXPECT_TRUE(fields.empty());
    std::vector<std::string> items{"stale"};
    LoadItemNames(kSales, "Account", items);
    EXPECT_TRUE(items.empty());
}

TEST_F(LinkTest, FieldAndItemLoadsNeverStartCommence) {
    std::vector<FieldListEntry> fields;
    EXPECT_THROW(LoadFieldsAndConnections(kSales, "Account", fields), EDBNotReady);
    std::vector<std::string> items;
    LoadItemNames(kSales, "Account", items);
    EXPECT_TRUE(fixture_.RunningServers().empty());
}

TEST_F(LinkTest, MenuChecksTheDatabasesCommenceHasOpen) {
    fixture_.StartServer(kSales);
    const auto menu = BuildDatabaseMenu(registry_, false, LocaleNameOrder());
    const std::vector<DatabaseMenuItem> expected = {{"Demo Sales", true, true},
                                                    {"Field Service", false, false}};
    EXPECT_EQ(menu, expected);
    EXPECT_EQ(fixture_.RunningServers().size(), 1u) << "the check must not start Commence";

    const auto unchecked = BuildDatabaseMenu(registry_, true, LocaleNameOrder());
    EXPECT_FALSE(unchecked[0].checked) << "\"No DDE Check\" asks nobody";
}

TEST_F(LinkTest, ServerKilledMidRequestGivesEmptyText) {
    const auto server = fixture_.StartServer(kSales);
    DdeConversation conversation;
    conversation.SetLink(commands::kService, kSales);
    ASSERT_TRUE(conversation.OpenLink());

    // Frozen, the server cannot answer; killed, it never will.
    ASSERT_TRUE(test::Freeze(server));
    auto reply = std::async(std::launch::async, [&conversation] {
        return conversation.RequestText(commands::GetCategoryNames());
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(test::Kill(server));
    EXPECT_EQ(reply.get(), "");
    EXPECT_EQ(conversation.Request(commands::kStatus), std::nullopt);
    (void)CommenceFixture::WaitForExit(server, std::chrono::seconds(10));
}

TEST_F(LinkTest, ExecuteToALostCommenceEndsAfterTheBound) {
    const auto server = fixture_.StartServer(kSales);
    DdeConversation conversation;
    conversation.SetLink(commands::kService, kSales);
    ASSERT_TRUE(conversation.OpenLink());
    const ExecuteRetry quick{3, std::chrono::milliseconds(1)};
    EXPECT_NO_THROW(ExecuteUntilAccepted(
        conversation, commands::CheckOutFormScript("Account", "Account", "/nonexistent/x"), kSales,
        quick));

    ASSERT_TRUE(test::Kill(server));
    (void)CommenceFixture::WaitForExit(server, std::chrono::seconds(10));
    try {
        ExecuteUntilAccepted(conversation, commands::CheckInFormScript("Account", "Account", "x"),
                             kSales, quick);
        ADD_FAILURE() << "no EDDEFailed";
    } catch (const EDDEFailed& e) {
        EXPECT_STREQ(e.what(), "Error accessing Demo Sales: Commence did not accept the command");
    }
    DdeConversation never;
    EXPECT_THROW(ExecuteUntilAccepted(never, "[GetLastError]", kSales, quick), EDDEFailed);
}

// Regression: a name with a quote, a tab or two blanks in a row was once
// re-joined with single blanks on its way through the command line, so the
// Commence started for it served another name and never answered.
TEST_F(LinkTest, OddDatabaseNamesReachTheStartedCommenceExactly) {
    const std::string names[] = {"Say \"Hi\"  There", "Tab\there", " Edge\\\" "};
    for (int n = 0; const std::string& name : names) {
        const std::string number = std::to_string(++n);
        const auto folder = fixture_.DataDir() / ("odd" + number);
        std::filesystem::copy(fixture_.DatabaseFolder(kSales), folder,
                              std::filesystem::copy_options::recursive);
        auto key = registry_.OpenKey(Hive::CurrentUser,
                                     std::string(kDatabasesKey) + "\\Odd\\" + number, true);
        ASSERT_TRUE(key && key->WriteString("Name", name) &&
                    key->WriteString("Path", folder.string()));

        DdeConversation conversation;
        ASSERT_TRUE(OpenDatabaseLink(conversation, registry_, name)) << name;
        EXPECT_FALSE(conversation.RequestText(commands::GetCategoryNames()).empty()) << name;
    }
}

}  // namespace
}  // namespace vk
