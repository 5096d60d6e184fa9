// Completion at the caret: what the text around it lets be typed there, and
// the names each place offers, filtered and ordered.

#include "language/completion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "caret_support.h"
#include "language/script_check.h"

namespace vk::language {
namespace {

using test::AtCaret;

const CategorySchema kAccount{
    {"accountKey", "Address", "Region", "Revenue Band", "Notes"},
    {{"Managed by", "Employee"}, {"Relates to", "Contact"}, {"Relates to", "Activity Log"}}};
const CategorySchema kEmployee{{"employeeKey", "Initials", "Phone"}, {}};

std::vector<std::string> Labels(const CompletionList& list) {
    std::vector<std::string> labels;
    for (const CompletionItem& item : list.items) labels.push_back(item.label);
    return labels;
}

CompletionList CompleteAt(std::string_view marked, const CategorySchema* schema = &kAccount) {
    const test::CaretText at = AtCaret(marked);
    const ScriptCheck check = CheckScript(at.text);
    CompletionSources sources;
    sources.reference = &test::ShippedReference();
    sources.schema = schema;
    sources.otherCategory = [](std::string_view category) -> const CategorySchema* {
        return category == "Employee" ? &kEmployee : nullptr;
    };
    return Complete(at.text, check.tree, at.caret, sources);
}

struct NameCase {
    const char* name;
    const char* script;
    std::vector<std::string> labels;  // the whole list, in order
};

class NameStrings : public testing::TestWithParam<NameCase> {};

TEST_P(NameStrings, OfferTheCategorysNames) {
    EXPECT_EQ(Labels(CompleteAt(GetParam().script)), GetParam().labels);
}

INSTANTIATE_TEST_SUITE_P(
    Completion, NameStrings,
    testing::Values(
        // Those that begin with "re" first, then those that hold it.
        NameCase{
            "FormField", "x = Form.Field(\"re|\").Value", {"Region", "Revenue Band", "Address"}},
        NameCase{"BareFieldAfterAnother",
                 "If Field(\"Region\").Value = \"\" Then Field(\"No|",
                 {"Notes"}},
        NameCase{"FieldValue", "x = Form.FieldValue( \"acc|", {"accountKey"}},
        NameCase{"MoveToFieldStatement", "Form.MoveToField \"acc|\"", {"accountKey"}},
        NameCase{"Connection",
                 "Set c = Form.Connection(\"|",
                 {"Managed by", "Relates to", "Relates to"}},
        NameCase{"ConnectionCategory",
                 "Set c = Form.Connection(\"Relates to\", \"|",
                 {"Activity Log", "Contact"}},
        NameCase{"ConnectedCategorysField",
                 "x = Form.Connection(\"Managed by\", \"Employee\").FieldValue(\"|",
                 {"employeeKey", "Initials", "Phone"}},
        NameCase{"ContinuedLine", "x = Form.Field( _\r\n    \"No|", {"Notes"}},
        NameCase{"OtherString", "MsgBox \"re|", {}},
        NameCase{"SecondArgument", "x = Form.Field(1, \"re|", {}},
        NameCase{"Comment", "' Form.Field(\"re|", {}},
        NameCase{"RemComment", "Rem Form.Field(\"re|", {}},
        NameCase{"StringAfterOtherTokens", "x = Form.Field(a & \"re|", {}}),
    [](const testing::TestParamInfo<NameCase>& info) { return info.param.name; });

TEST(Completion, ConnectionsComeWithTheirCategories) {
    const CompletionList list = CompleteAt("Set c = Form.Connection(\"Man|");
    ASSERT_EQ(list.items.size(), 1u);
    EXPECT_EQ(list.items[0].detail, "Employee");
    EXPECT_EQ(list.items[0].kind, CompletionKind::Connection);
    // The choice replaces what was typed inside the quotes.
    EXPECT_EQ(list.replace.length, 3u);
}

TEST(Completion, WithoutADatabaseTheNameListsAreEmpty) {
    EXPECT_TRUE(CompleteAt("x = Form.Field(\"|", nullptr).items.empty());
    EXPECT_TRUE(
        CompleteAt("x = Form.Connection(\"a\", \"b\").FieldValue(\"|", nullptr).items.empty());
    EXPECT_FALSE(CompleteAt("x = Le|", nullptr).items.empty());
}

constexpr const char* kScript =
    "Option Explicit\r\n"
    "Dim gLength\r\n"
    "Const LIMIT = 10\r\n"
    "Sub Form_OnLoad()\r\n"
    "    Dim lenient\r\n"
    "    x = len|\r\n"
    "End Sub\r\n"
    "Function Other(ByVal lengthy)\r\n"
    "    Dim lent\r\n"
    "End Function\r\n"
    "Class Counter\r\n"
    "    Private mLength\r\n"
    "    Public Function Size()\r\n"
    "        Size = Me.|\r\n"
    "    End Function\r\n"
    "End Class\r\n";

std::string WithOneCaret(std::string_view script, std::size_t keep) {
    // kScript has two carets; keep the one numbered `keep` (from 0).
    std::string text(script);
    std::size_t at = 0;
    for (std::size_t n = 0; (at = text.find('|', at)) != std::string::npos; ++n) {
        if (n == keep) {
            ++at;
            continue;
        }
        text.erase(at, 1);
    }
    return text;
}

TEST(Completion, NamesInScopeComeWithTheEnginesAndKeywords) {
    const CompletionList list = CompleteAt(WithOneCaret(kScript, 0));
    const std::vector<std::string> labels = Labels(list);
    // Those that begin with "len" in alphabetical order, then those that
    // hold it; the other procedure's locals and the class's members are
    // not in scope.
    const std::vector<std::string> expected = {"Len", "LenB", "lenient", "gLength"};
    EXPECT_EQ(labels, expected);

    const auto item = [&](std::string_view label) {
        return *std::find_if(list.items.begin(), list.items.end(),
                             [&](const CompletionItem& i) { return i.label == label; });
    };
    EXPECT_EQ(item("Len").kind, CompletionKind::Function);
    EXPECT_FALSE(item("Len").detail.empty());  // its syntax line
    EXPECT_EQ(item("lenient").kind, CompletionKind::Variable);
    EXPECT_EQ(item("lenient").detail, "Dim lenient");
}

TEST(Completion, EmptyPrefixOffersEverythingInScope) {
    const test::CaretText at = AtCaret(WithOneCaret(kScript, 0));
    std::string text = at.text;
    text.erase(at.caret - 3, 3);  // "x = |"
    const ScriptCheck check = CheckScript(text);
    CompletionSources sources;
    sources.reference = &test::ShippedReference();
    const CompletionList list = Complete(text, check.tree, at.caret - 3, sources, 10000);
    const std::vector<std::string> labels = Labels(list);
    for (const char* wanted : {"If", "MsgBox", "vbCrLf", "Err", "Form", "Form_OnLoad", "Other",
                               "Counter", "LIMIT", "gLength", "lenient"})
        EXPECT_NE(std::find(labels.begin(), labels.end(), wanted), labels.end()) << wanted;
    for (const char* unwanted : {"lent", "lengthy", "mLength", "Size", "As"})
        EXPECT_EQ(std::find(labels.begin(), labels.end(), unwanted), labels.end()) << unwanted;
    EXPECT_FALSE(list.incomplete);
}

TEST(Completion, MembersAfterAFullStop) {
    const std::vector<std::string> form = Labels(CompleteAt("If Form.Is|"));
    EXPECT_EQ(form, (std::vector<std::string>{"IsAdd", "IsDelete", "IsDirty", "IsShared"}));
    EXPECT_EQ(Labels(CompleteAt(WithOneCaret(kScript, 1))),
              (std::vector<std::string>{"mLength", "Size"}));
    // An object the script does not describe offers nothing.
    EXPECT_TRUE(CompleteAt("x = rs.Fi|").items.empty());
}

TEST(Completion, NewSubAtScriptLevelOffersTheEventsNotYetDefined) {
    const CompletionList list = CompleteAt("Sub Form_OnLoad()\r\nEnd Sub\r\nSub Form_On|");
    const std::vector<std::string> labels = Labels(list);
    EXPECT_EQ(std::find(labels.begin(), labels.end(), "Form_OnLoad"), labels.end());
    const auto leave =
        std::find_if(list.items.begin(), list.items.end(),
                     [](const CompletionItem& i) { return i.label == "Form_OnLeaveField"; });
    ASSERT_NE(leave, list.items.end());
    EXPECT_EQ(leave->insertText, "Form_OnLeaveField(ByVal FieldName)");
    // Other declared names are new: nothing to offer.
    EXPECT_TRUE(CompleteAt("Dim |").items.empty());
    EXPECT_TRUE(CompleteAt("Dim a, |").items.empty());
    EXPECT_TRUE(CompleteAt("Function |").items.empty());
    EXPECT_TRUE(CompleteAt("Sub A()\r\n    Sub |").items.empty());
}

TEST(Completion, ALongListIsCutAndSaysSo) {
    CategorySchema many;
    for (int i = 0; i < 2000; ++i) many.fields.push_back("Field " + std::to_string(10000 + i));
    const test::CaretText at = AtCaret("x = Form.Field(\"|");
    const ScriptCheck check = CheckScript(at.text);
    CompletionSources sources;
    sources.schema = &many;
    const CompletionList list = Complete(at.text, check.tree, at.caret, sources, 50);
    ASSERT_EQ(list.items.size(), 50u);
    EXPECT_TRUE(list.incomplete);
    EXPECT_EQ(list.items.front().label, "Field 10000");
    EXPECT_EQ(list.items.back().label, "Field 10049");
}

}  // namespace
}  // namespace vk::language
