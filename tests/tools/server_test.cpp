// The real commence.exe over real DDE (sockets, or DDEML on Windows), set up
// by the real setup.

#include <gtest/gtest.h>
#include <zlib.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <set>
#include <thread>

#include "common/text_helpers.h"
#include "default_script.h"
#include "platform/dde.h"
#include "platform/launcher.h"
#include "store.h"
#include "support/commence_fixture.h"
#include "support/test_support.h"

namespace vk::commence_server {
namespace {

using namespace std::chrono_literals;
using test::CommenceFixture;

unsigned long Crc32(std::string_view bytes) {
    return crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()),
                 static_cast<uInt>(bytes.size()));
}

std::string CheckOutCommand(std::string_view category, std::string_view form,
                            const std::filesystem::path& file) {
    return "[CheckOutFormScript(\"" + std::string(category) + "\",\"" + std::string(form) +
           "\",\"" + file.string() + "\")]";
}

std::string CheckInCommand(std::string_view category, std::string_view form,
                           const std::filesystem::path& file) {
    return "[CheckInFormScript(\"" + std::string(category) + "\",\"" + std::string(form) + "\",\"" +
           file.string() + "\")]";
}

class ServerTest : public testing::Test {
protected:
    void SetUp() override {
        serverPid_ = fixture_.StartServer(CommenceFixture::kDemoSales);
        ASSERT_TRUE(client_.Connect("Commence", CommenceFixture::kDemoSales));
    }

    std::string Ask(std::string_view item) {
        auto reply = client_.Request(item);
        EXPECT_TRUE(reply.has_value()) << item;
        return reply.value_or("<no reply>");
    }
    std::string LastError() { return Ask("[GetLastError]"); }

    // An empty file for a check-out, made first as a client makes it.
    std::filesystem::path EmptyFile(std::string_view name) {
        const auto file = fixture_.Root() / std::string(name);
        test::WriteFileBytes(file, "");
        return file;
    }

    CommenceFixture fixture_;
    test::ProcessId serverPid_ = 0;
    DdeClient client_;
};

struct QueryCase {
    const char* label;
    std::string item;
    std::string reply;
};

class ServerQueryTest : public ServerTest, public testing::WithParamInterface<QueryCase> {};

// Lines are joined by CR LF without a trailing one; each answered query
// leaves code 0 for [GetLastError].
TEST_P(ServerQueryTest, AnswersInItsFormat) {
    const auto& row = GetParam();
    EXPECT_EQ(Ask(row.item), row.reply);
    EXPECT_EQ(LastError(), "0");
}

INSTANTIATE_TEST_SUITE_P(
    DemoSales, ServerQueryTest,
    testing::Values(
        QueryCase{"categories", "[GetCategoryNames()]",
                  "Account\r\nContact\r\nSales Opportunity\r\nEmployee\r\nActivity Log"},
        QueryCase{"forms", "[GetFormNames(\"Account\")]",
                  "Account\r\nAccount (Short)\r\nAccount Billing"},
        QueryCase{"the_only_form", "[GetFormNames(\"Employee\")]", "Employee"},
        QueryCase{"no_forms", "[GetFormNames(\"Activity Log\")]", ""},
        QueryCase{"fields", "[GetFieldNames(\"Employee\")]",
                  "employeeKey\r\nInitials\r\nPhone\r\nE-mail"},
        QueryCase{"single_choice", "[GetFieldDefinition(\"Account\",\"Region\")]",
                  "22\r\n00000000\r\nNorth\r\nSouth\r\nEast\r\nWest"},
        QueryCase{"multiple_choice", "[GetFieldDefinition(\"Account\",\"Industries\")]",
                  "22\r\n00000100\r\nEnterprise\r\nSmall Business\r\nPublic Sector"},
        QueryCase{"unknown_type", "[GetFieldDefinition(\"Account\",\"Legacy Code\")]",
                  "99\r\n00000000"},
        QueryCase{"connections_alternating",
                  "[GetConnectionNames(\"Sales Opportunity\",\"\r\n\",\"\r\n\")]",
                  "For Account\r\nAccount\r\nPrimary Contact\r\nContact"},
        QueryCase{
            "connections_per_line", "[GetConnectionNames(\"Contact\",\"\r\n\",\" \")]",
            "Relates to Account\r\nPrimary Contact Sales Opportunity\r\nRelates to Activity Log"},
        QueryCase{"connection_to_itself", "[GetConnectionNames(\"Employee\",\"|\",\"=\")]",
                  "Managed by=Account|Assigned to=Activity Log|Reports to=Employee"},
        QueryCase{"items", "[GetItemNames(\"Account\")]",
                  "Acme Tools\r\nBrightwater Caf\xE9\r\nNorthwind Traders"},
        QueryCase{"user", "[GetPreference(Me,\"\t\")]", "Employee\tDana Whitfield"},
        QueryCase{"names_ignore_case", "[getformnames(\"EMPLOYEE\")]", "Employee"}),
    [](const testing::TestParamInfo<QueryCase>& info) { return std::string(info.param.label); });

