// Signature help, hover, the outline and re-indentation.

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "caret_support.h"
#include "check_support.h"
#include "language/block_format.h"
#include "language/completion.h"
#include "language/document_symbols.h"
#include "language/hover.h"
#include "language/navigation.h"
#include "language/script_check.h"
#include "language/signature_help.h"

namespace vk::language {
namespace {

using test::AtCaret;

const std::string kProcedures = test::Script({
    "Function RevenueBand(ByVal amount, limits)",
    "End Function",
    "Sub ShowManager()",
    "End Sub",
});

struct SignatureCase {
    const char* name;
    const char* line;   // after kProcedures, with the caret
    const char* label;  // "" for none
    std::uint32_t active;
};

class Signatures : public testing::TestWithParam<SignatureCase> {};

TEST_P(Signatures, ShowTheCallAroundTheCaret) {
    const test::CaretText at = AtCaret(kProcedures + GetParam().line);
    const ScriptCheck check = CheckScript(at.text);
    const auto help = SignatureAt(at.text, check.tree, at.caret, &test::ShippedReference());
    if (std::string_view(GetParam().label).empty()) {
        EXPECT_FALSE(help.has_value()) << help->label;
        return;
    }
    ASSERT_TRUE(help.has_value());
    EXPECT_EQ(help->label, GetParam().label);
    EXPECT_EQ(help->active, GetParam().active);
}

INSTANTIATE_TEST_SUITE_P(
    SignatureHelp, Signatures,
    testing::Values(
        SignatureCase{"StatementCall", "MsgBox \"a\", |",
                      "MsgBox(prompt[, buttons][, title][, helpfile, context])", 1},
        SignatureCase{"AfterTheBlank", "MsgBox |",
                      "MsgBox(prompt[, buttons][, title][, helpfile, context])", 0},
        SignatureCase{"InnermostCall", "x = Mid(s, Len(t), |", "Mid(string, start[, length])", 2},
        SignatureCase{"InsideANestedCall", "x = Mid(s, Len(|", "Len(string | varname)", 0},
        SignatureCase{"CommaInAString", "x = Mid(\"a,b\", |", "Mid(string, start[, length])", 1},
        SignatureCase{"ScriptFunction", "x = RevenueBand(1, |", "RevenueBand(ByVal amount, limits)",
                      1},
        SignatureCase{"CallKeyword", "Call ShowManager(|", "ShowManager()", 0},
        SignatureCase{"ContinuedLine", "MsgBox \"a\", _\r\n    vbOKOnly, |",
                      "MsgBox(prompt[, buttons][, title][, helpfile, context])", 2},
        SignatureCase{"FormMember", "Set c = Form.Connection(\"a\", |",
                      "Connection(connectionName, categoryName)", 1},
        SignatureCase{"AfterTheCallCloses", "x = Mid(s, 1)|", "", 0},
        SignatureCase{"Assignment", "x = |", "", 0},
        SignatureCase{"UnknownName", "Frobnicate 1, |", "", 0},
        SignatureCase{"Comment", "' MsgBox 1, |", "", 0}),
    [](const testing::TestParamInfo<SignatureCase>& info) { return info.param.name; });

TEST(SignatureHelp, MarksEachArgumentOfASyntaxLine) {
    const auto names = [](std::string_view syntax) {
        std::vector<std::string> found;
        for (const TextRange r : ParametersOfSyntax(syntax))
            found.emplace_back(syntax.substr(r.offset, r.length));
        return found;
    };
    EXPECT_EQ(names("InStr([start, ]string1, string2[, compare])"),
              (std::vector<std::string>{"start", "string1", "string2", "compare"}));
    EXPECT_EQ(names("Randomize [number]"), (std::vector<std::string>{"number"}));
    EXPECT_EQ(names("RevenueBand(ByVal amount, a())"),
              (std::vector<std::string>{"ByVal amount", "a()"}));
    EXPECT_EQ(names("Len(string | varname)"), (std::vector<std::string>{"string | varname"}));
    EXPECT_TRUE(names("Date").empty());
}

TEST(Hover, TellsWhatANameIs) {
    const std::string script =
        kProcedures + test::Script({
                          "Sub Form_OnSave()",
                          "    Dim fullName",
                          "    fullName = Mid(Form.Field(\"Name\").Value, 2) & vbCrLf ' Mid",
                          "    If RevenueBand(1, 2) Then ShowManager",
                          "End Sub",
                      });
    const ScriptCheck check = CheckScript(script);
    // Hovers over the `nth` (from 0) whole word `word`.
    const auto hover = [&](std::string_view word, int nth = 0) {
        const auto whole = [&](std::size_t at) {
            const auto nameChar = [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
            };
            return (at == 0 || !nameChar(script[at - 1])) &&
                   (at + word.size() >= script.size() || !nameChar(script[at + word.size()]));
        };
        std::size_t at = script.find(word);
        while (!whole(at)) at = script.find(word, at + 1);
        for (int i = 0; i < nth; ++i) {
            at = script.find(word, at + 1);
            while (!whole(at)) at = script.find(word, at + 1);
        }
        const auto info = HoverAt(script, check.tree, static_cast<std::uint32_t>(at + 1),
                                  &test::ShippedReference());
        return info ? info->syntax + " | " + info->summary : std::string("none");
    };
    EXPECT_EQ(hover("Mid"), "Mid(string, start[, length]) | Gives a part of a string.");
    EXPECT_EQ(hover("Field"),
              "Form.Field(fieldName) | The field of that name; its Value reads and sets it.");
    EXPECT_EQ(hover("fullName", 1), "Dim fullName | ");
    EXPECT_EQ(hover("RevenueBand", 1), "Function RevenueBand(ByVal amount, limits) | ");
    EXPECT_EQ(hover("Form_OnSave"),
              "Sub Form_OnSave() | Runs before the item is saved; Form.Abort stops the save.");
    EXPECT_EQ(hover("vbCrLf"), "vbCrLf | A constant of the script engine.");
    EXPECT_EQ(hover("Mid", 1), "none");  // in the comment
    EXPECT_EQ(hover("Name"), "none");    // in a string
    EXPECT_EQ(hover("If"), "none");      // a keyword
    EXPECT_EQ(hover("Value"), "none");   // a member of an object not described
}

TEST(DocumentSymbols, GroupTheDeclarationsAsTheCodeBrowserDoes) {
    const std::string script = test::Script({
        "Sub Form_OnLoad()",
        "    x = 1",
        "End Sub",
        "Function Calc(a)",
        "End Function",
        "Sub Broken()",
    });
    const ScriptCheck check = CheckScript(script);
    const std::vector<SymbolNode> roots = DocumentSymbols(script, check.tree);
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(roots[0].name, "Events");
    ASSERT_EQ(roots[0].children.size(), 1u);
    const SymbolNode& load = roots[0].children[0];
    EXPECT_EQ(load.name, "OnLoad");
    EXPECT_EQ(load.detail, "Sub Form_OnLoad()");
    EXPECT_EQ(script.substr(load.selection.offset, load.selection.length), "Form_OnLoad");
    EXPECT_EQ(load.range.offset, 0u);
    EXPECT_EQ(script.substr(load.range.offset, load.range.length).rfind("End Sub"), 30u);

    EXPECT_EQ(roots[1].name, "Subs/Functions");
    ASSERT_EQ(roots[1].children.size(), 2u);
    EXPECT_EQ(roots[1].children[0].kind, SymbolKind::Function);
    EXPECT_EQ(roots[1].children[0].detail, "Function Calc(a)");
    EXPECT_EQ(roots[1].children[1].detail, "not terminated");
}

const std::string kMessy = test::Script({
    "$OBJECT=Form",
    "'#Category Account",
    "Sub Form_OnLoad()",
    "If Form.IsAdd Then",
    "  x = 1",
    "      ElseIf y Then",
    "x = 2",
    "Else",
    "   Select Case x",
    "   ' before the first case",
    "   Case 1",
    "   y = 1",
    "   Case Else",
    "   For Each i In z: y = y + i",
    "   Next",
    "   End Select",
    "        End If",
    "  ",
    "MsgBox \"a\", _",
    "\"b\"",
    "If a Then b = 1 Else b = 2",
    "End Sub",
});

TEST(Reindent, FollowsTheBlocksAndTouchesOnlyLeadingWhiteSpace) {
    const ScriptCheck check = CheckScript(kMessy);
    ASSERT_EQ(check.ErrorCount(), 0u) << test::Problems(kMessy).front();
    const std::vector<TextEdit> edits = Reindent(kMessy, check.tree, {2, 1}, 1, 1000);
    std::string formatted = kMessy;
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
        EXPECT_EQ(formatted.substr(edit->range.offset, edit->range.length).find_first_not_of(" \t"),
                  std::string::npos);
        formatted.replace(edit->range.offset, edit->range.length, edit->newText);
    }
    EXPECT_EQ(formatted, test::Script({
                             "$OBJECT=Form",
                             "'#Category Account",
                             "Sub Form_OnLoad()",
                             "  If Form.IsAdd Then",
                             "    x = 1",
                             "  ElseIf y Then",
                             "    x = 2",
                             "  Else",
                             "    Select Case x",
                             "      ' before the first case",
                             "      Case 1",
                             "        y = 1",
                             "      Case Else",
                             "        For Each i In z: y = y + i",
                             "        Next",
                             "    End Select",
                             "  End If",
                             "  ",
                             "  MsgBox \"a\", _",
                             "    \"b\"",
                             "  If a Then b = 1 Else b = 2",
                             "End Sub",
                         }));
    // Formatted text formats to itself.
    const ScriptCheck again = CheckScript(formatted);
    EXPECT_TRUE(Reindent(formatted, again.tree, {2, 1}, 1, 1000).empty());
}

TEST(Reindent, OnlyTheLinesAskedForWithTabs) {
    const ScriptCheck check = CheckScript(kMessy);
    const std::vector<TextEdit> edits = Reindent(kMessy, check.tree, {2, 0}, 4, 5);
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(edits[0].newText, "\t");
    EXPECT_EQ(edits[1].newText, "\t\t");
    EXPECT_EQ(edits[1].range.length, 2u);
}

}  // namespace
}  // namespace vk::language

