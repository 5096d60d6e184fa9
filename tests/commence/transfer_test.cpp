// Check-out and check-in against the real Commence-compatible server.
#include "commence/transfer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/exceptions.h"
#include "link_support.h"
#include "platform/registry.h"
#include "platform/temp_files.h"
#include "support/recording_message_service.h"

namespace vk {
namespace {

using test::CommenceFixture;
using test::ReadFileBytes;
using test::RecordingMessageService;
using test::RecordingStatusSink;
using test::ScopedEnv;
using test::TempDir;

using Status = std::vector<std::pair<std::string, int>>;

constexpr std::string_view kSales = CommenceFixture::kDemoSales;

// Every byte a script may hold, CR LF line ends and Windows-1252 text.
std::string AwkwardScript() {
    std::string script =
        "' Caf\xE9 \x80 5\r\nSub Form_OnLoad()\r\n    x = \"a\"\"b\"\r\nEnd Sub\r\n";
    for (int c = 1; c < 256; ++c) script += static_cast<char>(c);
    return script + "\r\n";
}

std::string WriteTempScript(const std::string& bytes) {
    const auto file = TempFiles::CreateTempFile("VBS");
    if (!file) throw std::runtime_error("no temp file");
    test::WriteFileBytes(*file, bytes);
    return *file;
}

class TransferTest : public ::testing::Test {
protected:
    bool CheckIn(const FormLocation& location, const std::string& file) {
        return FileToCommence(registry_, location, file, status_, messages_, [this] { ++stored_; });
    }

    CommenceFixture fixture_;
    Registry registry_{fixture_.RegistryDir()};
    TempDir tmp_;
    ScopedEnv tmpdir_{"TMPDIR", tmp_.path().string()};
    RecordingStatusSink status_;
    RecordingMessageService messages_;
    int stored_ = 0;
};

TEST_F(TransferTest, RoundTripKeepsEveryByte) {
    // Commence runs for another database only: the check-out's first connect
    // fails and its second one starts Commence for this database.
    fixture_.StartServer(CommenceFixture::kFieldService);
    const FormLocation quote{std::string(kSales), "Sales Opportunity", "Quote \"Express\""};

    const std::string original = CommenceToFile(registry_, quote, status_);
    EXPECT_EQ(status_.messages, (Status{{"Requesting script from Commence", 0}, {"", 1}}));
    EXPECT_EQ(std::filesystem::path(original).parent_path(), tmp_.path());
    EXPECT_EQ(std::filesystem::path(original).filename().string().rfind("VBS", 0), 0u);
    EXPECT_NE(ReadFileBytes(original).find("Quote \"Express\""), std::string::npos);
    EXPECT_EQ(fixture_.RunningServers().size(), 2u);

    const std::string script = AwkwardScript();
    const std::string file = WriteTempScript(script);
    status_.messages.clear();
    EXPECT_TRUE(CheckIn(quote, file));
    EXPECT_EQ(stored_, 1);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(status_.messages, (Status{{"Transfering file to Commence", 0}, {"", 1}}));
    EXPECT_TRUE(messages_.messages.empty());

    const std::string back = CommenceToFile(registry_, quote, status_);
    EXPECT_EQ(ReadFileBytes(back), script);
    EXPECT_NE(back, original);
}

TEST_F(TransferTest, RefusedCheckInNamesTheReason) {
    fixture_.StartServer(kSales);
    const struct {
        const char* name;
        FormLocation location;
        bool fileExists;
        std::string message;
    } cases[] = {
        {"invalid category",
         {std::string(kSales), "No Such \"Category\"", "Account"},
         true,
         "There was an error saving the script.\rThe category \"No Such \"Category\"\" is "
         "invalid."},
        {"invalid form",
         {std::string(kSales), "Account", "Ghost"},
         true,
         "There was an error saving the script.\rThe detail form \"Ghost\" is invalid."},
        {"unreadable file",
         {std::string(kSales), "Account", "Account"},
         false,
         "There was an error saving the script.\rPlease try again."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.messages.clear();
        std::string file = WriteTempScript("x = 1\r\n");
        if (!c.fileExists) {
            std::filesystem::remove(file);
            file = (tmp_.path() / "VBSmissing.tmp").string();
        }
        EXPECT_FALSE(CheckIn(c.location, file));
        EXPECT_FALSE(std::filesystem::exists(file));
        ASSERT_EQ(messages_.messages.size(), 1u);
        EXPECT_EQ(messages_.messages[0].text, c.message);
        EXPECT_EQ(messages_.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(messages_.messages[0].buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(stored_, 0);
}

TEST_F(TransferTest, CommenceDownLeavesTheReasonInTheStatusLine) {
    // Neither running nor startable: its program folder holds no program.
    auto settings =
        registry_.OpenKey(Hive::CurrentUser, "Software\\Commence\\Commence\\3.0\\Settings", true);
    ASSERT_TRUE(settings && settings->WriteString("Program", tmp_.path().string()));
    const FormLocation account{std::string(kSales), "Account", "Account"};

    const std::string file = WriteTempScript("x = 1\r\n");
    EXPECT_FALSE(CheckIn(account, file));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(stored_, 0);
    EXPECT_TRUE(messages_.messages.empty());
    EXPECT_EQ(status_.messages, (Status{{"Transfering file to Commence", 0},
                                        {"", 1},
                                        {"Error accessing Demo Sales", kLinkFailureStatusLevel}}));

    status_.messages.clear();
    try {
        (void)CommenceToFile(registry_, account, status_);
        ADD_FAILURE() << "no EDDEFailed";
    } catch (const EDDEFailed& e) {
        EXPECT_STREQ(e.what(), "Error accessing Demo Sales");
    }
    EXPECT_TRUE(std::filesystem::is_empty(tmp_.path())) << "the check-out's file is removed";
}

}  // namespace
}  // namespace vk
