#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check_support.h"

namespace vk::test {
namespace {

using namespace vk::language;

std::string_view Text(std::string_view text, TextRange range) {
    return text.substr(range.offset, range.length);
}

// The tree a later step builds completion, go to definition and rename on:
// exact ranges, and each name resolved to its declaration.
TEST(SyntaxTreeTest, ProceduresDeclarationsReferencesAndCallsAreExact) {
    const std::string text = Script({
        "Dim total",                                       // 1
        "Sub Add(ByVal amount, items())",                  // 2
        "    Dim total",                                   // 3
        "    total = total + amount",                      // 4
        "End Sub",                                         // 5
        "Add 1, list: total = Twice(total)",               // 6
        "Function Twice(n): Twice = n * 2: End Function",  // 7
    });
    const ScriptCheck check = CheckScript(text);
    const SyntaxTree& tree = check.tree;

    ASSERT_EQ(tree.procedures.size(), 2u);
    const Procedure& add = tree.procedures[0];
    EXPECT_EQ(add.kind, ProcedureKind::Sub);
    EXPECT_EQ(Text(text, add.name), "Add");
    EXPECT_TRUE(add.terminated);
    EXPECT_EQ(Text(text, add.range).substr(0, 8), "Sub Add(");
    EXPECT_EQ(add.range.End(), text.find("End Sub") + 7);
    ASSERT_EQ(add.parameterCount, 2u);
    const Declaration& amount = tree.declarations[add.firstParameter];
    const Declaration& items = tree.declarations[add.firstParameter + 1];
    EXPECT_EQ(Text(text, amount.name), "amount");
    EXPECT_EQ(amount.flags, kByVal);
    EXPECT_EQ(Text(text, items.name), "items");
    EXPECT_EQ(items.flags, kArray);

    // Declarations per scope: the script has total, Add and Twice; Add has
    // its parameters and its own total.
    std::vector<std::string> script, inAdd;
    for (const std::uint32_t d : tree.DeclarationsIn(0))
        script.emplace_back(Text(text, tree.declarations[d].name));
    for (const std::uint32_t d : tree.DeclarationsIn(add.scope))
        inAdd.emplace_back(Text(text, tree.declarations[d].name));
    EXPECT_EQ(script, (std::vector<std::string>{"total", "Add", "Twice"}));
    EXPECT_EQ(inAdd, (std::vector<std::string>{"amount", "items", "total"}));
    EXPECT_EQ(tree.ScopeAt(static_cast<std::uint32_t>(text.find("total = total"))), add.scope);
    EXPECT_EQ(tree.ScopeAt(static_cast<std::uint32_t>(text.find("list"))), 0u);

    // Inside Add, total is its own; outside, the script's.
    const auto declarationOf = [&](std::size_t offset) -> const Declaration* {
        for (const Reference& r : tree.references)
            if (r.name.offset == offset)
                return r.declaration == kNone
                           ? nullptr
                           : &tree.declarations[static_cast<std::size_t>(r.declaration)];
        ADD_FAILURE() << "no reference at " << offset;
        return nullptr;
    };
    const std::size_t localWrite = text.find("total = total");
    ASSERT_NE(declarationOf(localWrite), nullptr);
    EXPECT_EQ(declarationOf(localWrite)->scope, add.scope);
    const std::size_t scriptWrite = text.find("total = Twice");
    ASSERT_NE(declarationOf(scriptWrite), nullptr);
    EXPECT_EQ(declarationOf(scriptWrite)->scope, 0u);
    EXPECT_EQ(declarationOf(text.find("list")), nullptr);
    // Twice is declared after its use: procedures are known script-wide.
    ASSERT_NE(declarationOf(text.find("Twice(total)")), nullptr);
    EXPECT_EQ(declarationOf(text.find("Twice(total)"))->kind, DeclarationKind::Procedure);

    // Call sites with their argument counts and ranges.
    std::vector<std::string> calls;
    for (const CallSite& call : tree.callSites)
        calls.push_back(std::string(Text(text, call.range)) + "/" +
                        std::to_string(call.argumentCount));
    EXPECT_EQ(calls, (std::vector<std::string>{"Add 1, list/2", "Twice(total)/1"}));

    // No problem, and the procedures are the only blocks.
    EXPECT_TRUE(check.diagnostics.empty());
    ASSERT_EQ(tree.blocks.size(), 2u);
    EXPECT_EQ(tree.blocks[0].kind, BlockKind::Procedure);
}

// Positions of problems count lines and bytes from 1.
TEST(SyntaxTreeTest, ProblemsCarryLineColumnAndRange) {
    const std::string text = Script({"Sub S()", "    x = (1 + 2", "End Sub"});
    const ScriptCheck check = CheckScript(text);
    ASSERT_EQ(check.diagnostics.size(), 1u);
    const Diagnostic& d = check.diagnostics[0];
    EXPECT_EQ(d.position, (LinePosition{2, 15}));
    EXPECT_EQ(d.range.offset, text.find("2\r\nEnd") + 1);
    EXPECT_EQ(d.range.length, 0u);  // a point where the ) belongs
    EXPECT_EQ(d.code, DiagnosticCode::Syntax);
    EXPECT_EQ(check.ErrorCount(), 1u);
}

// The editor keeps one checker while the user types: nothing of one text
// may leak into the check of the next (Option Explicit, names, open blocks).
TEST(SyntaxTreeTest, ACheckerUsedAgainForgetsTheLastText) {
    const std::string first = Script({"Option Explicit", "Sub A(p)", "    If p Then", "End Sub"});
    const std::string second = Script({"x = 1", "Sub B()", "End Sub"});
    ScriptChecker checker;
    (void)checker.Check(first);
    const ScriptCheck& again = checker.Check(second);
    const ScriptCheck fresh = CheckScript(second);
    EXPECT_EQ(again.diagnostics, fresh.diagnostics);
    EXPECT_FALSE(again.tree.optionExplicit);
    ASSERT_EQ(again.tree.procedures.size(), 1u);
    EXPECT_EQ(
        again.tree.Name(
            again.tree.declarations[static_cast<std::size_t>(again.tree.procedures[0].declaration)]
                .nameId),
        "B");
    EXPECT_EQ(again.lines.LineCount(), fresh.lines.LineCount());
}

}  // namespace
}  // namespace vk::test
