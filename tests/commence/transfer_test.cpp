// The road of a script: check-out and check-in against the real
// Commence-compatible server, and against a scripted DDE server where
// Commence must misbehave on cue.
#include "commence/transfer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "commence/commands.h"
#include "common/exceptions.h"
#include "document/checksum_check.h"
#include "document/script_lines.h"
#include "link_support.h"
#include "platform/registry.h"
#include "support/scripted_commence.h"

namespace vk {
namespace {

using test::CommenceFixture;
using test::RecordingStatusSink;
using test::ScopedEnv;
using test::ScriptedCommence;
using test::TempDir;
using Lines = std::vector<std::string>;
using Outcome = CheckInResult::Outcome;
using Status = std::vector<std::pair<std::string, int>>;

constexpr std::string_view kSales = CommenceFixture::kDemoSales;
constexpr CheckInTags kNoTags{{false, false, false}, "PC", "login"};
constexpr CheckInTags kAllTags{{true, true, true}, "PC", "login"};

// Every byte a script line may hold, CR LF line ends and Windows-1252 text.
std::string AwkwardScript() {
    std::string script =
        "' Caf\xE9 \x80 5\r\nSub Form_OnLoad()\r\n    x = \"a\"\"b\"\r\nEnd Sub\r\n";
    for (int c = 1; c < 256; ++c)
        if (c != '\r' && c != '\n') script += static_cast<char>(c);
    return script + "\r\n";
}

class TransferTest : public ::testing::Test {
protected:
    ScriptTransfer Transfer() { return ScriptTransfer(registry_, status_); }

    CommenceFixture fixture_;
    Registry registry_{fixture_.RegistryDir()};
    TempDir tmp_;
    test::ScopedTempFolder tmpdir_{tmp_.path()};
    RecordingStatusSink status_;
};

TEST_F(TransferTest, RoundTripKeepsEveryByteAndLeavesNoFileBehind) {
    // Commence runs for another database only: the check-out's first connect
    // fails and its second one starts Commence for this database.
    fixture_.StartServer(CommenceFixture::kFieldService);
    const FormLocation quote{std::string(kSales), "Sales Opportunity", "Quote \"Express\""};

    const std::string original = Transfer().CheckOut(quote);
    EXPECT_EQ(status_.messages, (Status{{"Requesting script from Commence", 0}, {"", 1}}));
    EXPECT_NE(original.find("Quote \"Express\""), std::string::npos);
    EXPECT_EQ(fixture_.RunningServers().size(), 2u);

    const std::string script = AwkwardScript();
    MemoryScriptLines lines(script);
    status_.messages.clear();
    const CheckInResult result = Transfer().CheckIn(quote, lines, kNoTags);
    EXPECT_EQ(result.outcome, Outcome::Stored) << result.message;
    EXPECT_EQ(
        status_.messages,
        (Status{
            {"Writing script to file", 0}, {"", 1}, {"Transfering file to Commence", 0}, {"", 1}}));

    EXPECT_EQ(Transfer().CheckOut(quote), script);
    EXPECT_TRUE(std::filesystem::is_empty(tmp_.path())) << "temporary files are removed";
}

TEST_F(TransferTest, CheckInRefreshesTheTagsWithTheNameCommenceKnows) {
    const struct {
        FormLocation location;
        const char* user;  // a database with no user name gives the login name
    } cases[] = {
        {{std::string(kSales), "Account", "Account"}, "Dana Whitfield"},
        {{std::string(CommenceFixture::kFieldService), "Customer", "Customer"}, "login"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.location.database);
        MemoryScriptLines lines(Lines{"Option Explicit", "Dim a"});
        const CheckInResult result = Transfer().CheckIn(c.location, lines, kAllTags);
        ASSERT_EQ(result.outcome, Outcome::Stored) << result.message;
        ASSERT_EQ(lines.LineCount(), 5);
        EXPECT_EQ(lines.Line(2), "'#Category " + c.location.category + ", " + c.location.form);
        EXPECT_EQ(lines.Line(3).rfind("'#Saved ", 0), 0u);
        EXPECT_NE(lines.Line(3).find(std::string(" on \\\\PC by ") + c.user), std::string::npos)
            << lines.Line(3);
        const std::string stored = Transfer().CheckOut(c.location);
        EXPECT_EQ(stored, lines.CanonicalText());
        EXPECT_EQ(VerifyChecksum(stored).outcome, ChecksumVerdict::Outcome::Correct);
    }
}

TEST_F(TransferTest, RefusedCheckInNamesTheReason) {
    fixture_.StartServer(kSales);
    const struct {
        const char* name;
        FormLocation location;
        int code;
        std::string message;
    } cases[] = {
        {"invalid category",
         {std::string(kSales), "No Such \"Category\"", "Account"},
         commands::kInvalidCategory,
         "There was an error saving the script.\rThe category \"No Such \"Category\"\" is "
         "invalid."},
        {"invalid form",
         {std::string(kSales), "Account", "Ghost"},
         commands::kInvalidForm,
         "There was an error saving the script.\rThe detail form \"Ghost\" is invalid."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryScriptLines lines(Lines{"x = 1"});
        const CheckInResult result = Transfer().CheckIn(c.location, lines, kNoTags);
        EXPECT_EQ(result.outcome, Outcome::Refused);
        EXPECT_EQ(result.commenceCode, c.code);
        EXPECT_EQ(result.message, c.message);
    }
    EXPECT_EQ(CheckInRefusal(99, cases[0].location),
              "There was an error saving the script.\rPlease try again.");
    EXPECT_TRUE(std::filesystem::is_empty(tmp_.path()));
}

TEST_F(TransferTest, CommenceDownIsReportedAndTouchesNothing) {
    // Neither running nor startable: its program folder holds no program.
    auto settings =
        registry_.OpenKey(Hive::CurrentUser, "Software\\Commence\\Commence\\3.0\\Settings", true);
    ASSERT_TRUE(settings && settings->WriteString("Program", tmp_.path().string()));
    const FormLocation account{std::string(kSales), "Account", "Account"};

    MemoryScriptLines lines(Lines{"x = 1", "'#CRC32 00000000"});
    const CheckInResult result = Transfer().CheckIn(account, lines, kAllTags);
    EXPECT_EQ(result.outcome, Outcome::Unreachable);
    EXPECT_EQ(result.message, "Error accessing Demo Sales");
    EXPECT_EQ(lines.CanonicalText(), "x = 1\r\n'#CRC32 00000000\r\n") << "no tag touched";

    try {
        (void)Transfer().CheckOut(account);
        ADD_FAILURE() << "no EDDEFailed";
    } catch (const EDDEFailed& e) {
        EXPECT_STREQ(e.what(), "Error accessing Demo Sales");
    }
    EXPECT_TRUE(std::filesystem::is_empty(tmp_.path())) << "the check-out's file is removed";
}

// Regression: the half of a script that a killed Commence had written was
// taken for the whole.
TEST_F(TransferTest, ACheckOutCutShortByAKilledCommenceIsAnErrorAndLeavesNoFile) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in Commence that dies in a check-out is a POSIX program";
#endif
    fixture_.StartCommenceKilledMidCheckOut(kSales);
    try {
        const std::string script = Transfer().CheckOut({std::string(kSales), "Account", "Account"});
        ADD_FAILURE() << "no EDDEFailed; the script read " << script;
    } catch (const EDDEFailed& e) {
        EXPECT_STREQ(e.what(), "Error accessing Demo Sales: Commence stopped answering");
    }
    EXPECT_TRUE(std::filesystem::is_empty(tmp_.path()));
}

class ScriptedTransferTest : public ::testing::Test {
protected:
    CheckInResult CheckIn(ScriptedCommence::Answer answer, MemoryScriptLines& lines,
                          std::vector<std::string>* transactions = nullptr,
                          std::size_t* conversations = nullptr) {
        ScriptedCommence commence("Scripted", std::move(answer));
        const FormLocation location{"Scripted", "Account", "Account"};
        const CheckInResult result =
            ScriptTransfer(registry_, status_).CheckIn(location, lines, kAllTags);
        if (transactions) *transactions = commence.Transactions();
        if (conversations) *conversations = commence.Conversations();
        return result;
    }

