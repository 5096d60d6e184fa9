// The check of a script line's field and connection names against the demo
// databases, over real sockets to the Commence-compatible server.
#include "commence/validation.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/exceptions.h"
#include "common/text_helpers.h"
#include "link_support.h"
#include "support/recording_message_service.h"

namespace vk {
namespace {

using test::CommenceFixture;
using test::RecordingMessageService;

constexpr std::string_view kSales = CommenceFixture::kDemoSales;

// One Demo Sales server for the whole table.
class ValidationTable : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fixture_ = new CommenceFixture();
        fixture_->StartServer(kSales);
    }
    static void TearDownTestSuite() {
        delete fixture_;
        fixture_ = nullptr;
    }

    static CommenceFixture* fixture_;
};
CommenceFixture* ValidationTable::fixture_ = nullptr;

struct LineCase {
    const char* name;
    const char* category;
    const char* line;
    // The name the check stops at, as the line writes it between double
    // quotes (its first such occurrence); empty when the line passes.
    const char* wrong;
    // The error box, or empty for none.
    const char* box;
};

void PrintTo(const LineCase& row, std::ostream* out) { *out << row.name; }

class LineTable : public ValidationTable, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineTable, StopsAtTheFirstWrongName) {
    const LineCase& row = GetParam();
    const std::string line = row.line;
    std::size_t expected = 0;
    if (*row.wrong) {
        const std::size_t quoted = line.find('"' + std::string(row.wrong) + '"');
        ASSERT_NE(quoted, std::string::npos) << "the row's wrong name is not in its line";
        expected = quoted + 1;
    }
    RecordingMessageService messages;
    EXPECT_EQ(ValidateLine(kSales, row.category, line, messages), expected);
    if (*row.box) {
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, row.box);
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    } else {
        EXPECT_TRUE(messages.messages.empty()) << messages.messages[0].text;
    }
}

const LineCase kLines[] = {
    {"NoCalls", "Account", "x = 1", "", ""},
    {"KnownField", "Account", "x = Field(\"Region\")", "", ""},
    {"UnknownField", "Account", "x = Field(\"Regoin\")", "Regoin",
     "The field 'Regoin' does not exist in the category 'Account'"},
    {"FieldStartingTheLineWithBlanksAround", "Account", "Field ( \"Nope\" ) .Value = 1", "Nope",
     "The field 'Nope' does not exist in the category 'Account'"},
    {"MoveToFieldAfterATab", "Account", "\tMoveToField(\"Nowhere\")", "Nowhere",
     "The field 'Nowhere' does not exist in the category 'Account'"},
    {"FieldBehindAFullStopIsLeftAlone", "Account", "Form.Field(\"Regoin\").Value = 1", "", ""},
    {"MoveToFieldBehindAFullStopIsLeftAlone", "Account", "Form.MoveToField(\"Nope\")", "", ""},
    {"FieldNameInAnotherCase", "Account", "x = Field(\"region\")", "region",
     "The field 'region' does not exist in the category 'Account'"},
    {"WrongCaseRepeatOfAKnownField", "Account", "x = Field(\"Region\") & Field(\"REGION\")",
     "REGION", "The field 'REGION' does not exist in the category 'Account'"},
    // Without the string rule the call would be read with the name " & name & ".
    {"FieldCallInsideAString", "Account", "MsgBox \" Field(\" & name & \")\"", "", ""},
    {"FieldCallInTheComment", "Account", "x = 1 ' x = Field(\"Nope\")", "", ""},
    {"ApostropheInsideAStringIsNoComment", "Account", "x = \"it's\" & Field(\"Nope\")", "Nope",
     "The field 'Nope' does not exist in the category 'Account'"},
    {"WrongFieldsInLineOrder", "Account", "x = Field(\"Zed\") & Field(\"Abc\")", "Zed",
     "The field 'Zed' does not exist in the category 'Account'"},
    {"KnownConnection", "Account", "Set m = Form.Connection(\"Managed by\", \"Employee\")", "", ""},
    {"ConnectionSeenFromTheOtherSide", "Account",
     "Set c = Form.Connection(\"Relates to\",\"Contact\")", "", ""},
    {"ConnectionNameInAnotherCase", "Account",
     "Set m = Form.Connection(\"Managed By\", \"Employee\")", "Managed By",
     "The connection 'Managed By Employee' does not exist in the category 'Account'"},
    {"ConnectionToAnotherCategory", "Account",
     "Set m = Form.Connection(\"Managed by\", \"Contact\")", "Managed by",
     "The connection 'Managed by Contact' does not exist in the category 'Account'"},
    // Without the string rule the call would be read as the pair " & a & ",
    // " & b & ".
    {"ConnectionCallInsideAString", "Account", "s = \" Connection(\" & a & \",\" & b & \")\"", "",
     ""},
    // Initials is a field of Employee, not of Account: it passes only when
    // looked up in the connected category.
    {"KnownFieldOfTheConnectedCategory", "Account",
     "x = Form.Connection(\"Managed by\", \"Employee\"). FieldValue ( \"Initials\" )", "", ""},
    {"UnknownFieldOfTheConnectedCategory", "Account",
     "x = Form.Connection(\"Managed by\", \"Employee\").FieldValue(\"Initals\")", "Initals",
     "The field 'Initals' does not exist in the category 'Employee'"},
    {"FieldsBeforeConnections", "Account",
     "Field(\"Nope\") = Form.Connection(\"Nobody\", \"Employee\")", "Nope",
     "The field 'Nope' does not exist in the category 'Account'"},
    {"UnknownCategoryLetsTheLineThrough", "Nowhere", "x = Field(\"Nope\")", "",
     "The category 'Nowhere' does not exist in the database 'Demo Sales'"},
};

