#include "language/lexer.h"

#include <array>

namespace vk::language {
namespace {

enum CharBits : std::uint8_t {
    kBlankBit = 1,      // space, tab, vertical tab, form feed
    kWordStartBit = 2,  // letters; bytes above 127 too, which a code page may call letters
    kWordBit = 4,       // word start, digits, underscore
    kDigitBit = 8,
    kHexBit = 16,
    kLineEndBit = 32,  // CR, LF
};

constexpr std::array<std::uint8_t, 256> kChar = [] {
    std::array<std::uint8_t, 256> bits{};
    for (unsigned c = 0; c < 256; ++c) {
        std::uint8_t b = 0;
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
        const bool digit = c >= '0' && c <= '9';
        if (c == ' ' || c == '\t' || c == '\v' || c == '\f') b |= kBlankBit;
        if (letter) b |= kWordStartBit | kWordBit;
        if (digit) b |= kDigitBit | kWordBit | kHexBit;
        if (c == '_') b |= kWordBit;
        if ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')) b |= kHexBit;
        if (c == '\r' || c == '\n') b |= kLineEndBit;
        bits[c] = b;
    }
    return bits;
}();

constexpr bool Is(char c, std::uint8_t bit) noexcept {
    return (kChar[static_cast<unsigned char>(c)] & bit) != 0;
}

constexpr std::uint32_t kLongestName = 255;

// The token of each one-character operator; kInvalid for every other byte.
// A table rather than a switch: the load is never mispredicted.
constexpr std::array<TokenKind, 256> kSymbolKind = [] {
    std::array<TokenKind, 256> kind{};
    kind.fill(TokenKind::kInvalid);
    kind['('] = TokenKind::kLeftParen;
    kind[')'] = TokenKind::kRightParen;
    kind[','] = TokenKind::kComma;
    kind['.'] = TokenKind::kDot;
    kind[':'] = TokenKind::kColon;
    kind['+'] = TokenKind::kPlus;
    kind['-'] = TokenKind::kMinus;
    kind['*'] = TokenKind::kStar;
    kind['/'] = TokenKind::kSlash;
    kind['\\'] = TokenKind::kBackslash;
    kind['^'] = TokenKind::kCaret;
    kind['='] = TokenKind::kEqual;
    kind['<'] = TokenKind::kLess;
    kind['>'] = TokenKind::kGreater;
    return kind;
}();

// Where a word that goes on at `p` ends.
inline const char* WordEnd(const char* p, const char* end) noexcept {
    while (p < end && Is(*p, kWordBit)) ++p;
    return p;
}
// What a token's first byte makes it, for the lexer's one dispatch.
enum class Start : std::uint8_t {
    Blank,
    LineEnd,  // CR, LF, and the apostrophe that starts a comment up to one
    Word,
    Digit,
    Dot,
    Quote,
    Bracket,
    Hash,
    Ampersand,
    Underscore,
    Other,  // operators, and bytes the engine does not take
};

constexpr std::array<Start, 256> kStart = [] {
    std::array<Start, 256> start{};
    for (unsigned c = 0; c < 256; ++c) {
        const auto bits = kChar[c];
        start[c] = (bits & kBlankBit)       ? Start::Blank
                   : (bits & kLineEndBit)   ? Start::LineEnd
                   : (bits & kWordStartBit) ? Start::Word
                   : (bits & kDigitBit)     ? Start::Digit
                                            : Start::Other;
    }
    start['\''] = Start::LineEnd;
    start['.'] = Start::Dot;
    start['"'] = Start::Quote;
    start['['] = Start::Bracket;
    start['#'] = Start::Hash;
    start['&'] = Start::Ampersand;
    start['_'] = Start::Underscore;
    return start;
}();

// Kinds after which a `&` joins two operands and a `.` reaches a member:
// `a&H1` is a & H1, `x.5` is not a number.
constexpr bool EndsOperand(TokenKind kind) noexcept {
    switch (kind) {
        case TokenKind::kIdentifier:
        case TokenKind::kInteger:
        case TokenKind::kFloat:
        case TokenKind::kString:
        case TokenKind::kDate:
        case TokenKind::kRightParen:
        case TokenKind::kTrue:
        case TokenKind::kFalse:
        case TokenKind::kNothing:
        case TokenKind::kNull:
        case TokenKind::kEmpty:
        case TokenKind::kMe:
            return true;
        default:
            return false;
    }
}

}  // namespace

Lexer::Lexer(std::string_view text, NameTable& names, LineIndex& lines,
             std::vector<TextRange>& directives)
    : begin_(text.data()),
      end_(text.data() + text.size()),
      p_(text.data()),
      names_(names),
      lines_(lines),
      directives_(directives) {}

void Lexer::SkipBlanks() {
    const char* p = p_ + 1;
    while (p < end_ && Is(*p, kBlankBit)) ++p;
    p_ = p;
}

void Lexer::SkipToLineEnd() {
    const char* p = p_;
    while (p < end_ && !Is(*p, kLineEndBit)) ++p;
    p_ = p;
}

bool Lexer::TakeLineEnd() {
    if (p_ >= end_) return false;
    if (*p_ == '\n') {
        ++p_;
    } else if (*p_ == '\r') {
        ++p_;
        if (p_ < end_ && *p_ == '\n') ++p_;
    } else {
        return false;
    }
    lines_.AddLineStart(Offset(p_));
    return true;
}

bool Lexer::RemHere() const {
    if (end_ - p_ < 3) return false;
    const auto fold = [](char c) { return kFoldedByte[static_cast<unsigned char>(c)]; };
    if (fold(p_[0]) != 'r' || fold(p_[1]) != 'e' || fold(p_[2]) != 'm') return false;
    return end_ - p_ == 3 || !Is(p_[3], kWordBit);
}

bool Lexer::OperandBefore() const { return EndsOperand(previous_); }

void Lexer::SkipLineStart() {
    while (p_ < end_) {
        const char* p = p_;
        while (p < end_ && Is(*p, kBlankBit)) ++p;
        p_ = p;
        if (p >= end_) return;
        // Most lines start with code: one look at the first byte says so.
        switch (*p) {
            case '\'':
                SkipToLineEnd();
                break;
            case '$': {
                SkipToLineEnd();
                directives_.push_back({Offset(p), Offset(p_) - Offset(p)});
                break;
            }
            case 'r':
            case 'R':
                if (!RemHere()) return;
                SkipToLineEnd();
                break;
            case '\r':
            case '\n':
                break;
            default:
                return;
        }
        if (!TakeLineEnd()) return;
    }
}

// The commonest token, kept where Next can take it in without a call.
inline void Lexer::Word(Token& token) {
    const char* const start = p_;
    if ((*start | 0x20) == 'r' && RemHere() &&
        !(previous_ == TokenKind::kDot && !(token.flags & kSpaceBefore))) {
        p_ += 3;
        token.kind = TokenKind::kRem;
        token.length = 3;
        return;
    }
    const char* const end = end_;
    const char* const p = WordEnd(start + 1, end);
    p_ = p;
    token.length = static_cast<std::uint32_t>(p - start);
    token.nameId = names_.Intern(
        start, token.length, KeyOfName(start, token.length, static_cast<std::size_t>(end - start)));
    token.kind = token.nameId < kKeywordCount ? static_cast<TokenKind>(token.nameId)
                                              : TokenKind::kIdentifier;
    if (token.length > kLongestName) token.error = LexError::NameTooLong;
}

void Lexer::Next(Token& token) {
    if (atLineStart_) {
        SkipLineStart();
        atLineStart_ = false;
    }
    token = Token{};
    // A blank before the token is taken first: most tokens have one, and a
    // single dispatch on the token's own first byte follows.
    if (p_ < end_ && Is(*p_, kBlankBit)) {
        SkipBlanks();
        token.flags = kSpaceBefore;
    }
    for (;;) {
        token.offset = Offset(p_);
        if (p_ >= end_) {
            token.kind = TokenKind::kEndOfText;
            break;
        }
        const char c = *p_;
        switch (kStart[static_cast<unsigned char>(c)]) {
            case Start::Word:
                Word(token);
                break;
            case Start::Blank:  // after a line continuation
                SkipBlanks();
                token.flags = kSpaceBefore;
                continue;
            case Start::LineEnd:
                // A line end and everything up to the next line with code.
                if (c == '\'') SkipToLineEnd();
                (void)TakeLineEnd();
                SkipLineStart();
                token.kind = TokenKind::kNewline;
                break;
            case Start::Underscore:
                if (ContinuesLine()) {
                    token.flags = kSpaceBefore;
                    continue;
                }
                Symbol(token);
                break;
            case Start::Digit:
                Number(token);
                break;
            case Start::Dot:
                if (p_ + 1 < end_ && Is(p_[1], kDigitBit) &&
                    !(OperandBefore() && !(token.flags & kSpaceBefore)))
                    Number(token);
                else
                    Symbol(token);
                break;
            case Start::Quote:
                String(token);
                break;
            case Start::Bracket:
                BracketName(token);
                break;
            case Start::Hash:
                DateLiteral(token);
                break;
            case Start::Ampersand:
                Ampersand(token);
                break;
            case Start::Other:
                Symbol(token);
                break;
        }
        break;
    }
    if (token.kind == TokenKind::kRem) {
        // The rest of the line is the comment.
        SkipToLineEnd();
    }
    previous_ = token.kind;
}

bool Lexer::ContinuesLine() {
    // ` _` and the line end: the statement goes on on the next line.
    const char* after = p_ + 1;
    if (after < end_ && Is(*after, kWordBit)) return false;
    while (after < end_ && Is(*after, kBlankBit)) ++after;
    if (after < end_ && *after == '\'') {
        // The engine's grammar has no comment after the mark; taking one
        // is harmless.
        p_ = after;
        SkipToLineEnd();
        after = p_;
    }
    if (after < end_ && !Is(*after, kLineEndBit)) return false;
    p_ = after;
    (void)TakeLineEnd();
    return true;
}

void Lexer::BracketName(Token& token) {
    const char* const start = ++p_;
    while (p_ < end_ && *p_ != ']' && !Is(*p_, kLineEndBit)) ++p_;
    const auto length = static_cast<std::uint32_t>(p_ - start);
    token.kind = TokenKind::kIdentifier;
    token.nameId = names_.Intern(std::string_view(start, length));
    if (p_ < end_ && *p_ == ']') {
        ++p_;
    } else {
        token.error = LexError::UnterminatedName;
    }
    token.length = Offset(p_) - token.offset;
}

void Lexer::Number(Token& token) {
    bool isFloat = false;
    while (p_ < end_ && Is(*p_, kDigitBit)) ++p_;
    if (p_ < end_ && *p_ == '.') {
        isFloat = true;
        ++p_;
        while (p_ < end_ && Is(*p_, kDigitBit)) ++p_;
    }
    if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
        const char* q = p_ + 1;
        if (q < end_ && (*q == '+' || *q == '-')) ++q;
        if (q < end_ && Is(*q, kDigitBit)) {
            isFloat = true;
            p_ = q;
            while (p_ < end_ && Is(*p_, kDigitBit)) ++p_;
        }
    }
    token.kind = isFloat ? TokenKind::kFloat : TokenKind::kInteger;
    token.length = Offset(p_) - token.offset;
}