// Every Commence field type a client maps must be in the demo data.
TEST_F(ServerTest, DemoSchemaCoversEveryFieldType) {
    std::set<std::string> kinds;
    for (const auto& category : SplitLines(Ask("[GetCategoryNames()]"))) {
        for (const auto& field : SplitLines(Ask("[GetFieldNames(\"" + category + "\")]"))) {
            const auto lines =
                SplitLines(Ask("[GetFieldDefinition(\"" + category + "\",\"" + field + "\")]"));
            ASSERT_GE(lines.size(), 2u) << category << "/" << field;
            kinds.insert(lines[0] == "22" ? "22/" + lines[1].substr(5, 1) : lines[0]);
        }
    }
    const std::set<std::string> expected{"0",  "1",  "2",  "3",    "7",    "11", "12", "13", "14",
                                         "15", "20", "21", "22/0", "22/1", "23", "24", "99"};
    EXPECT_EQ(kinds, expected);
}

struct ErrorCase {
    const char* label;
    std::string item;
    std::string code;
};

class ServerErrorTest : public ServerTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(ServerErrorTest, ReportsTheCode) {
    const auto& row = GetParam();
    EXPECT_EQ(Ask(row.item), "");
    EXPECT_EQ(LastError(), row.code);
    EXPECT_EQ(LastError(), row.code) << "reading the code must not change it";
}

INSTANTIATE_TEST_SUITE_P(
    DemoSales, ServerErrorTest,
    testing::Values(ErrorCase{"forms_of_unknown_category", "[GetFormNames(\"Nope\")]", "1"},
                    ErrorCase{"fields_of_unknown_category", "[GetFieldNames(\"Nope\")]", "1"},
                    ErrorCase{"unknown_field", "[GetFieldDefinition(\"Account\",\"Nope\")]", "3"},
                    ErrorCase{"connections_of_unknown_category",
                              "[GetConnectionNames(\"Nope\",\"\r\n\",\"\r\n\")]", "1"},
                    ErrorCase{"items_of_unknown_category", "[GetItemNames(\"Nope\")]", "1"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.label); });

// An execute is acknowledged once queued, so a refused one shows only in
// the code [GetLastError] gives afterwards.
TEST_F(ServerTest, RefusesWhatIsNoCommand) {
    const struct {
        const char* label;
        bool execute;
        std::string text;
    } cases[] = {
        {"unknown request", false, "[NoSuchCommand()]"},
        {"unclosed request", false, "[GetFormNames(\"Account\""},
        {"request with an argument too many", false, "[GetFormNames(\"A\",\"B\")]"},
        {"query sent as execute", true, "[GetCategoryNames()]"},
        {"check-in without file", true, "[CheckInFormScript(\"Account\",\"Account\")]"},
        {"binary bytes", true, std::string("\x01\xff[", 3)},
    };
    for (const auto& c : cases) {
        if (c.execute)
            EXPECT_TRUE(client_.Execute(c.text)) << c.label;
        else
            EXPECT_EQ(client_.Request(c.text), std::nullopt) << c.label;
        EXPECT_EQ(LastError(), "6") << c.label;
        ASSERT_EQ(Ask("[GetFormNames(\"Employee\")]"), "Employee")
            << "still serving after " << c.label;
    }
}

