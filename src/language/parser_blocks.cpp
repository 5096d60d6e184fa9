#include "language/parser_state.h"

namespace vk::language::detail {
namespace {

bool EndsLine(TokenKind kind) noexcept {
    return kind == TokenKind::kNewline || kind == TokenKind::kEndOfText ||
           kind == TokenKind::kColon || kind == TokenKind::kRem;
}

}  // namespace

OpenBlock& Parser::PushBlock(BlockKind kind, TextRange opener, std::uint32_t start) {
    tree_.blocks.push_back({kind, false, blocks_.back().block, {start, 0}});
    OpenBlock block;
    block.kind = kind;
    block.block = static_cast<std::int32_t>(tree_.blocks.size() - 1);
    block.opener = opener;
    block.start = start;
    blocks_.push_back(block);
    return blocks_.back();
}

std::size_t Parser::FindOpen(BlockKind kind) const noexcept {
    for (std::size_t i = blocks_.size() - 1; i >= 1; --i) {
        const BlockKind open = blocks_[i].kind;
        if (open == kind || (kind == BlockKind::For && open == BlockKind::ForEach)) return i;
        // A procedure or class is a wall: a Next there cannot close a For
        // outside it. End Class alone reaches through an open procedure.
        if (open == BlockKind::Class) break;
        if (open == BlockKind::Procedure && kind != BlockKind::Class) break;
    }
    return blocks_.size();
}

std::string Parser::ClosingWords(const OpenBlock& block) const {
    switch (block.kind) {
        case BlockKind::If:
            return "End If";
        case BlockKind::Select:
            return "End Select";
        case BlockKind::For:
        case BlockKind::ForEach:
            return "Next";
        case BlockKind::Do:
            return "Loop";
        case BlockKind::While:
            return "Wend";
        case BlockKind::With:
            return "End With";
        case BlockKind::Class:
            return "End Class";
        case BlockKind::Procedure:
            break;
    }
    const ProcedureKind kind = tree_.procedures[static_cast<std::size_t>(procedure_)].kind;
    return kind == ProcedureKind::Sub        ? "End Sub"
           : kind == ProcedureKind::Function ? "End Function"
                                             : "End Property";
}

void Parser::NotTerminated(const OpenBlock& block) {
    problems_.Add(Severity::Error, DiagnosticCode::Syntax, block.opener,
                  "Expected '" + ClosingWords(block) + "'");
}

void Parser::ReportUnreachable(OpenBlock& block) {
    if (block.unreachable)
        problems_.Add(Severity::Warning, DiagnosticCode::UnreachableCode,
                      RangeBetween(block.unreachableStart, block.unreachableEnd),
                      "Unreachable code after '" + std::string(block.exitWords) + "'");
    block.unreachable = false;
    block.exitWords = {};
}

void Parser::BranchBegins(OpenBlock& block) { ReportUnreachable(block); }

void Parser::StatementBegins() {
    OpenBlock& block = blocks_.back();
    if (!block.exitWords.empty() && !block.unreachable && inlineIfs_.empty()) {
        block.unreachable = true;
        block.unreachableStart = tok_.offset;
        block.unreachableEnd = tok_.End();
    }
}

void Parser::StatementEnds() {
    OpenBlock& block = blocks_.back();
    if (block.unreachable && previousEnd_ > block.unreachableEnd)
        block.unreachableEnd = previousEnd_;
}

void Parser::CloseTop(bool terminated) {
    OpenBlock& block = blocks_.back();
    ReportUnreachable(block);
    if (!terminated) NotTerminated(block);
    Block& record = tree_.blocks[static_cast<std::size_t>(block.block)];
    record.terminated = terminated;
    record.range = RangeBetween(block.start, previousEnd_);
    if (block.kind == BlockKind::Procedure) {
        Procedure& procedure = tree_.procedures[static_cast<std::size_t>(procedure_)];
        procedure.terminated = terminated;
        procedure.range = record.range;
        procedure_ = kNone;
        scope_ = class_ != kNone ? classScope_ : 0;
    } else if (block.kind == BlockKind::Class) {
        ClassDefinition& definition = tree_.classes[static_cast<std::size_t>(class_)];
        definition.terminated = terminated;
        definition.range = record.range;
        class_ = kNone;
        classScope_ = 0;
        scope_ = 0;
    }
    blocks_.pop_back();
}

void Parser::CloseAbove(std::size_t index) {
    while (blocks_.size() > index + 1) CloseTop(false);
}

void Parser::CloseToScriptOrClassLevel() {
    while (blocks_.size() > 1 && blocks_.back().kind != BlockKind::Class) CloseTop(false);
}

void Parser::IfStatement() {
    const TextRange opener = TokenRange();
    Advance();
    Expression();
    bool block = false;
    if (Accept(TokenKind::kThen)) {
        // `If a Then` and the line end (or a colon, which the engine takes as
        // one) opens a block; a statement after Then makes a single-line If.
        block = EndsLine(tok_.kind);
    } else {
        const bool conditionFailed = lineHasError_;
        const bool atLineEnd = At(TokenKind::kNewline) || At(TokenKind::kEndOfText);
        Expected("'Then'");
        // `If a = b` alone on its line was meant as a block, and so was a
        // line whose error came before its final Then.
        block = previousKind_ == TokenKind::kThen || (atLineEnd && !conditionFailed);
    }
    if (block) {
        PushBlock(BlockKind::If, opener, opener.offset);
        return;
    }
    if (lineHasError_) return;
    inlineIfs_.push_back({});
    continues_ = true;
}

void Parser::ElseIfStatement() {
    const std::size_t index = FindOpen(BlockKind::If);
    if (index == blocks_.size()) {
        ErrorHere("'ElseIf' without 'If'");
        return;
    }
    CloseAbove(index);
    BranchBegins(blocks_.back());
    Advance();
    Expression();
    if (!Accept(TokenKind::kThen)) {
        Expected("'Then'");
        return;
    }
    continues_ = !EndsLine(tok_.kind);
}

void Parser::ElseStatement() {
    const std::size_t index = FindOpen(BlockKind::If);
    if (index == blocks_.size()) {
        ErrorHere("'Else' without 'If'");
        return;
    }
    CloseAbove(index);
    BranchBegins(blocks_.back());
    blocks_.back().sawElse = true;
    Advance();
    continues_ = !EndsLine(tok_.kind);
}

void Parser::SelectStatement() {
    const TextRange opener = TokenRange();
    Advance();
    if (Expect(TokenKind::kCase, "'Case'")) Expression();
    PushBlock(BlockKind::Select, opener, opener.offset);
}

void Parser::CaseStatement() {
    const std::size_t index = FindOpen(BlockKind::Select);
    if (index == blocks_.size()) {
        ErrorHere("'Case' without 'Select'");
        return;
    }
    CloseAbove(index);
    OpenBlock& select = blocks_.back();
    BranchBegins(select);
    select.sawCase = true;
    Advance();
    if (Accept(TokenKind::kElse)) {
        select.sawElse = true;
        continues_ = !EndsLine(tok_.kind);
        return;
    }
    if (At(TokenKind::kIs)) {
        ErrorHere("Expected expression (VBScript has no 'Case Is')");
        return;
    }
    for (;;) {
        Expression();
        if (At(TokenKind::kTo)) {
            ErrorHere("Expected end of statement (VBScript has no 'Case x To y')");
            return;
        }
        if (!Accept(TokenKind::kComma)) return;
    }
}

void Parser::ForStatement() {
    const TextRange opener = TokenRange();
    Advance();
    const bool each = Accept(TokenKind::kEach);
    // The header is read as far as it goes; the block opens either way, so
    // that its Next still finds it.
    [&] {
        if (!At(TokenKind::kIdentifier)) {
            Expected("identifier");
            return;
        }
        AddReference(tok_, ReferenceKind::Write);
        Advance();
        if (each) {
            if (Expect(TokenKind::kIn, "'In'")) Expression();
            return;
        }
        if (!Expect(TokenKind::kEqual, "'='")) return;
        Expression();
        if (!Expect(TokenKind::kTo, "'To'")) return;
        Expression();
        if (AtWord(Word::Step)) {
            Advance();
            Expression();
        }
    }();
    PushBlock(each ? BlockKind::ForEach : BlockKind::For, opener, opener.offset);
}

void Parser::NextStatement() {
    const std::size_t index = FindOpen(BlockKind::For);
    if (index == blocks_.size()) {
        ErrorHere("'Next' without 'For'");
        return;
    }
    CloseAbove(index);
    Advance();
    // `Next i` names the variable, as VBA writes it.
    if (At(TokenKind::kIdentifier)) Advance();
    CloseTop(true);
}

void Parser::DoStatement() {
    const TextRange opener = TokenRange();
    Advance();
    if (At(TokenKind::kWhile) || At(TokenKind::kUntil)) {
        Advance();
        Expression();
    }
    PushBlock(BlockKind::Do, opener, opener.offset);
}

void Parser::LoopStatement() {
    const std::size_t index = FindOpen(BlockKind::Do);
    if (index == blocks_.size()) {
        ErrorHere("'Loop' without 'Do'");
        return;
    }
    CloseAbove(index);
    Advance();
    if (At(TokenKind::kWhile) || At(TokenKind::kUntil)) {
        Advance();
        Expression();
    }
    CloseTop(true);
}

void Parser::WhileStatement() {
    const TextRange opener = TokenRange();
    Advance();
    Expression();
    PushBlock(BlockKind::While, opener, opener.offset);
}

void Parser::WendStatement() {
    const std::size_t index = FindOpen(BlockKind::While);
    if (index == blocks_.size()) {
        ErrorHere("'Wend' without 'While'");
        return;
    }
    CloseAbove(index);
    Advance();
    CloseTop(true);
}

void Parser::WithStatement() {
    const TextRange opener = TokenRange();
    Advance();
    Expression();
    PushBlock(BlockKind::With, opener, opener.offset);
}

void Parser::EndBlockStatement() {
    const Token end = tok_;
    const Token& what = Peek();
    BlockKind kind = BlockKind::If;
    std::string_view words;
    std::string_view opener;
    ProcedureKind procedureKind = ProcedureKind::Sub;
    switch (what.kind) {
        case TokenKind::kIf:
            kind = BlockKind::If, words = "End If", opener = "If";
            break;
        case TokenKind::kSelect:
            kind = BlockKind::Select, words = "End Select", opener = "Select Case";
            break;
        case TokenKind::kWith:
            kind = BlockKind::With, words = "End With", opener = "With";
            break;
        case TokenKind::kClass:
            kind = BlockKind::Class, words = "End Class", opener = "Class";
            break;
        case TokenKind::kSub:
            kind = BlockKind::Procedure, words = "End Sub", opener = "Sub";
            break;
        case TokenKind::kFunction:
            kind = BlockKind::Procedure, words = "End Function", opener = "Function";
            procedureKind = ProcedureKind::Function;
            break;
        case TokenKind::kIdentifier:
            if (what.nameId == IdOf(Word::Property)) {
                kind = BlockKind::Procedure, words = "End Property", opener = "Property";
                procedureKind = ProcedureKind::PropertyGet;
                break;
            }
            [[fallthrough]];
        default:
            Advance();
            Expected("'If', 'Sub', 'Function', 'Property', 'Select', 'With' or 'Class'");
            return;
    }
    const TextRange range = RangeBetween(end.offset, what.End());
    const std::size_t index = FindOpen(kind);
    if (index == blocks_.size()) {
        Error(range, "'" + std::string(words) + "' without '" + std::string(opener) + "'");
        SkipLine();
        return;
    }
    CloseAbove(index);
    if (kind == BlockKind::Procedure) {
        // End Function closing a Sub: said, and taken as its end.
        const ProcedureKind open = tree_.procedures[static_cast<std::size_t>(procedure_)].kind;
        const bool property = open >= ProcedureKind::PropertyGet;
        const bool matches =
            property ? procedureKind == ProcedureKind::PropertyGet : procedureKind == open;
        if (!matches) Error(range, "Expected '" + ClosingWords(blocks_.back()) + "'");
    }
    Advance();
    Advance();
    CloseTop(true);
}

void Parser::ProcedureStatement(std::uint32_t start, Visibility visibility, bool isDefault) {
    // A procedure stands at script level or straight inside a class; one
    // met inside another means the other's end is missing.
    CloseToScriptOrClassLevel();
    const TextRange opener = TokenRange();
    ProcedureKind kind = ProcedureKind::Sub;
    if (At(TokenKind::kFunction)) {
        kind = ProcedureKind::Function;
        Advance();
    } else if (At(TokenKind::kSub)) {
        Advance();
    } else {
        Advance();  // Property
        if (AtWord(Word::Get)) {
            kind = ProcedureKind::PropertyGet;
        } else if (AtWord(Word::Let)) {
            kind = ProcedureKind::PropertyLet;
        } else if (At(TokenKind::kSet)) {
            kind = ProcedureKind::PropertySet;
        } else {
            Expected("'Get', 'Let' or 'Set'");
            return;
        }
        Advance();
        if (class_ == kNone)
            Error(RangeBetween(start, previousEnd_), "Must be defined inside a Class");
    }

    const auto index = static_cast<std::int32_t>(tree_.procedures.size());
    Procedure procedure;
    procedure.kind = kind;
    procedure.visibility = visibility;
    procedure.isDefault = isDefault;
    procedure.classIndex = class_;
    procedure.range = {start, 0};
    const bool named = At(TokenKind::kIdentifier);
    if (named) {
        procedure.name = TokenRange();
        const std::uint8_t flags = visibility == Visibility::Public    ? kPublic
                                   : visibility == Visibility::Private ? kPrivate
                                                                       : 0;
        procedure.declaration = static_cast<std::int32_t>(
            AddDeclaration(tok_, DeclarationKind::Procedure, flags, index));
    }
    tree_.procedures.push_back(procedure);
    procedure_ = index;
    scope_ = AddScope(ScopeKind::Procedure, index);
    tree_.procedures.back().scope = scope_;
    tree_.procedures.back().firstParameter = static_cast<std::uint32_t>(tree_.declarations.size());
    PushBlock(BlockKind::Procedure, opener, start);

    if (!named) {
        Expected("identifier");
        return;
    }
    Advance();
    if (At(TokenKind::kLeftParen)) Parameters(tree_.procedures.back());
    if (lineHasError_) return;
    if (AtWord(Word::As)) ErrorHere("Expected end of statement (VBScript has no 'As' types)");
}

void Parser::Parameters(Procedure& procedure) {
    Advance();
    if (Accept(TokenKind::kRightParen)) return;
    for (;;) {
        if (AtWord(Word::Optional) || AtWord(Word::ParamArray)) {
            ErrorHere("Expected identifier (VBScript has no Optional or ParamArray arguments)");
            return;
        }
        std::uint8_t flags = 0;
        if (Accept(TokenKind::kByVal))
            flags = kByVal;
        else if (Accept(TokenKind::kByRef))
            flags = kByRef;
        if (!At(TokenKind::kIdentifier)) {
            Expected("identifier");
            return;
        }
        const Token name = tok_;
        Advance();
        if (At(TokenKind::kLeftParen)) {
            Advance();
            if (!Expect(TokenKind::kRightParen, "')'")) return;
            flags |= kArray;
        }
        AddDeclaration(name, DeclarationKind::Parameter, flags);
        ++procedure.parameterCount;
        if (AtWord(Word::As)) {
            ErrorHere("Expected ')' (VBScript has no 'As' types)");
            return;
        }
        if (At(TokenKind::kEqual)) {
            ErrorHere("Expected ')' (VBScript has no default values)");
            return;
        }
        if (Accept(TokenKind::kComma)) continue;
        Expect(TokenKind::kRightParen, "')'");
        return;
    }
}

void Parser::ClassStatement(std::uint32_t start) {
    // Classes stand at script level only.
    while (blocks_.size() > 1) CloseTop(false);
    const TextRange opener = TokenRange();
    Advance();
    const auto index = static_cast<std::int32_t>(tree_.classes.size());
    ClassDefinition definition;
    definition.range = {start, 0};
    const bool named = At(TokenKind::kIdentifier);
    if (named) {
        definition.name = TokenRange();
        definition.declaration =
            static_cast<std::int32_t>(AddDeclaration(tok_, DeclarationKind::Class, 0, index));
    }
    tree_.classes.push_back(definition);
    class_ = index;
    classScope_ = AddScope(ScopeKind::Class, index);
    scope_ = classScope_;
    tree_.classes.back().scope = classScope_;
    PushBlock(BlockKind::Class, opener, start);
    if (!named) {
        Expected("identifier");
        return;
    }
    Advance();
}

}  // namespace vk::language::detail
