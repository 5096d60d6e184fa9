#include "highlight/tokenizer.h"

#include <algorithm>

namespace vk {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';

// Every control character but zero, LF and CR, and the space.
constexpr bool IsBlank(unsigned char c) noexcept { return c != 0 && c <= 32 && c != 10 && c != 13; }

constexpr bool IsSymbol(unsigned char c) noexcept {
    switch (c) {
        case '!':
        case '%':
        case '(':
        case ')':
        case '*':
        case '+':
        case ',':
        case '-':
        case '.':
        case '/':
        case ':':
        case ';':
        case '<':
        case '=':
        case '>':
        case '?':
        case '@':
        case '[':
        case '\\':
        case ']':
        case '^':
        case '~':
        case '`':
            return true;
        default:
            return false;
    }
}

constexpr bool IsDigit(unsigned char c) noexcept { return c >= '0' && c <= '9'; }

constexpr bool IsLetter(unsigned char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

constexpr bool IsWordStart(unsigned char c) noexcept { return IsLetter(c) || c == '_'; }

constexpr bool IsWordChar(unsigned char c) noexcept { return IsWordStart(c) || IsDigit(c); }

constexpr bool IsNumberChar(unsigned char c) noexcept {
    return IsDigit(c) || c == '.' || c == 'E' || c == 'e';
}

constexpr bool IsHexDigit(unsigned char c) noexcept {
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

constexpr char ToUpper(char c) noexcept {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

template <typename Pred>
const char* SkipWhile(const char* p, Pred pred) noexcept {
    while (pred(static_cast<unsigned char>(*p))) ++p;
    return p;
}

// Up to, not including, the next CR or zero byte.
const char* ToLineEnd(const char* p) noexcept {
    while (*p != kCr && *p != 0) ++p;
    return p;
}

// "rem" in any case followed by a character that cannot continue a word. The
// checks stop at the first mismatch, so a short text is never overrun.
bool StartsRemComment(const char* p) noexcept {
    return ToUpper(p[0]) == 'R' && ToUpper(p[1]) == 'E' && ToUpper(p[2]) == 'M' &&
           !IsWordChar(static_cast<unsigned char>(p[3]));
}

}  // namespace

bool IsKeyword(std::string_view word) noexcept {
    // No keyword is longer than this; a longer word cannot match.
    constexpr std::size_t kLongest = 9;
    if (word.empty() || word.size() > kLongest) return false;
    std::array<char, kLongest> upper{};
    std::transform(word.begin(), word.end(), upper.begin(), ToUpper);
    const std::string_view key(upper.data(), word.size());

    int low = 0;
    int high = static_cast<int>(kKeywords.size()) - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int order = kKeywords[static_cast<std::size_t>(middle)].compare(key);
        if (order == 0) return true;
        if (order < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return false;
}

TokenSpan ScanToken(const char* pos) noexcept {
    const auto c = static_cast<unsigned char>(*pos);
    const char* next = pos + 1;
    switch (c) {
        case '\'':
            return {TokenClass::Comment, ToLineEnd(next)};
        case '"': {
            const char* p = next;
            while (*p != '"' && *p != kCr && *p != kLf && *p != 0) ++p;
            return {TokenClass::String, *p == '"' ? p + 1 : p};
        }
        case '$':
            return {TokenClass::Directive, ToLineEnd(next)};
        case '&':
            if (*next == 'H' || *next == 'h')
                return {TokenClass::Hexadecimal, SkipWhile(next + 1, IsHexDigit)};
            return {TokenClass::Symbol, next};
        case kCr:
            // The CR takes the character after it (the LF of a CR LF line end);
            // a CR at the very end is a token of its own.
            return {TokenClass::Whitespace, *next != 0 ? next + 1 : next};
        case kLf:
            return {TokenClass::Whitespace, next};
        default:
            break;
    }
    if (IsBlank(c)) return {TokenClass::Whitespace, SkipWhile(next, IsBlank)};
    if (IsSymbol(c)) return {TokenClass::Symbol, SkipWhile(next, IsSymbol)};
    if (IsDigit(c)) return {TokenClass::Number, SkipWhile(next, IsNumberChar)};
    if (IsWordStart(c)) {
        if (StartsRemComment(pos)) return {TokenClass::Comment, ToLineEnd(pos + 3)};
        const char* end = SkipWhile(next, IsWordChar);
        const bool keyword = IsKeyword(std::string_view(pos, static_cast<std::size_t>(end - pos)));
        return {keyword ? TokenClass::Keyword : TokenClass::Identifier, end};
    }
    // "#", "{", "|", "}", bytes 127-255 and a stray zero byte.
    return {TokenClass::Whitespace, next};
}

Token NextToken(const char*& pos) {
    const TokenSpan span = ScanToken(pos);
    Token token{span.cls, std::string(pos, span.end)};
    pos = span.end;
    return token;
}

}  // namespace vk