TEST_F(ServerTest, CheckInCodesNameWhatIsWrong) {
    const auto file = fixture_.Root() / "VBSin";
    test::WriteFileBytes(file, "Sub Form_OnLoad()\r\nEnd Sub\r\n");
    const struct {
        std::string category, form;
        std::filesystem::path file;
        const char* code;
    } cases[] = {
        {"Nope", "Account", file, "1"},
        {"Account", "Nope", file, "2"},
        {"Employee", "Account", file, "2"},
        {"Account", "Account", fixture_.Root() / "missing", "4"},
        {"Account", "Account", "relative/VBSin", "4"},
        {"Account", "Account", file, "0"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(client_.Execute(CheckInCommand(c.category, c.form, c.file)));
        EXPECT_EQ(LastError(), c.code) << c.category << "/" << c.form << " " << c.file;
    }
}

// The bytes travel unchanged both ways, 0x80-0xFF and NUL included, and a
// form name with double quotes is found although it is sent unquoted.
TEST_F(ServerTest, CheckOutAndInRoundTripByteForByte) {
    const auto file = EmptyFile("VBSout");
    ASSERT_TRUE(client_.Execute(CheckOutCommand("Contact", "Contact", file)));
    EXPECT_EQ(LastError(), "0");
    const std::string contact = test::ReadFileBytes(file);
    EXPECT_NE(contact.find("\"\x80\""), std::string::npos) << "the euro sign as one byte";
    EXPECT_NE(contact.find("Caf\xE9"), std::string::npos);
    EXPECT_EQ(contact.substr(contact.size() - 2), "\r\n");

    std::string script = "' Quote \"Express\"\r\n";
    for (int c = 0; c < 256; ++c) script += static_cast<char>(c);
    script += "\r\nEnd Sub\r\n";
    const auto in = fixture_.Root() / "VBSin";
    test::WriteFileBytes(in, script);
    ASSERT_TRUE(client_.Execute(CheckInCommand("Sales Opportunity", "Quote \"Express\"", in)));
    EXPECT_EQ(LastError(), "0");

    // Check-out replaces a longer content rather than writing over its start.
    test::WriteFileBytes(file, std::string(script.size() * 2, 'x'));
    ASSERT_TRUE(client_.Execute(CheckOutCommand("Sales Opportunity", "Quote \"Express\"", file)));
    EXPECT_EQ(LastError(), "0");
    EXPECT_EQ(test::ReadFileBytes(file), script);
}

TEST_F(ServerTest, FormWithoutScriptGivesTheDefaultScript) {
    EXPECT_EQ(Crc32(DefaultFormScript()), kDefaultFormScriptCrc);
    const auto file = EmptyFile("VBSdefault");
    ASSERT_TRUE(client_.Execute(CheckOutCommand("Account", "Account Billing", file)));
    ASSERT_EQ(LastError(), "0");
    const std::string script = test::ReadFileBytes(file);
    EXPECT_EQ(Crc32(script), 0xfc177257UL);
    EXPECT_NE(script.find("Sub Form_OnLoad()\r\n"), std::string::npos);
    EXPECT_EQ(script.substr(script.size() - 2), "\r\n");
}

// Beyond Commence: a check-in that stores only while the form's script is
// still the one the client last saw, compared and stored in one step.
TEST_F(ServerTest, ConditionalCheckInStoresOnlyOverTheScriptNamed) {
    EXPECT_EQ(Ask("[GetServerFeatures()]"), "CheckInFormScriptIf");
    const auto now = EmptyFile("VBSnow");
    ASSERT_TRUE(client_.Execute(CheckOutCommand("Employee", "Employee", now)));
    ASSERT_EQ(LastError(), "0");
    const std::string current = test::ReadFileBytes(now);
    char seen[9];
    std::snprintf(seen, sizeof seen, "%08lx", Crc32(current));
    const auto in = fixture_.Root() / "VBSin";
    test::WriteFileBytes(in, "' mine\r\n");
    const auto checkInIf = [&](const std::string& checksum) {
        return "[CheckInFormScriptIf(\"Employee\",\"Employee\",\"" + in.string() + "\",\"" +
               checksum + "\")]";
    };

    ASSERT_TRUE(
        client_.Execute(checkInIf(seen == std::string("00000000") ? "00000001" : "00000000")));
    EXPECT_EQ(LastError(), "7") << "another script than the one named: nothing stored";
    ASSERT_TRUE(client_.Execute(CheckOutCommand("Employee", "Employee", now)));
    ASSERT_EQ(LastError(), "0");
    EXPECT_EQ(test::ReadFileBytes(now), current);

    ASSERT_TRUE(client_.Execute(checkInIf(seen)));
    EXPECT_EQ(LastError(), "0");
    ASSERT_TRUE(client_.Execute(CheckOutCommand("Employee", "Employee", now)));
    ASSERT_EQ(LastError(), "0");
    EXPECT_EQ(test::ReadFileBytes(now), "' mine\r\n");
    ASSERT_TRUE(client_.Execute(checkInIf(seen)));
    EXPECT_EQ(LastError(), "7") << "the script named is no longer there";
}

// Regression: a check-out interrupted by Ctrl+C removed its file before the
// server wrote it, and the server made it again, leaving the whole script
// in the temp folder for good.
TEST_F(ServerTest, CheckOutIntoAFileThatIsGoneMakesNoFile) {
    const auto gone = fixture_.Root() / "VBSgone";
    ASSERT_TRUE(client_.Execute(CheckOutCommand("Account", "Account", gone)));
    EXPECT_EQ(LastError(), "4");
    EXPECT_FALSE(std::filesystem::exists(gone));
}

TEST_F(ServerTest, CheckOutOfUnknownFormWritesNothing) {
    const auto file = fixture_.Root() / "VBSkeep";
    test::WriteFileBytes(file, "untouched");
    ASSERT_TRUE(client_.Execute(CheckOutCommand("Account", "Nope", file)));
    EXPECT_EQ(LastError(), "2");
    ASSERT_TRUE(client_.Execute(CheckOutCommand("Nope", "Account", file)));
    EXPECT_EQ(LastError(), "1");
    EXPECT_EQ(test::ReadFileBytes(file), "untouched");
}

#ifndef _WIN32
// The server serves everyone on one thread: a FIFO or device named as the
// transfer file is refused at once instead of blocking it.
TEST_F(ServerTest, TransferFileThatIsNoRegularFileIsRefusedWithoutWaiting) {
    const auto fifo = fixture_.Root() / "VBSfifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    client_.SetRequestTimeout(5s);
    const struct {
        const char* label;
        bool checkOut;
        std::filesystem::path file;
    } cases[] = {
        {"check-out into a FIFO nobody reads", true, fifo},
        {"check-out into a folder", true, fixture_.Root()},
        {"check-in from a FIFO nobody writes", false, fifo},
        {"check-in from an endless device", false, "/dev/zero"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(client_.Execute(c.checkOut ? CheckOutCommand("Account", "Account", c.file)
                                               : CheckInCommand("Account", "Account", c.file)));
        EXPECT_EQ(client_.Request("[GetLastError]"), "4") << c.label;
    }
    // A reader waiting on the FIFO gets nothing either.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(client_.Execute(CheckOutCommand("Account", "Account", fifo)));
    EXPECT_EQ(client_.Request("[GetLastError]"), "4");
    char byte;
    EXPECT_LE(::read(reader, &byte, 1), 0) << "the script went into the FIFO";
    ::close(reader);
    EXPECT_EQ(Ask("[GetFormNames(\"Employee\")]"), "Employee");
}
#endif

std::optional<std::string> StoredScript(const CommenceFixture& fixture, std::string_view category,
                                        std::string_view form) {
    CommenceStore store(fixture.DatabaseFolder(CommenceFixture::kDemoSales) /
                        std::string(CommenceStore::kFileName));
    return store.FormScript(category, form).value;
}

// Asked to stop: SIGTERM, or its window closed on Windows.
TEST_F(ServerTest, StopRequestKeepsTheStoredScript) {
    const auto in = fixture_.Root() / "VBSin";
    const std::string script =
        "Sub Form_OnSave()\r\n    ' saved before the stop \xE9\r\nEnd Sub\r\n";
    test::WriteFileBytes(in, script);
    ASSERT_TRUE(client_.Execute(CheckInCommand("Employee", "Employee", in)));
    ASSERT_EQ(LastError(), "0");

    // A large check-in still in flight when the request comes is stored
    // whole or not at all.
    const std::string big(8 * 1024 * 1024, 'b');
    const auto bigFile = fixture_.Root() / "VBSbig";
    test::WriteFileBytes(bigFile, big);
    const auto before = StoredScript(fixture_, "Account", "Account");
    ASSERT_TRUE(client_.Execute(CheckInCommand("Account", "Account", bigFile)));

    ASSERT_TRUE(test::AskToStop(serverPid_));
    EXPECT_EQ(CommenceFixture::WaitForExit(serverPid_, 30s), 0);

    EXPECT_EQ(StoredScript(fixture_, "Employee", "Employee"), script);
    const auto after = StoredScript(fixture_, "Account", "Account");
    EXPECT_TRUE(after == before || after == big) << "size " << (after ? after->size() : 0);
}

TEST_F(ServerTest, SecondStartForTheSameDatabaseExitsAtOnce) {
    const auto second = fixture_.SpawnServer({"/QUIET", "/DATABASE=Demo", "Sales"});
    EXPECT_EQ(CommenceFixture::WaitForExit(second, 30s), 0);
    EXPECT_EQ(Ask("[GetFormNames(\"Employee\")]"), "Employee");
}

TEST_F(ServerTest, ServesOnlyItsOwnTopic) {
    DdeClient other;
    EXPECT_FALSE(other.Connect("Commence", CommenceFixture::kFieldService));
#ifndef _WIN32
    // DDEML's names are atoms, which ignore case: on Windows any case connects.
    EXPECT_FALSE(other.Connect("Commence", "demo sales"));
#endif

    fixture_.StartServer(CommenceFixture::kFieldService);
    ASSERT_TRUE(other.Connect("Commence", CommenceFixture::kFieldService));
    EXPECT_EQ(other.Request("[GetFormNames(\"Technician\")]"), "Technician");
    EXPECT_EQ(Ask("[GetFormNames(\"Employee\")]"), "Employee");
}

TEST(ServerLifeTest, WithoutUserNameGetPreferenceGives126) {
    CommenceFixture fixture;
    fixture.StartServer(CommenceFixture::kFieldService);
    DdeClient client;
    ASSERT_TRUE(client.Connect("Commence", CommenceFixture::kFieldService));
    EXPECT_EQ(client.Request("[GetPreference(Me,\"\t\")]"), "");
    EXPECT_EQ(client.Request("[GetLastError]"), "126");
}

TEST(ServerLifeTest, QuitsAfterTheIdleTime) {
    CommenceFixture fixture;
    const auto pid = fixture.StartServer(CommenceFixture::kDemoSales, 1s);
    EXPECT_EQ(CommenceFixture::WaitForExit(pid, 60s), 0);
}

TEST(ServerLifeTest, RefusesAnUnregisteredDatabase) {
    CommenceFixture fixture;
    const auto pid = fixture.SpawnServer({"/QUIET", "/DATABASE=Nowhere"});
    EXPECT_EQ(CommenceFixture::WaitForExit(pid, 30s), 2);
}

TEST(ServerLifeTest, FixtureStopsServersItDidNotStart) {
    std::vector<test::ProcessId> pids;
    {
        CommenceFixture fixture;
        // Started as a client would start it, unknown to the fixture, and
        // detached (with no parent that waits for it).
        ASSERT_TRUE(Launch("\"" + CommenceFixture::ServerProgram().string() +
                           "\" /QUIET /DATABASE=Field Service")
                        .started);
        DdeClient client;
        for (int i = 0; i < 1500 && !client.Connect("Commence", CommenceFixture::kFieldService);
             ++i)
            std::this_thread::sleep_for(20ms);
        ASSERT_TRUE(client.IsConnected());
        pids = fixture.RunningServers();
        EXPECT_EQ(pids.size(), 1u);
    }
    for (const auto pid : pids) EXPECT_TRUE(CommenceFixture::WaitForExit(pid, 0ms).has_value());
}

// Regression: the code was once shared by every conversation, so a client
// that checked in to an unknown form could read another client's 0 and
// report the script stored (and a stored check-in could read a refusal).
TEST_F(ServerTest, LastErrorBelongsToTheConversationThatCausedIt) {
    DdeClient other;
    ASSERT_TRUE(other.Connect("Commence", CommenceFixture::kDemoSales));
    const auto in = fixture_.Root() / "VBSin";
    test::WriteFileBytes(in, "Sub Form_OnLoad()\r\nEnd Sub\r\n");

    ASSERT_TRUE(client_.Execute(CheckInCommand("Account", "No Such Form", in)));
    ASSERT_TRUE(other.Execute(CheckInCommand("Account", "Account", in)));
    EXPECT_EQ(other.Request("[GetLastError]"), "0");
    EXPECT_EQ(LastError(), "2");

    // Interleaved the other way round, and a fresh conversation starts clean.
    ASSERT_TRUE(other.Execute(CheckOutCommand("Nope", "Account", in)));
    ASSERT_TRUE(client_.Execute(CheckOutCommand("Account", "Account", EmptyFile("VBSout"))));
    EXPECT_EQ(LastError(), "0");
    EXPECT_EQ(other.Request("[GetLastError]"), "1");
    DdeClient third;
    ASSERT_TRUE(third.Connect("Commence", CommenceFixture::kDemoSales));
    EXPECT_EQ(third.Request("[GetLastError]"), "0");

    // The same from two threads at once, as two programs would run.
    const std::string refused = CheckInCommand("Account", "No Such Form", in);
    const std::string stored = CheckInCommand("Account", "Account", in);
    auto run = [](const std::string& command, const char* code, int& wrong) {
        DdeClient client;
        if (!client.Connect("Commence", CommenceFixture::kDemoSales)) {
            wrong = -1;
            return;
        }
        for (int i = 0; i < 25; ++i)
            if (!client.Execute(command) || client.Request("[GetLastError]") != code) ++wrong;
    };
    int wrongRefused = 0;
    int wrongStored = 0;
    auto first = std::async(std::launch::async, run, refused, "2", std::ref(wrongRefused));
    auto second = std::async(std::launch::async, run, stored, "0", std::ref(wrongStored));
    // Meanwhile this thread answers DDE as any program's would: on Windows a
    // connect asks every DDE window, this thread's conversations' too.
    while (first.wait_for(10ms) != std::future_status::ready ||
           second.wait_for(0ms) != std::future_status::ready)
        (void)client_.IsConnected();
    EXPECT_EQ(wrongRefused, 0);
    EXPECT_EQ(wrongStored, 0);
}

}  // namespace
}  // namespace vk::commence_server
