#include "commence/commands.h"

#include <gtest/gtest.h>

#include "commence/field_list.h"
#include "common/exceptions.h"

namespace vk {
namespace {

TEST(CommandTextTest, InsertsArgumentsUnchangedBetweenQuotes) {
    const struct {
        const char* name;
        std::string actual, expected;
    } cases[] = {
        {"categories", commands::GetCategoryNames(), "[GetCategoryNames()]"},
        {"forms", commands::GetFormNames("Contact"), "[GetFormNames(\"Contact\")]"},
        {"fields", commands::GetFieldNames("Sales Lead"), "[GetFieldNames(\"Sales Lead\")]"},
        {"definition", commands::GetFieldDefinition("Contact", "Phone"),
         "[GetFieldDefinition(\"Contact\",\"Phone\")]"},
        {"connections", commands::GetConnectionNames("Contact", "\r\n", "\r\n"),
         "[GetConnectionNames(\"Contact\",\"\r\n\",\"\r\n\")]"},
        {"items", commands::GetItemNames("Contact"), "[GetItemNames(\"Contact\")]"},
        {"preference", commands::GetUserPreference(), "[GetPreference(Me,\"\t\")]"},
        // A double quote in a name is not escaped: Commence takes it as it stands.
        {"check-out with quote", commands::CheckOutFormScript("Con\"tact", "Main", "/tmp/VBSx"),
         "[CheckOutFormScript(\"Con\"tact\",\"Main\",\"/tmp/VBSx\")]"},
        {"check-in", commands::CheckInFormScript("Contact", "Main \"A\"", "/tmp/VBS y"),
         "[CheckInFormScript(\"Contact\",\"Main \"A\"\",\"/tmp/VBS y\")]"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(FieldKindTest, MapsCommenceTypesToKinds) {
    const struct {
        const char* name;
        std::vector<std::string> lines;
        int kind;
    } cases[] = {
        {"text", {"0"}, 0},
        {"number", {"1", "x"}, 1},
        {"date", {"2"}, 2},
        {"telephone", {"3"}, 3},
        {"type 7", {"7"}, 4},
        {"type 11", {"11"}, 5},
        {"type 12", {"12"}, 6},
        {"type 13", {"13"}, 7},
        {"type 14", {"14"}, 8},
        {"type 15", {"15"}, 9},
        {"type 20", {"20"}, 10},
        {"type 21", {"21"}, 11},
        {"type 23", {"23"}, 13},
        {"type 24", {"24"}, 14},
        {"unknown", {"99"}, 18},
        {"negative", {"-1"}, 18},
        {"type 22 sixth character zero", {"22", "abcde0rest"}, 12},
        {"type 22 sixth character one", {"22", "abcde1"}, 15},
        {"type 22 second line too short", {"22", "abcde"}, 15},
        {"type 22 without second line", {"22"}, 15},
    };
    for (const auto& c : cases) EXPECT_EQ(FieldKindFromDefinition(c.lines), c.kind) << c.name;
}

TEST(FieldKindTest, RejectsADefinitionWithoutTypeNumber) {
    EXPECT_THROW((void)FieldKindFromDefinition({}), EConvertError);
    EXPECT_THROW((void)FieldKindFromDefinition({"Text", "0"}), EConvertError);
    EXPECT_THROW((void)FieldKindFromDefinition({" 0"}), EConvertError);
}

TEST(FieldKindTest, LeavesOutKindsSixSevenAndNine) {
    for (int kind = 0; kind <= 18; ++kind)
        EXPECT_EQ(IsListedFieldKind(kind), kind != 6 && kind != 7 && kind != 9) << kind;
}

TEST(ConnectionEntriesTest, PairsLinesAndTagsTheConnectionNameLength) {
    const std::vector<FieldListEntry> entries =
        ConnectionEntries({"Relates To", "Contact", "Account", "Company Name", "odd"});
    const std::vector<FieldListEntry> expected = {{"Relates To Contact", -11},
                                                  {"Account Company Name", -8}};
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(ConnectionNameOf(entries[0]), "Relates To");
    EXPECT_EQ(ConnectionNameOf(entries[1]), "Account");
    EXPECT_EQ(ConnectionNameOf({"Phone", 3}), "");
    EXPECT_TRUE(ConnectionEntries({"lonely"}).empty());
}

}  // namespace
}  // namespace vk
