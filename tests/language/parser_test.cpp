#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "check_support.h"

namespace vk::test {
namespace {

using Lines = std::vector<std::string>;

// A script using every statement, literal and operator forms scripts use.
const std::string kWholeLanguage = Script({
    "$OBJECT=Form",
    "Option Explicit",
    "' Every form of the language, none of them wrong",
    "Rem a Rem line",
    "Const MAX_ITEMS = 10, GREETING = \"Say \"\"hi\"\"\"",
    "Private mCount : Public mTotal",
    "Dim list(), grid(2, 3), [odd name]",
    "ReDim list(MAX_ITEMS)",
    "ReDim Preserve list(MAX_ITEMS + 1)",
    "",
    "Class Counter",
    "    Private mValue, mTarget",
    "    Public Default Property Get Value()",
    "        Value = mValue",
    "    End Property",
    "    Public Property Let Value(ByVal v)",
    "        mValue = v",
    "    End Property",
    "    Public Property Set Target(ByRef o)",
    "        Set mTarget = o",
    "    End Property",
    "    Private Sub Class_Initialize()",
    "        mValue = 0",
    "    End Sub",
    "    Public Function Increment(ByVal by)",
    "        mValue = mValue + by : Increment = Me.Value",
    "    End Function",
    "End Class",
    "",
    "Function Describe(ByVal when, ByRef count)",
    "    Dim d, c",
    "    d = #1/31/2024# : c = &H1F + &O17 + &17 + &HFFFF& + 1.5E-3 + .25",
    "    If count > 0 Then Describe = \"many\" Else Describe = \"none\"",
    "    If d < Now Then",
    "        count = count - 1",
    "    ElseIf c >= 2 Then count = 0",
    "    Else",
    "        count = -(2 ^ -2) Mod 3 \\ 2 * 4 / 5",
    "    End If",
    "    Describe = Describe & CStr(c) & GREETING & [odd name]",
    "    If Not IsNull(when) And (c <> 0 Or c = 1) Xor False Eqv True Imp True Then count = 1",
    "    If when Is Nothing Then Exit Function",
    "    Select Case count",
    "        Case 1, 2: Describe = \"few\"",
    "        Case Else",
    "            Describe = Describe & \"!\"",
    "    End Select",
    "End Function",
    "",
    "Sub Form_OnSave()",
    "    Dim i, item, re, total, message",
    "    On Error Resume Next",
    "    For i = 1 To 10 Step 2",
    "        If i = 5 Then Exit For",
    "    Next",
    "    For Each item In list",
    "        total = total + item",
    "    Next",
    "    Do While total > 0",
    "        total = total - 1",
    "        If total = 3 Then Exit Do",
    "    Loop",
    "    Do",
    "        total = total + 1",
    "    Loop Until total >= 2",
    "    While total > 0 : total = total - 1 : Wend",
    "    With Form.Field(\"Name\")",
    "        .Value = Describe(Now, total) & _",
    "            \" (checked)\"",
    "        message = .Value",
    "    End With",
    "    Set re = New RegExp",
    "    re.Pattern = \"^a\"",
    "    Call Notify(message, total)",
    "    Notify message, (total)",
    "    Notify (message), total + 1",
    "    Form.Runtime.SetStatusBarText message",
    "    Form.Connection(\"Relates to\", \"Account\").SetFilter \"a\", , \"c\"",
    "    Set mTotal = New Counter",
    "    mTotal.Increment 1",
    "    On Error GoTo 0",
    "    Erase list",
    "    Randomize",
    "End Sub",
    "",
    "Sub Notify(ByVal text, ByVal n)",
    "    MsgBox text & n, vbInformation, \"Form\"",
    "End Sub",
});

TEST(ParserTest, TheWholeLanguageGivesNoProblem) {
    EXPECT_EQ(Problems(kWholeLanguage), Lines{});
    const language::ScriptCheck check = language::CheckScript(kWholeLanguage);
    EXPECT_TRUE(check.tree.optionExplicit);
    EXPECT_EQ(check.tree.classes.size(), 1u);
    // Value (Get and Let), Target, Class_Initialize, Increment, Describe,
    // Form_OnSave, Notify.
    EXPECT_EQ(check.tree.procedures.size(), 8u);
}

// The demo Account script, which people then break the usual ways.
const std::vector<std::string> kAccount = {
    "Option Explicit",
    "",
    "' Account detail form",
    "' Keeps the account number and the revenue band in step with what the user types.",
    "",
    "Const REVENUE_LARGE = 1000000",
    "",
    "Dim mOriginalRegion",
    "",
    "Sub Form_OnLoad()",
    "    mOriginalRegion = Form.Field(\"Region\").Value",
    "    If Form.IsAdd Then",
    "        Form.Field(\"Date Opened\").Value = Date",
    "        Form.Field(\"Active\").Value = 1",
    "    End If",
    "    ShowManager",
    "End Sub",
    "",
    "Sub Form_OnSave()",
    "    If Trim(Form.Field(\"accountKey\").Value) = \"\" Then",
    "        MsgBox \"Please enter the company name.\", vbExclamation, \"Account\"",
    "        Form.MoveToField \"accountKey\"",
    "        Form.Abort",
    "        Exit Sub",
    "    End If",
    "    If Form.Field(\"Region\").Value <> mOriginalRegion Then",
    "        Form.Field(\"Notes\").Value = \"Region changed from \" & mOriginalRegion & \" on \" & "
    "Date",
    "    End If",
    "End Sub",
    "",
    "Sub Form_OnLeaveField(ByVal FieldName)",
    "    Select Case FieldName",
    "        Case \"Annual Revenue\"",
    "            Form.Field(\"Industries\").Value = RevenueBand(Form.Field(\"Annual "
    "Revenue\").Value)",
    "        Case \"Web Site\"",
    "            Form.Field(\"Web Site\").Value = NormalizeUrl(Form.Field(\"Web Site\").Value)",
    "    End Select",
    "End Sub",
    "",
    "Function RevenueBand(ByVal amount)",
    "    If Not IsNumeric(amount) Then",
    "        RevenueBand = \"\"",
    "    ElseIf CDbl(amount) >= REVENUE_LARGE Then",
    "        RevenueBand = \"Enterprise\"",
    "    Else",
    "        RevenueBand = \"Small Business\"",
    "    End If",
    "End Function",
    "",
    "Function NormalizeUrl(ByVal url)",
    "    url = Trim(url)",
    "    If url <> \"\" And InStr(1, url, \"://\") = 0 Then url = \"http://\" & url",
    "    NormalizeUrl = url",
    "End Function",
    "",
    "Sub ShowManager()",
    "    Dim manager",
    "    Set manager = Form.Connection(\"Managed by\", \"Employee\")",
    "    If manager.ConnectedItemCount = 0 Then",
    "        Form.Runtime.SetStatusBarText \"No account manager assigned\"",
    "    End If",
    "End Sub",
};

// One edit of the Account script: its line `line` (from 1) replaced by
// `text`, or removed when `text` is null; with `insert`, `text` goes in
// before that line instead.
struct Breakage {
    const char* name;
    int line;
    const char* text;
    bool insert;
    const char* problem;  // the one problem expected
};

void PrintTo(const Breakage& b, std::ostream* out) { *out << b.name; }

std::string Broken(const Breakage& b) {
    std::vector<std::string> lines = kAccount;
    const auto at = lines.begin() + (b.line - 1);
    if (b.insert)
        lines.insert(at, b.text);
    else if (b.text == nullptr)
        lines.erase(at);
    else
        *at = b.text;
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

class BrokenScriptTest : public testing::TestWithParam<Breakage> {};

TEST(BrokenScriptTest, TheUnbrokenScriptGivesNoProblem) {
    std::string text;
    for (const std::string& line : kAccount) text += line + "\r\n";
    EXPECT_EQ(Problems(text), Lines{});
}

TEST_P(BrokenScriptTest, OneMistakeGivesOneProblemOnItsLine) {
    EXPECT_EQ(Problems(Broken(GetParam())), Lines{GetParam().problem});
}

INSTANTIATE_TEST_SUITE_P(
    Account, BrokenScriptTest,
    testing::Values(
        Breakage{"EndIfMissing", 15, nullptr, false, "12:5: error: Expected 'End If'"},
        Breakage{"EndIfMissingBeforeEndSub", 28, nullptr, false, "26:5: error: Expected 'End If'"},
        Breakage{"ExtraEndIf", 17, "    End If", true, "17:5: error: 'End If' without 'If'"},
        Breakage{"EndSubMissing", 17, nullptr, false, "10:1: error: Expected 'End Sub'"},
        Breakage{"ExtraEndSub", 18, "End Sub", true, "18:1: error: 'End Sub' without 'Sub'"},
        Breakage{"EndSelectMissing", 37, nullptr, false, "32:5: error: Expected 'End Select'"},
        Breakage{"EndFunctionForEndSub", 48, "End Sub", false,
                 "48:1: error: Expected 'End Function'"},
        Breakage{"ThenMissing", 20, "    If Trim(Form.Field(\"accountKey\").Value) = \"\"", false,
                 "20:49: error: Expected 'Then'"},
        Breakage{"ThenMissingOnElseIf", 43, "    ElseIf CDbl(amount) >= REVENUE_LARGE", false,
                 "43:41: error: Expected 'Then'"},
        Breakage{"ClosingQuoteMissing", 27,
                 "        Form.Field(\"Notes\").Value = \"Region changed from \" & "
                 "mOriginalRegion & \" on & Date",
                 false, "27:80: error: Unterminated string constant"},
        Breakage{"InnerQuoteMissing", 21,
                 "        MsgBox \"Please enter the company name., vbExclamation, \"Account\"",
                 false, "21:72: error: Unterminated string constant"},
        Breakage{"ClosingParenthesisMissing", 34,
                 "            Form.Field(\"Industries\").Value = "
                 "RevenueBand(Form.Field(\"Annual Revenue\").Value",
                 false, "34:92: error: Expected ')'"},
        Breakage{"OpeningParenthesisMissing", 51, "    url = Trim url)", false,
                 "51:16: error: Expected end of statement"},
        Breakage{"ParenthesesOnASubCall", 60,
                 "        Form.Runtime.SetStatusBarText(\"No manager\", 1)", false,
                 "60:9: error: Cannot use parentheses when calling a Sub"},
        Breakage{"ExitSubInAFunction", 42, "        Exit Sub", false,
                 "42:9: error: Invalid 'exit' statement"}),
    [](const testing::TestParamInfo<Breakage>& info) { return std::string(info.param.name); });

struct Snippet {
    const char* name;
    std::string text;
    Lines problems;
};

void PrintTo(const Snippet& s, std::ostream* out) { *out << s.name; }

class SnippetTest : public testing::TestWithParam<Snippet> {};

TEST_P(SnippetTest, GivesTheseProblems) {
    EXPECT_EQ(Problems(GetParam().text), GetParam().problems);
}

// What VBA takes and the script engine certainly does not, and a few
// neighbours it does take.
INSTANTIATE_TEST_SUITE_P(
    VbaForms, SnippetTest,
    testing::Values(
        Snippet{"TypedDim",
                Script({"Dim s As String"}),
                {"1:7: error: Expected end of statement (VBScript has no 'As' types)"}},
        Snippet{"TypedParameter",
                Script({"Function F(ByVal x As Long)", "End Function"}),
                {"1:20: error: Expected ')' (VBScript has no 'As' types)"}},
        Snippet{"TypedFunction",
                Script({"Function F() As Long", "End Function"}),
                {"1:14: error: Expected end of statement (VBScript has no 'As' types)"}},
        Snippet{"OptionalParameter",
                Script({"Sub S(Optional x)", "End Sub"}),
                {"1:7: error: Expected identifier (VBScript has no Optional or ParamArray "
                 "arguments)"}},
        Snippet{"DimWithValue",
                Script({"Dim n = 1"}),
                {"1:7: error: Expected end of statement (a declaration takes no value in "
                 "VBScript)"}},
        Snippet{"CaseIs",
                Script({"Select Case n", "Case Is > 1", "End Select"}),
                {"2:6: error: Expected expression (VBScript has no 'Case Is')"}},
        Snippet{"CaseRange",
                Script({"Select Case n", "Case 1 To 5", "End Select"}),
                {"2:8: error: Expected end of statement (VBScript has no 'Case x To y')"}},
        Snippet{"OnErrorGoToLabel",
                Script({"On Error GoTo Failed"}),
                {"1:15: error: Syntax error (VBScript has On Error GoTo 0 only, no labels)"}},
        Snippet{"LineNumber",
                Script({"10 n = 1"}),
                {"1:1: error: Expected statement (VBScript has no line numbers)"}},
        Snippet{"OptionBase",
                Script({"Option Base 1"}),
                {"1:8: error: Expected 'Explicit' (VBScript has Option Explicit only)"}},
        Snippet{"TypeSuffix", Script({"n = Left$(\"ab\", 1)"}), {"1:9: error: Invalid character"}},
        Snippet{"PropertyOutsideAClass",
                Script({"Property Get P()", "End Property"}),
                {"1:1: error: Must be defined inside a Class"}},
        Snippet{"StatementInAClassBody",
                Script({"Class C", "n = 1", "End Class"}),
                {"2:1: error: Expected statement (a Class holds declarations and procedures "
                 "only)"}},
        Snippet{"OptionExplicitAfterCode",
                Script({"n = 1", "Option Explicit"}),
                {"2:1: error: Expected statement (Option Explicit must come before any other "
                 "statement)"}},
        Snippet{"CodeBeforeTheFirstCase",
                Script({"Select Case n", "n = 2", "Case 1", "End Select"}),
                {"2:1: error: Expected 'Case'"}},
        Snippet{"LoopWithoutDo", Script({"Loop"}), {"1:1: error: 'Loop' without 'Do'"}},
        Snippet{"NextClosesAForEvenWithItsVariable", Script({"For i = 1 To 2", "Next i"}), {}},
        Snippet{"NextOutsideItsProcedure",
                Script({"For i = 1 To 2", "Sub S()", "Next", "End Sub"}),
                {"1:1: error: Expected 'Next'", "3:1: error: 'Next' without 'For'"}},
        Snippet{"EndAlone",
                Script({"End"}),
                {"1:4: error: Expected 'If', 'Sub', 'Function', 'Property', 'Select', 'With' or "
                 "'Class'"}},
        Snippet{"RemAfterAStatementWithoutColon",
                Script({"n = 1 Rem not a comment here"}),
                {"1:7: error: Expected end of statement"}},
        Snippet{
            "UnclosedDateAndName",
            Script({"d = #1/2/2003", "[odd name = 1"}),
            {"1:5: error: Expected '#' (a date literal ends with #)", "2:1: error: Expected ']'"}},
        Snippet{"TooLongAName",
                Script({std::string(256, 'n') + " = 1", std::string(255, 'm') + " = 1"}),
                {"1:1: error: Identifier too long"}},
        Snippet{"ColonAfterThenOpensABlock", Script({"If n Then: n = 2", "End If"}), {}},
        Snippet{"NumbersAsArgumentsAndAmpersandsBetweenNames",
                Script({"MsgBox &H10, &17, .5", "s = a&b & &HFF& & c&Hd"}),
                {}},
        Snippet{"CommentAfterALineContinuation", Script({"n = 1 + _ ' the rest", "  2"}), {}}),
    [](const testing::TestParamInfo<Snippet>& info) { return std::string(info.param.name); });

// Lines end at CR LF, LF or a lone CR, as editors count them.
TEST(ParserTest, EveryLineEndCountsALine) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        const std::string text =
            std::string("n = 1") + end + "m = 2" + end + "If n Then" + end + "m = 3" + end;
        EXPECT_EQ(Problems(text), Lines{"3:1: error: Expected 'End If'"})
            << "line end " << static_cast<int>(end[0]);
    }
}

}  // namespace
}  // namespace vk::test