INSTANTIATE_TEST_SUITE_P(DemoSales, LineTable, ::testing::ValuesIn(kLines),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Validation, CommenceNotAnsweringFailsTheCheck) {
    CommenceFixture fixture;  // nothing started
    RecordingMessageService messages;
    try {
        (void)ValidateLine(kSales, "Account", "x = Field(\"Region\")", messages);
        ADD_FAILURE() << "no EDDEFailed";
    } catch (const EDDEFailed& e) {
        EXPECT_STREQ(e.what(), "Field & connection validation failed");
    }
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(fixture.RunningServers().empty()) << "the check never starts Commence";
}

// Regression: a request Commence failed to answer once came back as an empty
// list, so a Commence busy elsewhere had the line's category reported missing.
TEST(Validation, ARequestCommenceCannotAnswerFailsTheCheckInsteadOfBlamingTheName) {
    CommenceFixture fixture;
    fixture.StartServer(kSales);
    // Another writer holds the database: the server connects, then gives up
    // on the request after its busy bound and answers nothing.
    sqlite3* db = nullptr;
    const auto file = fixture.DatabaseFolder(kSales) / "commence.db";
    ASSERT_EQ(sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> closer(db, sqlite3_close);
    ASSERT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    RecordingMessageService messages;
    try {
        (void)ValidateLine(kSales, "Account", "x = Field(\"Region\")", messages);
        ADD_FAILURE() << "no EDDEFailed";
    } catch (const EDDEFailed& e) {
        EXPECT_STREQ(e.what(), "Field & connection validation failed");
    }
    EXPECT_TRUE(messages.messages.empty()) << messages.messages[0].text;
    (void)sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
}

TEST_F(ValidationTable, AFieldAddedInCommenceIsKnownAtTheNextCheck) {
    RecordingMessageService messages;
    const std::string line = "x = Field(\"Sales Zone\")";
    EXPECT_EQ(ValidateLine(kSales, "Contact", line, messages), 11u);
    test::ChangeDemoDatabase(*fixture_, kSales,
                             "INSERT INTO fields(category, name, type, definition) "
                             "VALUES ('Contact', 'Sales Zone', 0, '00000000')");
    EXPECT_EQ(ValidateLine(kSales, "Contact", line, messages), 0u);
    EXPECT_EQ(messages.messages.size(), 1u);
}

// The demo forms' own scripts, as (category, form, script), read from the
// server's database file.
struct DemoScript {
    std::string category, form, script;
};
std::vector<DemoScript> DemoScripts(const CommenceFixture& fixture, std::string_view database) {
    const auto file = fixture.DatabaseFolder(database) / "commence.db";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + file.string());
    }
    const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> closer(db, sqlite3_close);
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT category, name, script FROM forms WHERE script IS NOT NULL",
                           -1, &query, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> finalizer(query,
                                                                               sqlite3_finalize);
    const auto text = [query](int column) {
        return std::string(static_cast<const char*>(sqlite3_column_blob(query, column)),
                           static_cast<std::size_t>(sqlite3_column_bytes(query, column)));
    };
    std::vector<DemoScript> scripts;
    while (sqlite3_step(query) == SQLITE_ROW) scripts.push_back({text(0), text(1), text(2)});
    return scripts;
}

// Every line of every demo form script passes, so the demo databases can be
// used to try the check from the first run.
TEST_F(ValidationTable, EveryDemoScriptLinePasses) {
    fixture_->StartServer(CommenceFixture::kFieldService);
    RecordingMessageService messages;
    for (const std::string_view database : {kSales, CommenceFixture::kFieldService}) {
        const std::vector<DemoScript> scripts = DemoScripts(*fixture_, database);
        EXPECT_GE(scripts.size(), 4u) << database;
        for (const DemoScript& demo : scripts) {
            int number = 0;
            for (const std::string& line : SplitLines(demo.script)) {
                ++number;
                EXPECT_EQ(ValidateLine(database, demo.category, line, messages), 0u)
                    << database << " / " << demo.category << " / " << demo.form << " line "
                    << number << ": " << line;
            }
        }
    }
    EXPECT_TRUE(messages.Texts().empty()) << messages.Texts()[0];
}

}  // namespace
}  // namespace vk
