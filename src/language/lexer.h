#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "language/line_index.h"
#include "language/name_table.h"
#include "language/text_range.h"
#include "language/tokens.h"

namespace vk::language {

// Cuts a script into tokens for the parser, one at a time, so that memory
// does not grow with the length of a line. Comments, blank lines, directive
// lines (`$OBJECT=Form` at the start of a line, which the host reads) and
// `Rem` lines are folded into the line end before them, and a line continued
// with ` _` runs on as one. Line ends (CR LF, LF, lone CR) are recorded in
// `lines` as they pass, and directive lines in `directives`.
class Lexer {
public:
    Lexer(std::string_view text, NameTable& names, LineIndex& lines,
          std::vector<TextRange>& directives);

    // The next token, written into `token` field by field: the parser
    // reads it where it stands instead of copying it about.
    void Next(Token& token);

private:
    void SkipLineStart();                // blanks, blank lines, comment/directive/Rem lines
    void SkipBlanks();                   // at a blank: it and those after it
    void SkipToLineEnd();                // up to, not including, CR or LF
    bool TakeLineEnd();                  // one CR LF, LF or CR; false when none is here
    [[nodiscard]] bool RemHere() const;  // "Rem" as a word at p_
    [[nodiscard]] bool OperandBefore() const;
    // At `_`: takes it and the line end after it when it continues the line.
    bool ContinuesLine();

    void Word(Token& token);
    void BracketName(Token& token);
    void Number(Token& token);
    void String(Token& token);
    void DateLiteral(Token& token);
    void Ampersand(Token& token);
    void Symbol(Token& token);

    [[nodiscard]] std::uint32_t Offset(const char* at) const noexcept {
        return static_cast<std::uint32_t>(at - begin_);
    }

    const char* const begin_;
    const char* const end_;
    const char* p_;
    NameTable& names_;
    LineIndex& lines_;
    std::vector<TextRange>& directives_;
    TokenKind previous_ = TokenKind::kNewline;
    bool atLineStart_ = true;
};

}  // namespace vk::language
