#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "highlight/token_class.h"

namespace vk {

// The words coloured as keywords, upper case, in ascending byte order.
inline constexpr std::array<std::string_view, 44> kKeywords = {
    "AND",       "BYREF", "BYVAL",    "CALL",   "CASE", "CONST",    "DIM",     "DO",
    "EACH",      "ELSE",  "ELSEIF",   "END",    "EQV",  "ERASE",    "ERROR",   "EXIT",
    "EXPLICIT",  "FOR",   "FUNCTION", "IF",     "IMP",  "IS",       "LOOP",    "MOD",
    "NEXT",      "NOT",   "ON",       "OPTION", "OR",   "PRESERVE", "PRIVATE", "PUBLIC",
    "RANDOMIZE", "REDIM", "RESUME",   "SELECT", "SET",  "SUB",      "THEN",    "TO",
    "UNTIL",     "WEND",  "WHILE",    "XOR",
};

// Whether `word` is in the keyword list, ignoring ASCII case. A binary search:
// at most six comparisons.
[[nodiscard]] bool IsKeyword(std::string_view word) noexcept;

// Where a token ends and what it is, without copying its text.
struct TokenSpan {
    TokenClass cls = TokenClass::Whitespace;
    const char* end = nullptr;  // the position after the token
};

// Cuts one token at `pos` in a zero-terminated single-byte text. `*pos` must
// not be the terminating zero byte. Never reads past the terminator. An
// embedded zero byte ends comments, strings and runs like the terminator
// does; a token starting on one is a one-byte Whitespace token, so a caller
// that knows the text's length can step over it.
[[nodiscard]] TokenSpan ScanToken(const char* pos) noexcept;

struct Token {
    TokenClass cls = TokenClass::Whitespace;
    std::string text;  // a copy of the token's bytes; its size is the length
};

// Cuts the token at `pos` (as ScanToken) and advances `pos` past it.
// "Dim x" gives Keyword "Dim", then Whitespace " ", then Identifier "x".
[[nodiscard]] Token NextToken(const char*& pos);

}  // namespace vk
