#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "check_support.h"

namespace vk::test {
namespace {

using Lines = std::vector<std::string>;

struct Case {
    const char* name;
    std::string text;
    Lines problems;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class InspectionTest : public testing::TestWithParam<Case> {};

TEST_P(InspectionTest, FindsExactlyTheseProblems) {
    EXPECT_EQ(Problems(GetParam().text), GetParam().problems);
}

INSTANTIATE_TEST_SUITE_P(
    Undeclared, InspectionTest,
    testing::Values(
        Case{"UsedAndAssignedUnderOptionExplicit",
             Script({"Option Explicit", "Sub S()", "    totl = 1", "    MsgBox totl + vbTab",
                     "End Sub"}),
             {"3:5: error: Variable is undefined: 'totl'",
              "4:12: error: Variable is undefined: 'totl'"}},
        Case{"NothingWithoutOptionExplicit", Script({"Sub S()", "    totl = 1", "End Sub"}), {}},
        Case{"FormMembersWithoutForm",
             Script({"Option Explicit", "If IsAdd Then Field(\"Region\").Value = 1",
                     "MoveToField \"Region\""}),
             {}},
        Case{"MisspelledProcedure",
             Script({"Option Explicit", "Sub Save()", "End Sub", "Sav"}),
             {"4:1: error: Variable is undefined: 'Sav'"}},
        Case{"DeclaredLaterInTheScriptOrAnotherCase",
             Script({"Option Explicit", "Sub S()", "    COUNT = Helper(Form.Field(\"x\"))",
                     "End Sub", "Dim count",
                     "Function helper(f): helper = Err.Number: End "
                     "Function"}),
             {}},
        Case{"AnotherProceduresLocal",
             Script({"Option Explicit", "Sub A()", "    Dim n", "    n = 1", "End Sub", "Sub B()",
                     "    n = 2", "End Sub"}),
             {"7:5: error: Variable is undefined: 'n'"}},
        Case{"ClassMembersInsideTheirMethodsOnly",
             Script({"Option Explicit", "Class C", "    Private mN", "    Sub Bump()",
                     "        mN = mN + 1", "    End Sub", "End Class", "mN = 0"}),
             {"8:1: error: Variable is undefined: 'mN'"}},
        Case{"ReDimDeclaresAndObjectDirectiveGives",
             Script({"$OBJECT=Host", "$OBJECT=Host", "Option Explicit", "Sub S()", "    ReDim a(3)",
                     "    a(0) = Host.Name", "End Sub"}),
             {}},
        Case{"CodeRunFromTextMayDeclareOrUseAnything",
             Script({"Option Explicit", "ExecuteGlobal \"Dim late\"", "late = 1", "Sub S()",
                     "    Dim used", "    Execute \"used = 1\"", "End Sub"}),
             {}},
        Case{"NewOfAnUnknownClass",
             Script({"Class Known", "End Class", "Set a = New Known", "Set b = New RegExp",
                     "Set c = New Collection", "Set d = New a"}),
             {"5:13: error: Class not defined: 'Collection'",
              "6:13: error: Class not defined: 'a'"}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Redefined, InspectionTest,
    testing::Values(
        Case{"TwiceInOneDim", Script({"Dim a, b, A"}), {"1:11: error: Name redefined: 'A'"}},
        Case{"ParameterAndLocal",
             Script({"Sub S(a)", "    Dim a", "End Sub"}),
             {"2:9: error: Name redefined: 'a'"}},
        Case{"ProcedureTwiceAndVariableAsProcedure",
             Script({"Sub S()", "End Sub", "Sub S()", "End Sub", "Dim T", "Function T()",
                     "End Function"}),
             {"3:5: error: Name redefined: 'S'", "6:10: error: Name redefined: 'T'"}},
        Case{"PropertyGetLetAndSetShareAName",
             Script({"Class C", "    Property Get P()", "    End Property", "    Property Let P(v)",
                     "    End Property", "    Property Set P(v)", "    End Property",
                     "    Property Get P()", "    End Property", "End Class"}),
             {"8:18: error: Name redefined: 'P'"}},
        Case{"SameNameInOtherScopes",
             Script({"Dim n", "Sub S()", "    Dim n", "    n = 1", "End Sub", "Class C",
                     "    Dim n", "End Class", "ReDim n(2)", "ReDim n(3)"}),
             {}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Unused, InspectionTest,
    testing::Values(
        Case{"LocalNeverUsed",
             Script({"Sub S(unusedParameter)", "    Dim used, unused", "    used = 1", "End Sub"}),
             {"2:15: warning: Variable 'unused' is declared but never used"}},
        Case{"ScriptAndClassVariablesAreNotLocals",
             Script({"Dim spare", "Class C", "    Private mSpare", "End Class"}),
             {}},
        Case{"UsedOnlyByErase", Script({"Sub S()", "    Dim a(3)", "    Erase a", "End Sub"}), {}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Arguments, InspectionTest,
    testing::Values(Case{"EveryWayOfCalling",
                         Script({"Sub Two(a, b)", "End Sub", "Function One(a)", "    One = a",
                                 "End Function", "Two 1", "Two 1, 2", "Call Two(1)",
                                 "x = One(1, 2)", "x = One", "Two (1), 2", "Two One(1), One(2)"}),
                         {"6:1: error: Wrong number of arguments: 'Two' takes 2, given 1",
                          "8:6: error: Wrong number of arguments: 'Two' takes 2, given 1",
                          "9:5: error: Wrong number of arguments: 'One' takes 1, given 2",
                          "10:5: error: Wrong number of arguments: 'One' takes 1, given 0"}},
                    Case{"AFunctionsOwnNameIsItsResult",
                         Script({"Function Sum(n)", "    Sum = 0",
                                 "    If n > 0 Then Sum = Sum + Sum(n - 1)", "End Function"}),
                         {}},
                    Case{"ARecursiveCallIsChecked",
                         Script({"Function Sum(n)", "    Sum = Sum(n - 1, 0)", "End Function"}),
                         {"2:11: error: Wrong number of arguments: 'Sum' takes 1, given 2"}},
                    Case{"ALocalShadowsTheProcedureAndMembersAreNotChecked",
                         Script({"Sub Go(a)", "End Sub", "Sub S()", "    Dim Go", "    Go = 1",
                                 "    Form.Go 1, 2, 3", "End Sub"}),
                         {}},
                    Case{"AClassMethodCalledInsideItsClass",
                         Script({"Class C", "    Sub Log(text)", "    End Sub", "    Sub Run()",
                                 "        Log", "    End Sub", "End Class"}),
                         {"5:9: error: Wrong number of arguments: 'Log' takes 1, given 0"}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Unreachable, InspectionTest,
    testing::Values(Case{"AfterExitSubUpToTheEnd",
                         Script({"Sub S(n)", "    Exit Sub", "    n = 1", "    If n Then",
                                 "        n = 2", "    End If", "End Sub"}),
                         {"3:5: warning: Unreachable code after 'Exit Sub'"}},
                    Case{"UpToTheNextBranch",
                         Script({"Function F(n)", "    If n Then", "        Exit Function",
                                 "        F = 1", "    Else", "        F = 2", "    End If",
                                 "End Function"}),
                         {"4:9: warning: Unreachable code after 'Exit Function'"}},
                    Case{"ASingleLineIfOrTheBlockEndIsNotCode",
                         Script({"Sub S(n)", "    If n Then Exit Sub", "    n = 1", "    Do",
                                 "        Exit Do", "    Loop", "End Sub"}),
                         {}},
                    Case{"OnTheSameLine",
                         Script({"Sub S(n)", "    Exit Sub: n = 1", "End Sub"}),
                         {"2:15: warning: Unreachable code after 'Exit Sub'"}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// The unreachable range covers every statement after the Exit in its block,
// so that a view can grey it out whole.
TEST(InspectionRangeTest, UnreachableCodeCoversTheRestOfTheBlock) {
    const std::string text =
        Script({"Sub S(n)", "    Exit Sub", "    n = 1", "    n = 2", "End Sub"});
    const language::ScriptCheck check = language::CheckScript(text);
    ASSERT_EQ(check.diagnostics.size(), 1u);
    const language::TextRange range = check.diagnostics[0].range;
    EXPECT_EQ(text.substr(range.offset, range.length), "n = 1\r\n    n = 2");
}

}  // namespace
}  // namespace vk::test
