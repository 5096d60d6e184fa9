#include <algorithm>
#include <utility>

#include "language/parser.h"
#include "language/parser_state.h"

namespace vk::language {
namespace detail {

Parser::Parser(std::string_view text, SyntaxTree& tree, ProblemList& problems, LineIndex& lines)
    : tree_(tree), problems_(problems), text_(text), lexer_(text, names_, lines, directives_) {
    // A script names something new every few hundred bytes.
    names_.Reserve(text.size() / 256);
}

const Token& Parser::Peek() {
    if (!hasAhead_) {
        lexer_.Next(ahead_);
        hasAhead_ = true;
    }
    return ahead_;
}

bool Parser::AtStatementEnd() const noexcept {
    switch (tok_.kind) {
        case TokenKind::kNewline:
        case TokenKind::kColon:
        case TokenKind::kEndOfText:
            return true;
        case TokenKind::kElse:
            return !inlineIfs_.empty();
        default:
            return false;
    }
}

bool Parser::AtExpressionStart() const noexcept {
    switch (tok_.kind) {
        case TokenKind::kIdentifier:
        case TokenKind::kInteger:
        case TokenKind::kFloat:
        case TokenKind::kString:
        case TokenKind::kDate:
        case TokenKind::kTrue:
        case TokenKind::kFalse:
        case TokenKind::kNothing:
        case TokenKind::kNull:
        case TokenKind::kEmpty:
        case TokenKind::kMe:
        case TokenKind::kNew:
        case TokenKind::kNot:
        case TokenKind::kMinus:
        case TokenKind::kPlus:
        case TokenKind::kLeftParen:
        case TokenKind::kDot:
            return true;
        default:
            return false;
    }
}

void Parser::Error(TextRange range, std::string message) {
    if (lineHasError_) return;
    lineHasError_ = true;
    const std::size_t before = problems_.Items().size();
    problems_.Add(Severity::Error, DiagnosticCode::Syntax, range, std::move(message));
    if (problems_.Items().size() > before && !problems_.Full()) lineError_ = before;
}

void Parser::ErrorHere(std::string message) {
    // A missing word belongs right after the last one, not on the next line.
    if (tok_.kind == TokenKind::kNewline || tok_.kind == TokenKind::kEndOfText)
        Error({previousEnd_, 0}, std::move(message));
    else
        Error(TokenRange(), std::move(message));
    SkipLine();
}

void Parser::Expected(std::string_view what) { ErrorHere("Expected " + std::string(what)); }

bool Parser::Expect(TokenKind kind, std::string_view what) {
    if (Accept(kind)) return true;
    Expected(what);
    return false;
}

void Parser::ReportLexError(const Token& token) {
    const TextRange range{token.offset, token.length};
    switch (token.error) {
        case LexError::None:
            return;
        case LexError::InvalidCharacter:
            Error(range, "Invalid character");
            return;
        case LexError::UnterminatedString:
            Error(range, "Unterminated string constant");
            return;
        case LexError::UnterminatedDate:
            Error(range, "Expected '#' (a date literal ends with #)");
            return;
        case LexError::UnterminatedName:
            Error(range, "Expected ']'");
            return;
        case LexError::NameTooLong:
            Error(range, "Identifier too long");
            return;
    }
}

void Parser::SkipLine() {
    lineHasError_ = true;
    while (tok_.kind != TokenKind::kNewline && tok_.kind != TokenKind::kEndOfText) {
        Advance();
        if (tok_.error == LexError::UnterminatedString && lineError_ != kNoError) {
            // `MsgBox "a, "b"`: the quote missing inside made the words
            // after it look wrong; the one left open at the end tells why.
            Diagnostic& error = problems_.Items()[lineError_];
            error.range = TokenRange();
            error.message = "Unterminated string constant";
            lineError_ = kNoError;
        }
    }
}

std::uint32_t Parser::AddDeclaration(const Token& name, DeclarationKind kind, std::uint8_t flags,
                                     std::int32_t target) {
    tree_.declarations.push_back(
        {{name.offset, name.length}, name.nameId, scope_, kind, flags, target, 0});
    return static_cast<std::uint32_t>(tree_.declarations.size() - 1);
}

std::uint32_t Parser::AddReference(const Token& name, ReferenceKind kind) {
    tree_.references.push_back({{name.offset, name.length}, name.nameId, scope_, kind, kNone});
    return static_cast<std::uint32_t>(tree_.references.size() - 1);
}

void Parser::AddCall(std::uint32_t reference, std::uint32_t arguments, CallForm form,
                     std::uint32_t start) {
    tree_.references[reference].kind = ReferenceKind::Call;
    tree_.callSites.push_back({reference, arguments, form, RangeBetween(start, previousEnd_)});
}

std::uint32_t Parser::AddScope(ScopeKind kind, std::int32_t owner) {
    const auto parent = static_cast<std::int32_t>(kind == ScopeKind::Procedure ? classScope_ : 0);
    tree_.scopes.push_back({kind, kind == ScopeKind::Script ? kNone : parent, owner, 0, 0});
    return static_cast<std::uint32_t>(tree_.scopes.size() - 1);
}

void Parser::Run() {
    AddScope(ScopeKind::Script, kNone);
    blocks_.push_back({});
    Advance();
    while (!At(TokenKind::kEndOfText)) {
        if (At(TokenKind::kNewline)) {
            inlineIfs_.clear();
            Advance();
            continue;
        }
        if (At(TokenKind::kColon) || At(TokenKind::kRem)) {
            Advance();
            continue;
        }
        if (!inlineIfs_.empty() && At(TokenKind::kElse)) {
            InlineElse();
            continue;
        }
        Statement();
        EndStatement();
    }
    previousEnd_ = static_cast<std::uint32_t>(text_.size());
    while (blocks_.size() > 1) CloseTop(false);

    // `$OBJECT=Name` gives the script an object of that name.
    for (const TextRange& directive : directives_) {
        std::string_view line = text_.substr(directive.offset, directive.length);
        constexpr std::string_view kObject = "$object=";
        if (line.size() <= kObject.size()) continue;
        bool matches = true;
        for (std::size_t i = 0; i < kObject.size() && matches; ++i)
            matches = kFoldedByte[static_cast<unsigned char>(line[i])] ==
                      static_cast<unsigned char>(kObject[i]);
        if (!matches) continue;
        std::string_view name = line.substr(kObject.size());
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
        while (!name.empty() && (name.front() == ' ' || name.front() == '\t'))
            name.remove_prefix(1);
        if (name.empty()) continue;
        Token token;
        token.offset = static_cast<std::uint32_t>(name.data() - text_.data());
        token.length = static_cast<std::uint32_t>(name.size());
        token.nameId = names_.Intern(name);
        const std::uint32_t saved = scope_;
        scope_ = 0;
        AddDeclaration(token, DeclarationKind::Host, 0);
        scope_ = saved;
    }
    names_.CopyInto(tree_);
}

}  // namespace detail

void ParseScript(std::string_view text, SyntaxTree& tree, ProblemList& problems, LineIndex& lines) {
    tree.Clear();
    // Room for what a script of this size usually holds (a reference every
    // 20 bytes or so), so that the lists are not copied as they grow.
    tree.references.reserve(text.size() / 16);
    tree.declarations.reserve(text.size() / 64);
    tree.callSites.reserve(text.size() / 64);
    lines.Reset(text.size() / 24);
    detail::Parser parser(text, tree, problems, lines);
    parser.Run();
}

}  // namespace vk::language
