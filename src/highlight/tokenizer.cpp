#include "highlight/tokenizer.h"

#include <algorithm>
#include <cstdint>
#include <optional>

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

// The character sets above as bits of one table, so the scanning loops cost
// one load per byte.
enum CharBits : std::uint8_t {
    kBlankBit = 1,
    kSymbolBit = 2,
    kWordBit = 4,
    kNumberBit = 8,
    kHexBit = 16,
};

constexpr std::array<std::uint8_t, 256> kCharBits = [] {
    std::array<std::uint8_t, 256> bits{};
    for (unsigned c = 0; c < 256; ++c) {
        const auto u = static_cast<unsigned char>(c);
        bits[c] = static_cast<std::uint8_t>(
            (IsBlank(u) ? kBlankBit : 0) | (IsSymbol(u) ? kSymbolBit : 0) |
            (IsWordChar(u) ? kWordBit : 0) | (IsNumberChar(u) ? kNumberBit : 0) |
            (IsHexDigit(u) ? kHexBit : 0));
    }
    return bits;
}();

const char* SkipWhile(const char* p, std::uint8_t bit) noexcept {
    while ((kCharBits[static_cast<unsigned char>(*p)] & bit) != 0) ++p;
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

// A word of up to nine bytes as a number pair whose order is the byte order
// of the words: the first eight bytes big-endian, then the ninth, each
// padded with zero bytes (which sort before every word character). Letters
// are taken in upper case.
struct WordKey {
    std::uint64_t head = 0;
    std::uint8_t tail = 0;
};

constexpr bool operator==(const WordKey& a, const WordKey& b) noexcept {
    return a.head == b.head && a.tail == b.tail;
}
constexpr bool operator<(const WordKey& a, const WordKey& b) noexcept {
    return a.head != b.head ? a.head < b.head : a.tail < b.tail;
}

constexpr std::size_t kLongestKeyword = 9;

// The key of a word of 1 to 9 bytes; nothing when it holds a zero byte
// (the key's padding), which no keyword does.
constexpr std::optional<WordKey> KeyOf(std::string_view word) noexcept {
    WordKey key;
    const std::size_t headSize = std::min<std::size_t>(word.size(), 8);
    for (std::size_t i = 0; i < headSize; ++i) {
        const auto c = static_cast<unsigned char>(ToUpper(word[i]));
        if (c == 0) return std::nullopt;
        key.head |= std::uint64_t{c} << (56 - 8 * i);
    }
    if (word.size() > 8) {
        key.tail = static_cast<unsigned char>(ToUpper(word[8]));
        if (key.tail == 0) return std::nullopt;
    }
    return key;
}

constexpr std::array<WordKey, kKeywords.size()> kKeywordKeys = [] {
    std::array<WordKey, kKeywords.size()> keys{};
    for (std::size_t i = 0; i < kKeywords.size(); ++i) keys[i] = *KeyOf(kKeywords[i]);
    return keys;
}();

static_assert(std::is_sorted(kKeywordKeys.begin(), kKeywordKeys.end()),
              "the keyword list must be in ascending byte order");

}  // namespace

bool IsKeyword(std::string_view word) noexcept {
    // A longer word cannot match.
    if (word.empty() || word.size() > kLongestKeyword) return false;
    const std::optional<WordKey> key = KeyOf(word);
    if (!key) return false;
    int low = 0;
    int high = static_cast<int>(kKeywordKeys.size()) - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const WordKey& listed = kKeywordKeys[static_cast<std::size_t>(middle)];
        if (listed == *key) return true;
        if (listed < *key)
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
                return {TokenClass::Hexadecimal, SkipWhile(next + 1, kHexBit)};
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
    const std::uint8_t bits = kCharBits[c];
    if ((bits & kWordBit) != 0) {
        if (IsDigit(c)) return {TokenClass::Number, SkipWhile(next, kNumberBit)};
        if (StartsRemComment(pos)) return {TokenClass::Comment, ToLineEnd(pos + 3)};
        const char* end = SkipWhile(next, kWordBit);
        const bool keyword = IsKeyword(std::string_view(pos, static_cast<std::size_t>(end - pos)));
        return {keyword ? TokenClass::Keyword : TokenClass::Identifier, end};
    }
    if ((bits & kBlankBit) != 0) return {TokenClass::Whitespace, SkipWhile(next, kBlankBit)};
    if ((bits & kSymbolBit) != 0) return {TokenClass::Symbol, SkipWhile(next, kSymbolBit)};
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
