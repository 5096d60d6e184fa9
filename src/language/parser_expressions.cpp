#include "language/parser_state.h"

namespace vk::language::detail {
namespace {

// How deep expressions may nest (parentheses, arguments, unary operators)
// before the parser refuses the line: far beyond what scripts write, far
// below what the stack can take.
constexpr int kMaxDepth = 200;

// The engine's operator precedence, loosest first; 0 for a token that is no
// binary operator.
constexpr int kNotOperand = 7;    // Not takes comparisons and what binds tighter
constexpr int kSignOperand = 14;  // a sign takes only ^: -2^2 is -(2^2)

int BinaryPrecedence(TokenKind kind) noexcept {
    switch (kind) {
        case TokenKind::kImp:
            return 1;
        case TokenKind::kEqv:
            return 2;
        case TokenKind::kXor:
            return 3;
        case TokenKind::kOr:
            return 4;
        case TokenKind::kAnd:
            return 5;
        case TokenKind::kEqual:
        case TokenKind::kNotEqual:
        case TokenKind::kLess:
        case TokenKind::kLessEqual:
        case TokenKind::kGreater:
        case TokenKind::kGreaterEqual:
        case TokenKind::kIs:
            return 7;
        case TokenKind::kAmpersand:
            return 8;
        case TokenKind::kPlus:
        case TokenKind::kMinus:
            return 9;
        case TokenKind::kMod:
            return 10;
        case TokenKind::kBackslash:
            return 11;
        case TokenKind::kStar:
        case TokenKind::kSlash:
            return 12;
        case TokenKind::kCaret:
            return 14;
        default:
            return 0;
    }
}

class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

}  // namespace

bool Parser::AtBinaryOperator() const noexcept { return BinaryPrecedence(tok_.kind) > 0; }

void Parser::Expression() { Binary(1); }

void Parser::Binary(int minPrecedence, bool leftDone) {
    const DepthGuard guard(depth_);
    if (depth_ > kMaxDepth) {
        ErrorHere("Expression too complex (nested too deeply to check)");
        return;
    }
    if (!leftDone) {
        if (At(TokenKind::kNot)) {
            Advance();
            Binary(kNotOperand);
        } else if (At(TokenKind::kMinus) || At(TokenKind::kPlus)) {
            Advance();
            Binary(kSignOperand);
        } else {
            Operand();
        }
    }
    // Left to right within a level: a - b - c is (a - b) - c, read in a loop
    // so that a long chain does not deepen the stack.
    for (;;) {
        const int precedence = BinaryPrecedence(tok_.kind);
        if (precedence == 0 || precedence < minPrecedence) return;
        Advance();
        Binary(precedence + 1);
    }
}

void Parser::Operand() {
    switch (tok_.kind) {
        case TokenKind::kInteger:
        case TokenKind::kFloat:
        case TokenKind::kString:
        case TokenKind::kDate:
        case TokenKind::kTrue:
        case TokenKind::kFalse:
        case TokenKind::kNothing:
        case TokenKind::kNull:
        case TokenKind::kEmpty:
            Advance();
            return;
        case TokenKind::kIdentifier: {
            const Token name = tok_;
            const std::uint32_t reference = AddReference(name, ReferenceKind::Read);
            Advance();
            if (At(TokenKind::kLeftParen)) {
                const std::uint32_t count = Arguments();
                AddCall(reference, count, CallForm::Expression, name.offset);
            }
            Postfix();
            return;
        }
        case TokenKind::kMe:
            Advance();
            Postfix();
            return;
        case TokenKind::kDot:
            // `.Name` inside With.
            Advance();
            if (!IsWord(tok_.kind)) {
                Expected("identifier");
                return;
            }
            Advance();
            Postfix();
            return;
        case TokenKind::kNew:
            Advance();
            if (!At(TokenKind::kIdentifier)) {
                Expected("identifier");
                return;
            }
            AddReference(tok_, ReferenceKind::New);
            Advance();
            return;
        case TokenKind::kLeftParen:
            Advance();
            Expression();
            if (!Expect(TokenKind::kRightParen, "')'")) return;
            Postfix();
            return;
        default:
            Expected("expression");
            return;
    }
}

void Parser::Postfix() {
    for (;;) {
        if (At(TokenKind::kLeftParen)) {
            (void)Arguments();
        } else if (At(TokenKind::kDot)) {
            Advance();
            if (!IsWord(tok_.kind)) {
                Expected("identifier");
                return;
            }
            Advance();
        } else {
            return;
        }
    }
}

std::uint32_t Parser::Arguments() {
    Advance();
    if (Accept(TokenKind::kRightParen)) return 0;
    std::uint32_t count = 0;
    for (;;) {
        ++count;
        // An argument may be left out: obj.Method(a, , c).
        if (!At(TokenKind::kComma) && !At(TokenKind::kRightParen)) Expression();
        if (lineHasError_) return count;
        if (Accept(TokenKind::kComma)) continue;
        Expect(TokenKind::kRightParen, "')'");
        return count;
    }
}

std::uint32_t Parser::BareArguments() {
    if (AtStatementEnd() || (!AtExpressionStart() && !At(TokenKind::kComma))) return 0;
    std::uint32_t count = 0;
    for (;;) {
        ++count;
        if (!At(TokenKind::kComma) && !AtStatementEnd()) Expression();
        if (lineHasError_ || !Accept(TokenKind::kComma)) return count;
    }
}

}  // namespace vk::language::detail