void Lexer::String(Token& token) {
    const char* p = p_ + 1;
    token.kind = TokenKind::kString;
    for (;;) {
        while (p < end_ && *p != '"' && !Is(*p, kLineEndBit)) ++p;
        if (p >= end_ || *p != '"') {
            token.error = LexError::UnterminatedString;
            break;
        }
        ++p;
        // A doubled quote is a quote inside the string.
        if (p < end_ && *p == '"') {
            ++p;
            continue;
        }
        break;
    }
    p_ = p;
    token.length = Offset(p_) - token.offset;
}

void Lexer::DateLiteral(Token& token) {
    ++p_;
    while (p_ < end_ && *p_ != '#' && !Is(*p_, kLineEndBit)) ++p_;
    token.kind = TokenKind::kDate;
    if (p_ < end_ && *p_ == '#') {
        ++p_;
    } else {
        token.error = LexError::UnterminatedDate;
    }
    token.length = Offset(p_) - token.offset;
}

void Lexer::Ampersand(Token& token) {
    // &H1F and &O17 (or &17) are numbers where an operand starts, and after
    // a blank as the engine reads them (`MsgBox &H10`); `a&H1` joins a to H1.
    const char* q = p_ + 1;
    if ((!OperandBefore() || (token.flags & kSpaceBefore)) && q < end_) {
        const char marker = static_cast<char>(kFoldedByte[static_cast<unsigned char>(*q)]);
        const bool hex = marker == 'h' && q + 1 < end_ && Is(q[1], kHexBit);
        const bool octal =
            (marker == 'o' && q + 1 < end_ && Is(q[1], kDigitBit)) || Is(*q, kDigitBit);
        if (hex || octal) {
            p_ = Is(*q, kDigitBit) ? q : q + 1;
            while (p_ < end_ && Is(*p_, hex ? kHexBit : kDigitBit)) ++p_;
            // An optional & marks a Long: &HFFFF&.
            if (p_ < end_ && *p_ == '&' && !(p_ + 1 < end_ && Is(p_[1], kWordBit))) ++p_;
            token.kind = TokenKind::kInteger;
            token.length = Offset(p_) - token.offset;
            return;
        }
    }
    ++p_;
    token.kind = TokenKind::kAmpersand;
    token.length = 1;
}

void Lexer::Symbol(Token& token) {
    const char c = *p_++;
    TokenKind kind = kSymbolKind[static_cast<unsigned char>(c)];
    if (p_ < end_) {
        // <=, <>, >= and, read as those, =< and =>.
        const char next = *p_;
        if ((c == '<' && (next == '=' || next == '>')) || (c == '>' && next == '=') ||
            (c == '=' && (next == '<' || next == '>'))) {
            ++p_;
            kind = c == '<'      ? (next == '=' ? TokenKind::kLessEqual : TokenKind::kNotEqual)
                   : c == '>'    ? TokenKind::kGreaterEqual
                   : next == '<' ? TokenKind::kLessEqual
                                 : TokenKind::kGreaterEqual;
        }
    }
    if (kind == TokenKind::kInvalid) token.error = LexError::InvalidCharacter;
    token.kind = kind;
    token.length = Offset(p_) - token.offset;
}

}  // namespace vk::language
