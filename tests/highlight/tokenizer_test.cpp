#include "highlight/tokenizer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace vk {
namespace {

struct Piece {
    TokenClass cls;
    std::string text;
    bool operator==(const Piece&) const = default;
};

void PrintTo(const Piece& piece, std::ostream* os) {
    *os << TokenClassName(piece.cls) << " \"";
    for (char c : piece.text) {
        if (c == '\r')
            *os << "\\r";
        else if (c == '\n')
            *os << "\\n";
        else
            *os << c;
    }
    *os << '"';
}

std::vector<Piece> Tokenize(const std::string& text) {
    std::vector<Piece> pieces;
    const char* pos = text.c_str();
    while (*pos != 0) {
        const char* before = pos;
        Token token = NextToken(pos);
        EXPECT_EQ(static_cast<std::size_t>(pos - before), token.text.size());
        pieces.push_back({token.cls, std::move(token.text)});
    }
    return pieces;
}

constexpr TokenClass C = TokenClass::Comment;
constexpr TokenClass D = TokenClass::Directive;
constexpr TokenClass H = TokenClass::Hexadecimal;
constexpr TokenClass I = TokenClass::Identifier;
constexpr TokenClass K = TokenClass::Keyword;
constexpr TokenClass N = TokenClass::Number;
constexpr TokenClass S = TokenClass::String;
constexpr TokenClass Y = TokenClass::Symbol;
constexpr TokenClass W = TokenClass::Whitespace;

struct TokenCase {
    const char* name;
    std::string text;
    std::vector<Piece> tokens;
};

class NextTokenTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(NextTokenTest, CutsTheTextIntoClassedTokens) {
    EXPECT_EQ(Tokenize(GetParam().text), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NextTokenTest,
    ::testing::Values(
        TokenCase{
            "RemStatementRunsToLineEnd", "Rem this\r\nx", {{C, "Rem this"}, {W, "\r\n"}, {I, "x"}}},
        TokenCase{"RemAloneUpperCase", "REM", {{C, "REM"}}},
        TokenCase{"RemAfterSymbol", "x.rem y", {{I, "x"}, {Y, "."}, {C, "rem y"}}},
        TokenCase{
            "RemoveIsAnIdentifier", "Remove(x)", {{I, "Remove"}, {Y, "("}, {I, "x"}, {Y, ")"}}},
        TokenCase{"RemarkAndRemDigit", "remark rem1", {{I, "remark"}, {W, " "}, {I, "rem1"}}},
        TokenCase{"HexadecimalWithAndWithoutDigits",
                  "x = &h1F + &HZ",
                  {{I, "x"},
                   {W, " "},
                   {Y, "="},
                   {W, " "},
                   {H, "&h1F"},
                   {W, " "},
                   {Y, "+"},
                   {W, " "},
                   {H, "&H"},
                   {I, "Z"}}},
        TokenCase{"AmpersandStandsAlone",
                  "a&b&=c",
                  {{I, "a"}, {Y, "&"}, {I, "b"}, {Y, "&"}, {Y, "="}, {I, "c"}}},
        TokenCase{"UnclosedStringLeavesTheLineEnd",
                  "s = \"abc\r\nx",
                  {{I, "s"}, {W, " "}, {Y, "="}, {W, " "}, {S, "\"abc"}, {W, "\r\n"}, {I, "x"}}},
        TokenCase{"UnclosedStringStopsAtLf", "\"ab\ncd", {{S, "\"ab"}, {W, "\n"}, {I, "cd"}}},
        TokenCase{"DoubledQuoteMakesTwoStrings",
                  "\"a\"\"b\" x",
                  {{S, "\"a\""}, {S, "\"b\""}, {W, " "}, {I, "x"}}},
        TokenCase{"KeywordsIgnoreCase",
                  "dim Dim Dimension",
                  {{K, "dim"}, {W, " "}, {K, "Dim"}, {W, " "}, {I, "Dimension"}}},
        TokenCase{"TrueAndNothingAreIdentifiers",
                  "Set o = Nothing",
                  {{K, "Set"}, {W, " "}, {I, "o"}, {W, " "}, {Y, "="}, {W, " "}, {I, "Nothing"}}},
        TokenCase{"UnclaimedCharactersStandAlone",
                  "#{|}\xE9",
                  {{W, "#"}, {W, "{"}, {W, "|"}, {W, "}"}, {W, "\xE9"}}},
        TokenCase{"CommentStopsBeforeCr",
                  "x 'it's\r\ny",
                  {{I, "x"}, {W, " "}, {C, "'it's"}, {W, "\r\n"}, {I, "y"}}},
        TokenCase{"CommentAloneAtEnd", "'", {{C, "'"}}},
        TokenCase{"DirectiveToLineEnd", "$OBJECT=Form\r\n", {{D, "$OBJECT=Form"}, {W, "\r\n"}}},
        TokenCase{"CrTakesTheNextCharacter", "a\rb", {{I, "a"}, {W, "\rb"}}},
        TokenCase{"LoneFinalCr", "a\r", {{I, "a"}, {W, "\r"}}},
        TokenCase{"LfAlone", "a\nb", {{I, "a"}, {W, "\n"}, {I, "b"}}},
        TokenCase{"ConsecutiveLineEnds", "\r\n\r\n", {{W, "\r\n"}, {W, "\r\n"}}},
        TokenCase{"NumberTakesPointsAndExponentsButNoSign",
                  "1.5E3-2e+1",
                  {{N, "1.5E3"}, {Y, "-"}, {N, "2e"}, {Y, "+"}, {N, "1"}}},
        TokenCase{"SymbolRuns", "a<=b).c", {{I, "a"}, {Y, "<="}, {I, "b"}, {Y, ")."}, {I, "c"}}},
        TokenCase{"BlankRunIncludesTabsAndControls", " \t\x01x", {{W, " \t\x01"}, {I, "x"}}},
        TokenCase{
            "WordsWithUnderscoresAndDigits", "_a1 a_b9", {{I, "_a1"}, {W, " "}, {I, "a_b9"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IsKeywordTest, FindsEveryListedWordInAnyCase) {
    for (std::string_view word : kKeywords) {
        std::string lower(word);
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        EXPECT_TRUE(IsKeyword(word)) << word;
        EXPECT_TRUE(IsKeyword(lower)) << lower;
    }
}

TEST(IsKeywordTest, RefusesOtherWords) {
    for (std::string_view word : {"", "REM", "True", "Nothing", "Let", "With", "ENDIF", "A", "ZZZ",
                                  "DIMENSION", "XORX", "AN", "ANDD", "EXPLICITLY", "_DIM"})
        EXPECT_FALSE(IsKeyword(word)) << word;
}

}  // namespace
}  // namespace vk
