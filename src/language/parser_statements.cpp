#include "language/parser_state.h"

namespace vk::language::detail {
namespace {

// Statements that continue or close a block rather than run: code after an
// Exit ends with them.
bool ContinuesOrClosesBlock(TokenKind kind) noexcept {
    switch (kind) {
        case TokenKind::kEnd:
        case TokenKind::kElse:
        case TokenKind::kElseIf:
        case TokenKind::kCase:
        case TokenKind::kNext:
        case TokenKind::kLoop:
        case TokenKind::kWend:
            return true;
        default:
            return false;
    }
}

// Statements that open a block, a branch or a procedure: none belongs on a
// single-line If.
bool NotForASingleLineIf(TokenKind kind) noexcept {
    switch (kind) {
        case TokenKind::kFor:
        case TokenKind::kDo:
        case TokenKind::kWhile:
        case TokenKind::kSelect:
        case TokenKind::kWith:
        case TokenKind::kSub:
        case TokenKind::kFunction:
        case TokenKind::kClass:
        case TokenKind::kElseIf:
        case TokenKind::kPrivate:
        case TokenKind::kPublic:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool Parser::InClassBody() const noexcept {
    return class_ != kNone && procedure_ == kNone && blocks_.back().kind == BlockKind::Class;
}

void Parser::Statement() {
    const TokenKind kind = tok_.kind;
    if (!inlineIfs_.empty()) {
        // What a single-line If holds is read leniently: a block statement
        // there is left alone rather than risk a false alarm.
        if (NotForASingleLineIf(kind) || AtWord(Word::Property)) {
            SkipLine();
            return;
        }
        if (kind == TokenKind::kEnd && Peek().kind == TokenKind::kIf) {
            Advance();
            Advance();
            return;
        }
    }
    if (!ContinuesOrClosesBlock(kind)) StatementBegins();
    if (kind != TokenKind::kOption) sawCode_ = true;

    const OpenBlock& innermost = blocks_.back();
    if (innermost.kind == BlockKind::Select && !innermost.sawCase && kind != TokenKind::kCase &&
        kind != TokenKind::kEnd) {
        Expected("'Case'");
        return;
    }

    if (InClassBody()) {
        switch (kind) {
            case TokenKind::kDim:
            case TokenKind::kPrivate:
            case TokenKind::kPublic:
            case TokenKind::kConst:
            case TokenKind::kSub:
            case TokenKind::kFunction:
            case TokenKind::kEnd:
            case TokenKind::kClass:
                break;
            default:
                if (AtWord(Word::Property)) break;
                ErrorHere("Expected statement (a Class holds declarations and procedures only)");
                return;
        }
    }

    switch (kind) {
        case TokenKind::kOption:
            OptionStatement();
            return;
        case TokenKind::kDim:
            Advance();
            DimStatement(DeclarationKind::Variable, 0);
            return;
        case TokenKind::kReDim:
            ReDimStatement();
            return;
        case TokenKind::kConst:
            Advance();
            ConstStatement(0);
            return;
        case TokenKind::kPrivate:
        case TokenKind::kPublic:
            VisibilityStatement();
            return;
        case TokenKind::kSub:
        case TokenKind::kFunction:
            ProcedureStatement(tok_.offset, Visibility::Unstated, false);
            return;
        case TokenKind::kClass:
            ClassStatement(tok_.offset);
            return;
        case TokenKind::kIf:
            IfStatement();
            return;
        case TokenKind::kElseIf:
            ElseIfStatement();
            return;
        case TokenKind::kElse:
            ElseStatement();
            return;
        case TokenKind::kSelect:
            SelectStatement();
            return;
        case TokenKind::kCase:
            CaseStatement();
            return;
        case TokenKind::kFor:
            ForStatement();
            return;
        case TokenKind::kNext:
            NextStatement();
            return;
        case TokenKind::kDo:
            DoStatement();
            return;
        case TokenKind::kLoop:
            LoopStatement();
            return;
        case TokenKind::kWhile:
            WhileStatement();
            return;
        case TokenKind::kWend:
            WendStatement();
            return;
        case TokenKind::kWith:
            WithStatement();
            return;
        case TokenKind::kEnd:
            EndBlockStatement();
            return;
        case TokenKind::kExit:
            ExitStatement();
            return;
        case TokenKind::kOn:
            OnErrorStatement();
            return;
        case TokenKind::kErase:
            EraseStatement();
            return;
        case TokenKind::kCall:
            Advance();
            CallOrAssignment(false, true);
            return;
        case TokenKind::kSet:
            Advance();
            CallOrAssignment(true, false);
            return;
        case TokenKind::kIdentifier:
        case TokenKind::kMe:
        case TokenKind::kDot:
            break;
        case TokenKind::kInteger:
            ErrorHere("Expected statement (VBScript has no line numbers)");
            return;
        default:
            ErrorHere("Expected statement");
            return;
    }

    if (AtWord(Word::Property)) {
        const Token& next = Peek();
        const bool getOrLet = next.kind == TokenKind::kIdentifier &&
                              (next.nameId == IdOf(Word::Get) || next.nameId == IdOf(Word::Let));
        if (getOrLet || next.kind == TokenKind::kSet) {
            ProcedureStatement(tok_.offset, Visibility::Unstated, false);
            return;
        }
    }
    if (AtWord(Word::Let) && Peek().kind == TokenKind::kIdentifier) Advance();
    if (AtWord(Word::Stop)) {
        const TokenKind next = Peek().kind;
        if (next == TokenKind::kNewline || next == TokenKind::kColon ||
            next == TokenKind::kEndOfText) {
            Advance();
            return;
        }
    }
    CallOrAssignment(false, false);
}

void Parser::EndStatement() {
    StatementEnds();
    if (continues_) {
        continues_ = false;
        return;
    }
    if (At(TokenKind::kColon)) {
        Advance();
        return;
    }
    if (At(TokenKind::kNewline) || At(TokenKind::kEndOfText)) return;
    if (At(TokenKind::kElse) && !inlineIfs_.empty()) return;
    if (AtWord(Word::As))
        ErrorHere("Expected end of statement (VBScript has no 'As' types)");
    else
        ErrorHere("Expected end of statement");
}

void Parser::InlineElse() {
    // The Else belongs to the innermost single-line If that has none yet.
    while (!inlineIfs_.empty() && inlineIfs_.back().sawElse) inlineIfs_.pop_back();
    if (inlineIfs_.empty()) {
        ErrorHere("'Else' without 'If'");
        return;
    }
    inlineIfs_.back().sawElse = true;
    Advance();
}

void Parser::OptionStatement() {
    const TextRange start = TokenRange();
    Advance();
    if (!AtWord(Word::Explicit)) {
        Expected("'Explicit' (VBScript has Option Explicit only)");
        return;
    }
    Advance();
    if (sawCode_ || procedure_ != kNone) {
        Error(RangeBetween(start.offset, previousEnd_),
              "Expected statement (Option Explicit must come before any other statement)");
        return;
    }
    tree_.optionExplicit = true;
}

void Parser::DimStatement(DeclarationKind kind, std::uint8_t flags) {
    for (;;) {
        if (!At(TokenKind::kIdentifier)) {
            Expected("identifier");
            return;
        }
        const Token name = tok_;
        Advance();
        std::uint8_t nameFlags = flags;
        if (At(TokenKind::kLeftParen)) {
            nameFlags |= kArray;
            (void)Arguments();
        }
        AddDeclaration(name, kind, nameFlags);
        if (AtWord(Word::As)) {
            ErrorHere("Expected end of statement (VBScript has no 'As' types)");
            return;
        }
        if (At(TokenKind::kEqual)) {
            ErrorHere("Expected end of statement (a declaration takes no value in VBScript)");
            return;
        }
        if (!Accept(TokenKind::kComma)) return;
    }
}

void Parser::ConstStatement(std::uint8_t flags) {
    for (;;) {
        if (!At(TokenKind::kIdentifier)) {
            Expected("identifier");
            return;
        }
        const Token name = tok_;
        Advance();
        if (AtWord(Word::As)) {
            ErrorHere("Expected '=' (VBScript has no 'As' types)");
            return;
        }
        if (!Expect(TokenKind::kEqual, "'='")) return;
        Expression();
        AddDeclaration(name, DeclarationKind::Constant, flags);
        if (!Accept(TokenKind::kComma)) return;
    }
}

void Parser::ReDimStatement() {
    Advance();
    if (At(TokenKind::kPreserve)) Advance();
    for (;;) {
        if (!At(TokenKind::kIdentifier)) {
            Expected("identifier");
            return;
        }
        const Token name = tok_;
        Advance();
        if (!At(TokenKind::kLeftParen)) {
            Expected("'('");
            return;
        }
        (void)Arguments();
        AddDeclaration(name, DeclarationKind::ReDim, kArray);
        if (AtWord(Word::As)) {
            ErrorHere("Expected end of statement (VBScript has no 'As' types)");
            return;
        }
        if (!Accept(TokenKind::kComma)) return;
    }
}

void Parser::EraseStatement() {
    Advance();
    for (;;) {
        if (!At(TokenKind::kIdentifier)) {
            Expected("identifier");
            return;
        }
        AddReference(tok_, ReferenceKind::Write);
        Advance();
        if (!Accept(TokenKind::kComma)) return;
    }
}

void Parser::VisibilityStatement() {
    const std::uint32_t start = tok_.offset;
    const bool isPublic = At(TokenKind::kPublic);
    const Visibility visibility = isPublic ? Visibility::Public : Visibility::Private;
    const std::uint8_t flags = isPublic ? kPublic : kPrivate;
    Advance();
    bool isDefault = false;
    if (AtWord(Word::Default) && isPublic) {
        isDefault = true;
        Advance();
    }
    if (At(TokenKind::kSub) || At(TokenKind::kFunction) || AtWord(Word::Property)) {
        ProcedureStatement(start, visibility, isDefault);
        return;
    }
    if (isDefault) {
        Expected("'Function', 'Sub' or 'Property'");
        return;
    }
    if (At(TokenKind::kConst)) {
        Advance();
        ConstStatement(flags);
        return;
    }
    DimStatement(DeclarationKind::Variable, flags);
}

void Parser::ExitStatement() {
    const std::uint32_t start = tok_.offset;
    Advance();
    bool valid = false;
    std::string_view words;
    switch (tok_.kind) {
        case TokenKind::kFor:
            valid = FindOpen(BlockKind::For) != blocks_.size();
            words = "Exit For";
            break;
        case TokenKind::kDo:
            valid = FindOpen(BlockKind::Do) != blocks_.size();
            words = "Exit Do";
            break;
        case TokenKind::kSub:
        case TokenKind::kFunction:
            valid = procedure_ != kNone &&
                    tree_.procedures[static_cast<std::size_t>(procedure_)].kind ==
                        (At(TokenKind::kSub) ? ProcedureKind::Sub : ProcedureKind::Function);
            words = At(TokenKind::kSub) ? "Exit Sub" : "Exit Function";
            break;
        case TokenKind::kIdentifier:
            if (AtWord(Word::Property)) {
                valid = procedure_ != kNone &&
                        tree_.procedures[static_cast<std::size_t>(procedure_)].kind >=
                            ProcedureKind::PropertyGet;
                words = "Exit Property";
                break;
            }
            [[fallthrough]];
        default:
            Error(RangeBetween(start, tok_.End()), "Invalid 'exit' statement");
            SkipLine();
            return;
    }
    Advance();
    if (!valid) {
        Error(RangeBetween(start, previousEnd_), "Invalid 'exit' statement");
        return;
    }
    // An Exit straight in a block (not on a single-line If) leaves it for
    // good: what follows in the block never runs.
    if (inlineIfs_.empty() && !blocks_.back().unreachable && blocks_.back().exitWords.empty())
        blocks_.back().exitWords = words;
}

void Parser::OnErrorStatement() {
    Advance();
    if (!AtWord(Word::Error)) {
        Expected("'Error'");
        return;
    }
    Advance();
    if (AtWord(Word::Resume)) {
        Advance();
        Expect(TokenKind::kNext, "'Next'");
        return;
    }
    if (AtWord(Word::GoTo)) {
        Advance();
        if (At(TokenKind::kInteger) && text_.substr(tok_.offset, tok_.length) == "0") {
            Advance();
            return;
        }
        ErrorHere("Syntax error (VBScript has On Error GoTo 0 only, no labels)");
        return;
    }
    Expected("'Resume' or 'GoTo'");
}

void Parser::CallOrAssignment(bool isSet, bool callKeyword) {
    const std::uint32_t start = tok_.offset;
    std::int32_t head = kNone;  // the reference of a leading name
    if (At(TokenKind::kIdentifier)) {
        head = static_cast<std::int32_t>(AddReference(tok_, ReferenceKind::Read));
        Advance();
    } else if (At(TokenKind::kMe)) {
        Advance();
    } else if (At(TokenKind::kDot)) {
        Advance();
        if (!IsWord(tok_.kind)) {
            Expected("identifier");
            return;
        }
        Advance();
    } else {
        Expected(callKeyword ? "identifier" : "statement");
        return;
    }

    // The chain of arguments and members after the head: `a(1).b.c(2)`.
    // `Foo (a)` with a blank is the same as `Foo(a)`; a full stop after a
    // blank starts an argument (`Foo .Member` inside With).
    bool headOnly = true;  // nothing but the head and, maybe, its arguments
    bool endsInArguments = false;
    std::uint32_t lastCount = 0;
    std::uint32_t headArguments = 0;
    bool headCalled = false;
    for (;;) {
        if (At(TokenKind::kLeftParen)) {
            lastCount = Arguments();
            endsInArguments = true;
            if (headOnly && !headCalled) {
                headCalled = true;
                headArguments = lastCount;
            } else {
                headOnly = false;
            }
        } else if (At(TokenKind::kDot) && !tok_.SpaceBefore()) {
            Advance();
            if (!IsWord(tok_.kind)) {
                Expected("identifier");
                return;
            }
            Advance();
            headOnly = false;
            endsInArguments = false;
        } else {
            break;
        }
        if (lineHasError_) return;
    }
    if (head != kNone && headCalled && !headOnly) {
        // `Foo(1).Bar`: Foo is called (or indexed) on the way.
        AddCall(static_cast<std::uint32_t>(head), headArguments, CallForm::Expression, start);
    }

    if (At(TokenKind::kEqual) && !callKeyword) {
        if (head != kNone && headOnly)
            tree_.references[static_cast<std::size_t>(head)].kind = ReferenceKind::Write;
        Advance();
        Expression();
        return;
    }
    if (isSet) {
        Expected("'='");
        return;
    }
    if (callKeyword) {
        if (head != kNone && headOnly)
            AddCall(static_cast<std::uint32_t>(head), headArguments, CallForm::CallKeyword, start);
        return;
    }

    // A call statement.
    std::uint32_t count = 0;
    if (endsInArguments && AtStatementEnd()) {
        count = lastCount;
        if (count > 1)
            Error(RangeBetween(start, previousEnd_), "Cannot use parentheses when calling a Sub");
    } else if (endsInArguments && lastCount == 1 && (At(TokenKind::kComma) || AtBinaryOperator())) {
        // `Foo (a) + 1, b`: the parentheses were the start of the first
        // argument, not an argument list.
        Binary(0, true);
        count = 1;
        while (Accept(TokenKind::kComma)) {
            ++count;
            if (!At(TokenKind::kComma) && !AtStatementEnd()) Expression();
        }
    } else if (!endsInArguments) {
        count = BareArguments();
    } else {
        return;  // EndStatement reports what follows
    }
    if (head != kNone && headOnly)
        AddCall(static_cast<std::uint32_t>(head), count, CallForm::Statement, start);
}

}  // namespace vk::language::detail
