// Definition, references and rename of the script's own names, each in its
// scope.

#include "language/navigation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check_support.h"
#include "language/script_check.h"

namespace vk::language {
namespace {

const std::string kScript = test::Script({
    "Option Explicit",                 // 1
    "Dim total",                       // 2
    "Sub Form_OnLoad()",               // 3
    "    total = Add(1, 2)",           // 4
    "    Dim shadow",                  // 5
    "    shadow = total",              // 6
    "End Sub",                         // 7
    "Function Add(ByVal a, ByVal b)",  // 8
    "    Dim total",                   // 9
    "    total = a + b",               // 10
    "    Add = total",                 // 11
    "End Function",                    // 12
    "Sub Later()",                     // 13
    "    total = total + MsgBox(1)",   // 14
    "    Dim f",                       // 15
    "    Set f = GetRef(\"add\")",     // 16
    "End Sub",                         // 17
});

// The offset of the `nth` (from 0) occurrence of `word` on `line` (from 1).
std::uint32_t At(const std::string& text, std::uint32_t line, std::string_view word, int nth = 0) {
    std::size_t at = 0;
    for (std::uint32_t n = 1; n < line; ++n) at = text.find("\r\n", at) + 2;
    at = text.find(word, at);
    for (int i = 0; i < nth; ++i) at = text.find(word, at + 1);
    return static_cast<std::uint32_t>(at);
}

// Ranges as "line:column" of their starts.
std::vector<std::string> Places(const std::string& text, const std::vector<TextRange>& ranges) {
    const LineIndex lines = LineIndex::Of(text);
    std::vector<std::string> places;
    for (const TextRange range : ranges) {
        const LinePosition p = lines.PositionOf(range.offset);
        places.push_back(std::to_string(p.line) + ":" + std::to_string(p.column));
    }
    return places;
}

TEST(Navigation, DefinitionIsTheDeclarationInScope) {
    const ScriptCheck check = CheckScript(kScript);
    const auto definition = [&](std::uint32_t offset) {
        const auto range = DefinitionAt(kScript, check.tree, offset);
        return range ? Places(kScript, {*range}).front() : std::string("none");
    };
    EXPECT_EQ(definition(At(kScript, 4, "total")), "2:5");       // the script's
    EXPECT_EQ(definition(At(kScript, 10, "total") + 3), "9:9");  // the Function's own
    EXPECT_EQ(definition(At(kScript, 11, "total") + 5), "9:9");  // just after the name
    EXPECT_EQ(definition(At(kScript, 4, "Add")), "8:10");
    EXPECT_EQ(definition(At(kScript, 10, "a ")), "8:20");  // a parameter
    EXPECT_EQ(definition(At(kScript, 14, "MsgBox")), "none");
    EXPECT_EQ(definition(At(kScript, 1, "Explicit")), "none");
}

TEST(Navigation, ReferencesStayInTheNamesScope) {
    const ScriptCheck check = CheckScript(kScript);
    EXPECT_EQ(Places(kScript, ReferencesAt(kScript, check.tree, At(kScript, 14, "total"), true)),
              (std::vector<std::string>{"2:5", "4:5", "6:14", "14:5", "14:13"}));
    EXPECT_EQ(Places(kScript, ReferencesAt(kScript, check.tree, At(kScript, 9, "total"), false)),
              (std::vector<std::string>{"10:5", "11:11"}));
    // A Function's references: its calls, the assignment of its result and
    // the GetRef that names it.
    EXPECT_EQ(Places(kScript, ReferencesAt(kScript, check.tree, At(kScript, 8, "Add"), true)),
              (std::vector<std::string>{"4:13", "8:10", "11:5", "16:21"}));
}

std::string Applied(std::string text, const std::vector<TextEdit>& edits) {
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
        text.replace(edit->range.offset, edit->range.length, edit->newText);
    return text;
}

TEST(Rename, ChangesEveryReferenceAndNothingElse) {
    const ScriptCheck check = CheckScript(kScript);
    RenamePlan plan = PlanRename(kScript, check, At(kScript, 4, "Add"), "Sum");
    ASSERT_EQ(plan.refusal, "");
    std::string renamed = Applied(kScript, plan.edits);
    EXPECT_NE(renamed.find("total = Sum(1, 2)"), std::string::npos);
    EXPECT_NE(renamed.find("Function Sum(ByVal a, ByVal b)"), std::string::npos);
    EXPECT_NE(renamed.find("    Sum = total"), std::string::npos);
    EXPECT_NE(renamed.find("GetRef(\"Sum\")"), std::string::npos);
    EXPECT_TRUE(test::Problems(renamed).size() == test::Problems(kScript).size());

    plan = PlanRename(kScript, check, At(kScript, 2, "total"), "grandTotal");
    ASSERT_EQ(plan.refusal, "");
    renamed = Applied(kScript, plan.edits);
    EXPECT_NE(renamed.find("grandTotal = grandTotal + MsgBox(1)"), std::string::npos);
    EXPECT_NE(renamed.find("    Dim total\r\n    total = a + b"), std::string::npos);
}

struct Refused {
    const char* name;
    std::uint32_t line;
    const char* word;
    const char* newName;
    const char* reason;  // a part of the refusal
};

class RenameRefusal : public testing::TestWithParam<Refused> {};

TEST_P(RenameRefusal, SaysWhy) {
    const ScriptCheck check = CheckScript(kScript);
    const Refused& c = GetParam();
    const RenamePlan plan = PlanRename(kScript, check, At(kScript, c.line, c.word), c.newName);
    EXPECT_TRUE(plan.edits.empty());
    EXPECT_NE(plan.refusal.find(c.reason), std::string::npos) << plan.refusal;
}

INSTANTIATE_TEST_SUITE_P(
    Rename, RenameRefusal,
    testing::Values(Refused{"Keyword", 2, "total", "If", "keyword"},
                    Refused{"NotAName", 2, "total", "1st", "begins with a letter"},
                    Refused{"Blank", 2, "total", "a b", "letters, digits"},
                    Refused{"EngineName", 14, "MsgBox", "Box", "not declared by the script"},
                    Refused{"Event", 3, "Form_OnLoad", "Loaded", "Commence calls"},
                    // The script's `total` is used where `shadow` is declared: it would
                    // then stand for the local.
                    Refused{"Shadowed", 2, "total", "shadow", "declared where the name is used"},
                    Refused{"DeclaredAlready", 9, "total", "a", "declared here already"},
                    // Renaming the local to a name the procedure uses for something else.
                    Refused{"Captures", 15, "f", "total", "used in the same scope"},
                    Refused{"CapturesEngineName", 2, "total", "MsgBox", "used in the same scope"}),
    [](const testing::TestParamInfo<Refused>& info) { return info.param.name; });

TEST(Rename, ASyntaxErrorInTheScopeStopsIt) {
    const std::string script = test::Script({
        "Sub A()",
        "    Dim n",
        "    n = 1",
        "End Sub",
        "Sub B()",
        "    Dim m",
        "    If m Then",
        "End Sub",
    });
    const ScriptCheck check = CheckScript(script);
    ASSERT_GT(check.ErrorCount(), 0u);
    // The error lies in B: A's local can be renamed, B's cannot.
    EXPECT_EQ(PlanRename(script, check, At(script, 2, "n"), "k").refusal, "");
    const std::string refusal = PlanRename(script, check, At(script, 6, " m") + 1, "k").refusal;
    EXPECT_NE(refusal.find("Line 7"), std::string::npos) << refusal << "\n"
                                                         << test::Problems(script).front();
}

TEST(Rename, ClassMembersAndPropertiesAreLeftAlone) {
    const std::string script = test::Script({
        "Class Counter",
        "    Private mValue",
        "    Public Property Get Value()",
        "        Value = mValue",
        "    End Property",
        "End Class",
    });
    const ScriptCheck check = CheckScript(script);
    EXPECT_NE(PrepareRename(script, check, At(script, 1, "Counter")).refusal, "");
    EXPECT_NE(PrepareRename(script, check, At(script, 2, "mValue")).refusal, "");
    EXPECT_NE(PrepareRename(script, check, At(script, 3, "Value")).refusal, "");
}

}  // namespace
}  // namespace vk::language