    TempDir dir_;
    TempDir tmp_;
    ScopedEnv runtime_{"XDG_RUNTIME_DIR", dir_.path().string()};
    test::ScopedTempFolder tmpdir_{tmp_.path()};
    Registry registry_{dir_.path() / "registry"};
    RecordingStatusSink status_;
};

TEST_F(ScriptedTransferTest, ACheckInIsOneConversation) {
    MemoryScriptLines lines(Lines{"x = 1"});
    std::vector<std::string> transactions;
    std::size_t conversations = 0;
    const CheckInResult result = CheckIn(
        [](std::string_view item) -> std::optional<std::string> {
            return item == commands::kGetLastError ? "0" : "Me\tAnn";
        },
        lines, &transactions, &conversations);
    EXPECT_EQ(result.outcome, Outcome::Stored) << result.message;
    EXPECT_EQ(conversations, 1u);
    EXPECT_EQ(transactions,
              (std::vector<std::string>{"request " + commands::GetUserPreference(),
                                        "request [GetLastError]", "execute [CheckInFormScript",
                                        "request [GetLastError]"}));
}

TEST_F(ScriptedTransferTest, CommenceGoneOrGarbledAfterTheCheckIn) {
    // The check-in's "[GetLastError]" is the fourth request.
    const auto afterCheckIn = [](std::optional<std::string> reply) {
        return [reply, requests = 0](std::string_view item) mutable -> std::optional<std::string> {
            ++requests;
            if (item != commands::kGetLastError) return "Me\tAnn";
            return requests < 3 ? std::optional<std::string>("0") : reply;
        };
    };

    MemoryScriptLines gone(Lines{"x = 1"});
    const CheckInResult result = CheckIn(afterCheckIn(std::nullopt), gone);
    EXPECT_EQ(result.outcome, Outcome::Unreachable);
    EXPECT_EQ(result.message, "Error accessing Scripted: Commence stopped answering");

    // Not a number: no outcome can be trusted, so it is an error of its own
    // for the caller's error box.
    MemoryScriptLines garbled(Lines{"x = 1"});
    EXPECT_THROW((void)CheckIn(afterCheckIn("busy"), garbled), EConvertError);
    EXPECT_TRUE(std::filesystem::is_empty(tmp_.path())) << "the script file is removed";
}

TEST_F(ScriptedTransferTest, CommenceGoneWhileTheTagsAreWrittenIsNotAConversionError) {
    MemoryScriptLines lines(Lines{"x = 1"});
    const CheckInResult result =
        CheckIn([](std::string_view) -> std::optional<std::string> { return std::nullopt; }, lines);
    EXPECT_EQ(result.outcome, Outcome::Unreachable);
    EXPECT_EQ(result.message, "Error accessing Scripted: Commence stopped answering");
}

}  // namespace
}  // namespace vk
