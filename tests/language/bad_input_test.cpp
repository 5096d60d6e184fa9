#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "check_support.h"

namespace vk::test {
namespace {

using namespace vk::language;

// Inputs no one writes but anyone can hand over: each must end in messages
// or a clear refusal. The sizes are such that a quadratic algorithm would
// not finish and a recursive one would overflow the stack.

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(BadInputTest, ANulByteRefusesTheTextThere) {
    const std::string text = std::string("n = 1\r\nm = \0 2\r\n", 15);
    const ScriptCheck check = CheckScript(text);
    ASSERT_EQ(check.diagnostics.size(), 1u);
    EXPECT_EQ(check.diagnostics[0].code, DiagnosticCode::Refused);
    EXPECT_EQ(check.diagnostics[0].position, (LinePosition{2, 5}));
    EXPECT_EQ(check.diagnostics[0].message, "Binary data (a NUL byte): not a script, not checked");
}

TEST(BadInputTest, BinaryBytesGiveABoundedListOfProblems) {
    // Every byte but NUL, in a scrambled order, over a megabyte.
    std::string text(1 << 20, ' ');
    std::uint32_t state = 7;
    for (char& c : text) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(1 + (state >> 24) % 255);
    }
    const ScriptCheck check = CheckScript(text);
    EXPECT_GT(check.ErrorCount(), 0u);
    EXPECT_LE(check.diagnostics.size(), ProblemList::kMaxProblems);
}

TEST(BadInputTest, AFiftyMegabyteLineIsReadInOnePass) {
    // One statement of a sum with eight million terms.
    const std::string sum = "n = 1" + Repeat(" + 1", (50u << 20) / 4) + "\r\n";
    EXPECT_EQ(Problems(sum), std::vector<std::string>{});

    // One name of fifty megabytes.
    const std::string name = std::string(50u << 20, 'n') + " = 1\r\n";
    EXPECT_EQ(Problems(name), std::vector<std::string>{"1:1: error: Identifier too long"});
}

TEST(BadInputTest, DeepBlocksNestWithoutRecursion) {
    constexpr std::size_t kDepth = 100000;
    const std::string ifs =
        Repeat("If n Then\r\n", kDepth) + "n = 1\r\n" + Repeat("End If\r\n", kDepth);
    const ScriptCheck check = CheckScript(ifs);
    EXPECT_TRUE(check.diagnostics.empty());
    EXPECT_EQ(check.tree.blocks.size(), kDepth);

    // Left open, each is reported, up to the bound and a last word on it.
    const ScriptCheck open = CheckScript(Repeat("If n Then\r\n", kDepth));
    ASSERT_EQ(open.diagnostics.size(), ProblemList::kMaxProblems);
    EXPECT_EQ(std::count_if(open.diagnostics.begin(), open.diagnostics.end(),
                            [](const Diagnostic& d) { return d.message == "Expected 'End If'"; }),
              ProblemList::kMaxProblems - 1);
    EXPECT_EQ(std::count_if(open.diagnostics.begin(), open.diagnostics.end(),
                            [](const Diagnostic& d) { return d.code == DiagnosticCode::Refused; }),
              1);

    // Single-line Ifs inside single-line Ifs on one line.
    EXPECT_EQ(Problems(Repeat("If n Then ", kDepth) + "n = 1\r\n"), std::vector<std::string>{});
}

TEST(BadInputTest, DeepExpressionsAreRefusedNotRecursedInto) {
    constexpr std::size_t kDepth = 100000;
    // The line is refused where the nesting passes the bound, and the next
    // line is checked as usual.
    const std::string parentheses = "n = " + Repeat("(", kDepth) + "1" + Repeat(")", kDepth);
    EXPECT_EQ(Problems("Option Explicit\r\nDim n\r\n" + parentheses + "\r\noops = 1\r\n"),
              (std::vector<std::string>{
                  "3:205: error: Expression too complex (nested too deeply to check)",
                  "4:1: error: Variable is undefined: 'oops'"}));
    EXPECT_EQ(Problems("n = " + Repeat("Not ", kDepth) + "1\r\n"),
              std::vector<std::string>{
                  "1:805: error: Expression too complex (nested too deeply to check)"});
}

}  // namespace
}  // namespace vk::test
