#pragma once

#include <cstdint>
#include <string_view>

namespace vk::language {

// The words the script engine reserves for its grammar. They are never names
// of variables (after a full stop they are member names like any other word).
// The order is that of the first entries of the name table.
// clang-format off
#define VK_LANGUAGE_KEYWORDS(X)                                                       \
    X(And) X(ByRef) X(ByVal) X(Call) X(Case) X(Class) X(Const) X(Dim) X(Do) X(Each)  \
    X(Else) X(ElseIf) X(Empty) X(End) X(Eqv) X(Erase) X(Exit) X(False) X(For)        \
    X(Function) X(If) X(Imp) X(In) X(Is) X(Loop) X(Me) X(Mod) X(New) X(Next) X(Not)  \
    X(Nothing) X(Null) X(On) X(Option) X(Or) X(Preserve) X(Private) X(Public)        \
    X(ReDim) X(Rem) X(Select) X(Set) X(Sub) X(Then) X(To) X(True) X(Until) X(Wend)   \
    X(While) X(With) X(Xor)
// clang-format on

enum class TokenKind : std::uint8_t {
#define VK_KEYWORD_KIND(word) k##word,
    VK_LANGUAGE_KEYWORDS(VK_KEYWORD_KIND)
#undef VK_KEYWORD_KIND
        kIdentifier,  // a name, plain or in brackets ([my name])
    kInteger,         // 12, &H1F, &O17
    kFloat,           // 1.5, .5, 1E-3
    kString,          // "text" with "" for a quote
    kDate,            // #1/2/2003#
    kLeftParen,
    kRightParen,
    kComma,
    kDot,
    kEqual,
    kNotEqual,
    kLess,
    kLessEqual,
    kGreater,
    kGreaterEqual,
    kPlus,
    kMinus,
    kStar,
    kSlash,
    kBackslash,
    kCaret,
    kAmpersand,
    kColon,      // a statement separator
    kNewline,    // one or more line ends, with the comments and blank lines between
    kInvalid,    // a character the engine does not take; reported by the lexer
    kEndOfText,  // the end of the text
};

inline constexpr std::uint32_t kKeywordCount = static_cast<std::uint32_t>(TokenKind::kIdentifier);

[[nodiscard]] constexpr bool IsKeyword(TokenKind kind) noexcept {
    return static_cast<std::uint32_t>(kind) < kKeywordCount;
}
// A word: a name or a keyword (either can follow a full stop as a member).
[[nodiscard]] constexpr bool IsWord(TokenKind kind) noexcept {
    return static_cast<std::uint32_t>(kind) <= static_cast<std::uint32_t>(TokenKind::kIdentifier);
}

enum TokenFlag : std::uint8_t {
    kSpaceBefore = 1,  // a blank (or a line continuation) stands right before it
};

// A fault the lexer found in a token; the parser reports it when it takes the
// token, so that one line gives one message.
enum class LexError : std::uint8_t {
    None,
    InvalidCharacter,    // a byte the engine does not take here
    UnterminatedString,  // no closing quote before the line end
    UnterminatedDate,    // no closing # before the line end
    UnterminatedName,    // no closing ] before the line end
    NameTooLong,         // a name of more than 255 characters
};

struct Token {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::uint32_t nameId = 0;  // for identifiers and keywords
    TokenKind kind = TokenKind::kEndOfText;
    std::uint8_t flags = 0;
    LexError error = LexError::None;
    // Rounds the token up to 16 bytes: a copy is then two whole words, and
    // reading a field after a copy does not stall on a half-written one.
    std::uint8_t unused = 0;

    [[nodiscard]] std::uint32_t End() const noexcept { return offset + length; }
    [[nodiscard]] bool SpaceBefore() const noexcept { return (flags & kSpaceBefore) != 0; }
};

static_assert(sizeof(Token) == 16);

}  // namespace vk::language
