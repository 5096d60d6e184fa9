#pragma once

// The parser's shared state, for its source files only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "language/builtin_names.h"
#include "language/lexer.h"
#include "language/problem_list.h"
#include "language/syntax_tree.h"

namespace vk::language::detail {

// A compound statement whose end has not been seen yet.
struct OpenBlock {
    BlockKind kind = BlockKind::If;
    std::int32_t block = kNone;  // into SyntaxTree::blocks; kNone for the script level
    TextRange opener;            // the keyword that opened it, where a missing end is shown
    std::uint32_t start = 0;     // its first byte
    bool sawElse = false;        // If: an Else branch has begun; Select: Case Else
    bool sawCase = false;        // Select: a Case has begun
    // Code after an Exit in this block: the Exit's words ("Exit Sub"), then
    // the range of what follows it up to the block's next branch or end.
    std::string_view exitWords;
    bool unreachable = false;
    std::uint32_t unreachableStart = 0;
    std::uint32_t unreachableEnd = 0;
};

// One single-line If on the current line.
struct InlineIf {
    bool sawElse = false;
};

class Parser {
public:
    Parser(std::string_view text, SyntaxTree& tree, ProblemList& problems, LineIndex& lines);
    void Run();

private:
    // Tokens (parser_core.cpp; the commonest here, where every file of the
    // parser can take them in without a call).
    void Advance() {
        const bool newLine = tok_.kind == TokenKind::kNewline;
        previousEnd_ = tok_.End();
        previousKind_ = tok_.kind;
        if (hasAhead_) {
            tok_ = ahead_;
            hasAhead_ = false;
        } else {
            lexer_.Next(tok_);
        }
        // Without a branch: a new line is too irregular to predict.
        lineHasError_ = lineHasError_ && !newLine;
        lineError_ = newLine ? kNoError : lineError_;
        if (tok_.error != LexError::None) ReportLexError(tok_);
    }
    [[nodiscard]] const Token& Peek();
    [[nodiscard]] bool At(TokenKind kind) const noexcept { return tok_.kind == kind; }
    [[nodiscard]] bool AtWord(Word word) const noexcept {
        return tok_.kind == TokenKind::kIdentifier && tok_.nameId == IdOf(word);
    }
    bool Accept(TokenKind kind) {
        if (tok_.kind != kind) return false;
        Advance();
        return true;
    }
    [[nodiscard]] bool AtStatementEnd() const noexcept;
    [[nodiscard]] bool AtExpressionStart() const noexcept;
    [[nodiscard]] TextRange TokenRange() const noexcept { return {tok_.offset, tok_.length}; }

    // Errors (parser_core.cpp). One per line: after the first, the rest of
    // the line is skipped and nothing more is said about it.
    void Error(TextRange range, std::string message);
    void ErrorHere(std::string message);   // at the token, or where a missing word belongs
    void Expected(std::string_view what);  // "Expected 'Then'"
    void ReportLexError(const Token& token);
    // To the line end; nothing more on the line is reported.
    void SkipLine();
    bool Expect(TokenKind kind, std::string_view what);

    // Recording (parser_core.cpp).
    std::uint32_t AddDeclaration(const Token& name, DeclarationKind kind, std::uint8_t flags,
                                 std::int32_t target = kNone);
    std::uint32_t AddReference(const Token& name, ReferenceKind kind);
    void AddCall(std::uint32_t reference, std::uint32_t arguments, CallForm form,
                 std::uint32_t start);
    std::uint32_t AddScope(ScopeKind kind, std::int32_t owner);

    // Statements (parser_statements.cpp).
    void Statement();
    void EndStatement();
    void OptionStatement();
    void DimStatement(DeclarationKind kind, std::uint8_t flags);
    void ConstStatement(std::uint8_t flags);
    void ReDimStatement();
    void EraseStatement();
    void VisibilityStatement();
    void ExitStatement();
    void OnErrorStatement();
    void CallOrAssignment(bool isSet, bool callKeyword);
    void InlineElse();
    [[nodiscard]] bool InClassBody() const noexcept;

    // Blocks and procedures (parser_blocks.cpp).
    void IfStatement();
    void ElseIfStatement();
    void ElseStatement();
    void SelectStatement();
    void CaseStatement();
    void ForStatement();
    void NextStatement();
    void DoStatement();
    void LoopStatement();
    void WhileStatement();
    void WendStatement();
    void WithStatement();
    void EndBlockStatement();
    void ProcedureStatement(std::uint32_t start, Visibility visibility, bool isDefault);
    void Parameters(Procedure& procedure);
    void ClassStatement(std::uint32_t start);
    OpenBlock& PushBlock(BlockKind kind, TextRange opener, std::uint32_t start);
    // The innermost open block of a kind (For also finds For Each) inside the
    // current procedure or class; the stack size when none.
    [[nodiscard]] std::size_t FindOpen(BlockKind kind) const noexcept;
    // Closes the blocks above `index`, each reported as not terminated.
    void CloseAbove(std::size_t index);
    void CloseTop(bool terminated);
    void NotTerminated(const OpenBlock& block);
    void CloseToScriptOrClassLevel();
    void BranchBegins(OpenBlock& block);  // Else, ElseIf, Case: code is reachable again
    void ReportUnreachable(OpenBlock& block);
    void StatementBegins();
    void StatementEnds();
    [[nodiscard]] std::string ClosingWords(const OpenBlock& block) const;

    // Expressions (parser_expressions.cpp).
    void Expression();
    // Operators down to `minPrecedence`; with `leftDone` the left operand has
    // been read already.
    void Binary(int minPrecedence, bool leftDone = false);
    [[nodiscard]] bool AtBinaryOperator() const noexcept;
    void Operand();
    void Postfix();
    std::uint32_t Arguments();      // at "(": the argument count; ")" taken
    std::uint32_t BareArguments();  // a call statement's arguments without parentheses

    SyntaxTree& tree_;
    ProblemList& problems_;
    std::string_view text_;
    NameTable names_;
    std::vector<TextRange> directives_;
    Lexer lexer_;

    Token tok_;
    Token ahead_;
    bool hasAhead_ = false;
    std::uint32_t previousEnd_ = 0;  // the end of the token before tok_
    TokenKind previousKind_ = TokenKind::kNewline;
    bool lineHasError_ = false;
    // The line's error, while the rest of the line is skipped: a string
    // left open further on is the likelier cause and takes its place.
    std::size_t lineError_ = kNoError;
    static constexpr std::size_t kNoError = static_cast<std::size_t>(-1);
    // The statement just read is followed by another on the same line
    // without a colon: `If a Then b`, `Else b`.
    bool continues_ = false;

    std::vector<OpenBlock> blocks_;  // blocks_[0] is the script level
    std::vector<InlineIf> inlineIfs_;
    std::int32_t procedure_ = kNone;
    std::int32_t class_ = kNone;
    std::uint32_t scope_ = 0;
    std::uint32_t classScope_ = 0;
    int depth_ = 0;
    bool sawCode_ = false;
};

}  // namespace vk::language::detail