namespace vk::language {
namespace {

// Every request at every offset of scripts cut off in awkward places: the
// answers stay inside the text, and a completion replaces only what stands
// before the caret.
TEST(EditingHelp, AnswersStayInsideTheTextAtEveryOffset) {
    const std::vector<std::string> scripts = {
        test::Script({"Option Explicit", "Dim a(3), [odd name]", "Sub Form_OnLoad()",
                      "    x = Form.Connection(\"Managed by\", \"Employee\").FieldValue(\"Ini",
                      "    MsgBox \"a\"\"b\", _", "        vbOK, #1/2/2003# & &H1F",
                      "    If a Then b = 1 Else _", "End Sub", "Class C",
                      "    Public Property Get P(i)", "        P = Me.", "    End Property",
                      "End Class"}),
        "Sub A(\r\n    Field(\"x\", _",
        std::string("x = \"\0\xff\" : Rem _\r\n'", 17) + "\r" + "_\n_",
        "Function F(a, b)\r\n    F = F(a, F(b, ",
    };
    const BuiltinReference& reference = test::ShippedReference();
    const CategorySchema schema{{"Initials"}, {{"Managed by", "Employee"}}};
    CompletionSources sources;
    sources.reference = &reference;
    sources.schema = &schema;
    sources.otherCategory = [&](std::string_view) { return &schema; };
    for (const std::string& text : scripts) {
        const ScriptCheck check = CheckScript(text);
        const auto inside = [&](TextRange r) { return r.End() <= text.size(); };
        for (std::uint32_t at = 0; at <= text.size(); ++at) {
            const CompletionList list = Complete(text, check.tree, at, sources);
            EXPECT_TRUE(list.replace.End() == at || list.items.empty()) << at;
            if (const auto help = SignatureAt(text, check.tree, at, &reference)) {
                for (const TextRange p : help->parameters) EXPECT_LE(p.End(), help->label.size());
            }
            if (const auto hover = HoverAt(text, check.tree, at, &reference)) {
                EXPECT_TRUE(inside(hover->range));
            }
            if (const auto definition = DefinitionAt(text, check.tree, at)) {
                EXPECT_TRUE(inside(*definition));
            }
            for (const TextRange r : ReferencesAt(text, check.tree, at, true))
                EXPECT_TRUE(inside(r));
            const RenamePlan plan = PlanRename(text, check, at, "renamed");
            for (const TextEdit& edit : plan.edits) EXPECT_TRUE(inside(edit.range));
        }
        for (const TextEdit& edit : Reindent(text, check.tree, {3, 1}, 1, 100))
            EXPECT_TRUE(inside(edit.range));
        for (const SymbolNode& group : DocumentSymbols(text, check.tree))
            EXPECT_TRUE(inside(group.range));
    }
}

}  // namespace
}  // namespace vk::language
