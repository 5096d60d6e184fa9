#include "language/caret_context.h"

#include <algorithm>
#include <vector>

#include "common/text_helpers.h"

namespace vk::language {
namespace {

// How far back the statement around the caret is looked for.
constexpr std::uint32_t kLookBack = 64 * 1024;
// Deeper nesting of parentheses than this is not followed.
constexpr std::size_t kMaxFrames = 256;

constexpr bool IsNameChar(char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}
constexpr bool IsNameStart(char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }
constexpr bool IsLineEnd(char c) noexcept { return c == '\r' || c == '\n'; }
constexpr bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

// Whether a physical line goes on in the next one: its code (outside strings
// and comments) ends in a `_` that stands alone.
bool Continues(std::string_view line) {
    std::size_t end = 0;  // just after the last character of code
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') inString = !inString;
        if (!inString && c == '\'') break;
        if (!IsBlank(c)) end = i + 1;
    }
    if (inString || end == 0 || line[end - 1] != '_') return false;
    return end == 1 || IsBlank(line[end - 2]);
}

// The start of the statement's first physical line.
std::uint32_t LogicalLineStart(std::string_view text, std::uint32_t offset) {
    const std::uint32_t floor = offset > kLookBack ? offset - kLookBack : 0;
    auto lineStart = [&](std::uint32_t at) {
        while (at > floor && !IsLineEnd(text[at - 1])) --at;
        return at;
    };
    std::uint32_t start = lineStart(offset);
    while (start > floor) {
        // The line before: skip its line end (CR LF, LF or CR).
        std::uint32_t end = start - 1;
        if (text[end] == '\n' && end > floor && text[end - 1] == '\r') --end;
        const std::uint32_t previous = lineStart(end);
        if (!Continues(text.substr(previous, end - previous))) break;
        start = previous;
    }
    return start;
}

enum class Kind : std::uint8_t { Word, Dot, Open, Close, Comma, String, Number, Operator };

struct Token {
    Kind kind;
    TextRange range;
    bool spaceBefore = false;
};

// A parenthesis that is open at the caret.
struct Frame {
    OpenCall call;
    bool named = false;
    std::uint32_t tokensInArgument = 0;
    std::vector<std::string> strings;  // the arguments that are a string alone, by index
    std::string connectedCategory;     // FieldValue( after Connection("x", "category").
};

class Reader {
public:
    Reader(std::string_view text, std::uint32_t start, std::uint32_t caret)
        : text_(text), at_(start), caret_(caret) {}

    CaretContext Read();

private:
    std::string_view Text(TextRange r) const { return text_.substr(r.offset, r.length); }
    std::string Lower(TextRange r) const { return FoldAsciiCase(Text(r)); }

    void StartStatement() {
        frames_.clear();
        statement_.reset();
        statementWords_ = 0;
        firstWord_.clear();
        secondWord_.clear();
        chainStart_ = 0;
        declaringValue_ = false;
        pendingCategory_.clear();
    }
    void Push(const Token& token);
    void NameStatementCall(bool spaceBefore) {
        if (statement_ && !statement_->named && frames_.empty() && spaceBefore)
            statement_->named = true;
    }
    void Add(const Token& token);
    // The names and full stops that end at `last` (an index into tokens_),
    // as "Form.Runtime"; "?" when something else stands before a full stop.
    std::string ChainBefore(std::size_t end) const;
    bool Declaring() const;
    void Finish(CaretContext& context, TextRange typed, bool inString, std::uint32_t stringStart);
    std::optional<OpenCall> InnermostCall() const;

    std::string_view text_;
    std::uint32_t at_;
    std::uint32_t caret_;
    std::vector<Token> tokens_;  // of the current statement
    std::vector<Frame> frames_;
    std::optional<Frame> statement_;  // a call statement without parentheses
    std::uint32_t statementWords_ = 0;
    std::string firstWord_, secondWord_;  // lower case
    std::size_t chainStart_ = 0;
    bool declaringValue_ = false;  // after `=` in Const
    std::string pendingCategory_;  // the category of a Connection("x", "c") just closed
};

std::string Reader::ChainBefore(std::size_t end) const {
    // tokens_[end - 1] is the full stop.
    std::string chain;
    std::size_t i = end - 1;
    bool wantWord = true;
    while (i > 0) {
        const Token& t = tokens_[i - 1];
        if (wantWord && t.kind == Kind::Word && !(i < end - 1 && tokens_[i].spaceBefore)) {
            chain.insert(0, Text(t.range));
        } else if (!wantWord && t.kind == Kind::Dot && !tokens_[i].spaceBefore) {
            chain.insert(0, ".");
        } else {
            break;
        }
        wantWord = !wantWord;
        --i;
        if (i > 0 && tokens_[i].spaceBefore && !wantWord) break;
    }
    if (chain.empty()) {
        // `.Name` inside With, or an object that is no plain name: `x(1).`
        if (end >= 2 && !tokens_[end - 1].spaceBefore &&
            (tokens_[end - 2].kind == Kind::Close || tokens_[end - 2].kind == Kind::String))
            return "?";
        return {};
    }
    if (chain.front() == '.') return "?";
    return chain;
}

bool Reader::Declaring() const {
    if (!frames_.empty() || declaringValue_) return false;
    if (firstWord_ == "dim" || firstWord_ == "const") return true;
    if (firstWord_ == "private" || firstWord_ == "public")
        return secondWord_ != "sub" && secondWord_ != "function" && secondWord_ != "property" &&
               secondWord_ != "class" && secondWord_ != "default" && secondWord_ != "const" &&
               secondWord_ != "dim";
    return false;
}

void Reader::Add(const Token& token) {
    // A call statement: the statement's first name (or chain of names)
    // followed by a blank and something other than `=`.
    if (statement_ && !statement_->named && frames_.empty()) {
        if (token.kind == Kind::Operator && Text(token.range) == "=") {
            statement_.reset();
        } else if (token.spaceBefore && token.kind != Kind::Dot) {
            statement_->named = true;  // its arguments begin
        } else if (token.kind != Kind::Word && token.kind != Kind::Dot) {
            statement_.reset();
        }
    }
    Frame* frame = !frames_.empty() ? &frames_.back()
                                    : (statement_ && statement_->named ? &*statement_ : nullptr);
    switch (token.kind) {
        case Kind::Open: {
            Frame opened;
            const std::size_t n = tokens_.size();
            if (n > 0 && tokens_[n - 1].kind == Kind::Word) {
                const Token& name = tokens_[n - 1];
                opened.named = true;
                opened.call.name = std::string(Text(name.range));
                opened.call.nameRange = name.range;
                opened.call.object = n >= 2 && tokens_[n - 2].kind == Kind::Dot && !name.spaceBefore
                                         ? ChainBefore(n - 1)
                                         : std::string();
                if (EqualsIgnoringAsciiCase(opened.call.name, "FieldValue") &&
                    !pendingCategory_.empty())
                    opened.connectedCategory = pendingCategory_;
            }
            if (frame) ++frame->tokensInArgument;
            // A statement's first name opened straight away is a call with
            // parentheses, not a statement call.
            if (statement_ && !statement_->named) statement_.reset();
            if (frames_.size() < kMaxFrames) frames_.push_back(std::move(opened));
            break;
        }
        case Kind::Close:
            pendingCategory_.clear();
            if (!frames_.empty()) {
                const Frame closed = std::move(frames_.back());
                frames_.pop_back();
                if (closed.named && EqualsIgnoringAsciiCase(closed.call.name, "Connection") &&
                    closed.strings.size() >= 2 && !closed.strings[1].empty())
                    pendingCategory_ = closed.strings[1];
            }
            break;
        case Kind::Comma:
            if (frame) {
                ++frame->call.argument;
                frame->tokensInArgument = 0;
            }
            if (frames_.empty()) declaringValue_ = false;
            break;
        case Kind::String:
            if (frame) {
                if (frame->tokensInArgument == 0) {
                    frame->strings.resize(frame->call.argument + 1);
                    std::string value(Text({token.range.offset + 1,
                                            token.range.length >= 2 ? token.range.length - 2 : 0}));
                    frame->strings[frame->call.argument] = std::move(value);
                }
                ++frame->tokensInArgument;
            }
            break;
        case Kind::Dot:
        case Kind::Word:
            if (frame) ++frame->tokensInArgument;
            if (token.kind == Kind::Word &&
                !(tokens_.size() > 0 && tokens_.back().kind == Kind::Dot && !token.spaceBefore))
                pendingCategory_.clear();
            break;
        default:
            if (frame) ++frame->tokensInArgument;
            if (token.kind == Kind::Operator && Text(token.range) == "=" && firstWord_ == "const")
                declaringValue_ = true;
            pendingCategory_.clear();
            break;
    }
    tokens_.push_back(token);
}

std::optional<OpenCall> Reader::InnermostCall() const {
    for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame)
        if (frame->named) return frame->call;
    if (statement_ && statement_->named) return statement_->call;
    return std::nullopt;
}

void Reader::Finish(CaretContext& context, TextRange typed, bool inString,
                    std::uint32_t stringStart) {
    context.call = InnermostCall();
    context.typed = typed;
    if (inString) {
        const Frame* frame = !frames_.empty()
                                 ? &frames_.back()
                                 : (statement_ && statement_->named ? &*statement_ : nullptr);
        if (!frame || !frame->named || frame->tokensInArgument != 0) return;
        const std::string& name = frame->call.name;
        const std::uint32_t argument = frame->call.argument;
        context.typed = RangeBetween(stringStart, caret_);
        if (argument == 0 && (EqualsIgnoringAsciiCase(name, "Field") ||
                              EqualsIgnoringAsciiCase(name, "MoveToField"))) {
            context.nameArgument = NameArgument::Field;
        } else if (argument == 0 && EqualsIgnoringAsciiCase(name, "FieldValue")) {
            context.nameArgument = frame->connectedCategory.empty() ? NameArgument::Field
                                                                    : NameArgument::ConnectedField;
            context.argumentOf = frame->connectedCategory;
        } else if (EqualsIgnoringAsciiCase(name, "Connection") && argument <= 1) {
            if (argument == 0) {
                context.nameArgument = NameArgument::Connection;
            } else {
                if (frame->strings.empty()) return;  // the connection is not named by a string
                context.nameArgument = NameArgument::ConnectionCategory;
                context.argumentOf = frame->strings[0];
            }
        } else {
            return;
        }
        context.place = CaretPlace::NameString;
        return;
    }

    const std::size_t n = tokens_.size();
    if (n > 0 && tokens_[n - 1].kind == Kind::Dot && typed.offset == tokens_[n - 1].range.End()) {
        context.place = CaretPlace::Member;
        context.object = ChainBefore(n);
        return;
    }
    if (n > 0 && tokens_[n - 1].kind == Kind::Number && typed.offset == tokens_[n - 1].range.End())
        return;  // 12abc
    if (n > 0 && tokens_[n - 1].kind == Kind::Word) {
        const std::string previous = Lower(tokens_[n - 1].range);
        static constexpr std::string_view kDeclaring[] = {"dim", "const", "sub", "function",
                                                          "class"};
        for (const std::string_view word : kDeclaring)
            if (previous == word) {
                context.place = CaretPlace::NewName;
                context.declaring = previous;
                return;
            }
        if ((previous == "get" || previous == "let" || previous == "set") && n >= 2 &&
            Lower(tokens_[n - 2].range) == "property") {
            context.place = CaretPlace::NewName;
            context.declaring = "property";
            return;
        }
    }
    if (Declaring() && n > 0 &&
        (tokens_[n - 1].kind == Kind::Comma ||
         (tokens_[n - 1].kind == Kind::Word && statementWords_ <= 2))) {
        context.place = CaretPlace::NewName;
        context.declaring = firstWord_;
        return;
    }
    context.place = CaretPlace::Code;
}

void Reader::Push(const Token& token) {
    if (token.kind == Kind::Word) {
        const std::string lower = Lower(token.range);
        const bool afterDot = !tokens_.empty() && tokens_.back().kind == Kind::Dot;
        if (!afterDot) {
            ++statementWords_;
            if (statementWords_ == 1) firstWord_ = lower;
            if (statementWords_ == 2) secondWord_ = lower;
        }
        if (!afterDot && (lower == "then" || lower == "else") && frames_.empty()) {
            // A single-line If: a statement starts after Then / Else.
            tokens_.clear();
            StartStatement();
            return;
        }
        if (statementWords_ == 1 && !afterDot && lower != "call") {
            Frame call;
            call.call.name = std::string(Text(token.range));
            call.call.nameRange = token.range;
            call.call.parenthesized = false;
            statement_ = std::move(call);
            chainStart_ = tokens_.size();
            tokens_.push_back(token);
            return;
        }
        if (statement_ && !statement_->named && afterDot && !token.spaceBefore) {
            // Form.MoveToField "x": the call is the chain's last name.
            statement_->call.object = ChainBefore(tokens_.size());
            statement_->call.name = std::string(Text(token.range));
            statement_->call.nameRange = token.range;
            tokens_.push_back(token);
            return;
        }
    }
    Add(token);
}

CaretContext Reader::Read() {
    CaretContext context;
    StartStatement();
    bool spaceBefore = false;
    while (at_ < caret_) {
        const char c = text_[at_];
        const std::uint32_t start = at_;
        if (IsBlank(c) || IsLineEnd(c)) {
            spaceBefore = true;
            ++at_;
            continue;
        }
        if (c == '_' && (at_ + 1 >= text_.size() || !IsNameChar(text_[at_ + 1]))) {
            // A line continuation: the statement runs on.
            spaceBefore = true;
            ++at_;
            continue;
        }
        if (c == '\'') return context;  // a comment
        if (c == '"') {
            std::uint32_t i = at_ + 1;
            bool closed = false;
            while (i < text_.size() && !IsLineEnd(text_[i])) {
                if (text_[i] == '"') {
                    if (i + 1 < text_.size() && text_[i + 1] == '"') {
                        i += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                ++i;
            }
            if (!closed || i >= caret_) {
                // The caret is inside this string, an argument of a call
                // statement when a blank parts it from the statement's name.
                NameStatementCall(spaceBefore);
                Finish(context, {caret_, 0}, true, at_ + 1);
                return context;
            }
            at_ = i + 1;
            Push({Kind::String, RangeBetween(start, at_), spaceBefore});
        } else if (IsNameStart(c) || c == '_') {
            while (at_ < text_.size() && IsNameChar(text_[at_])) ++at_;
            if (at_ >= caret_) {
                const bool member = !tokens_.empty() && tokens_.back().kind == Kind::Dot;
                if (!member) NameStatementCall(spaceBefore);
                Finish(context, RangeBetween(start, caret_), false, 0);
                return context;
            }
            const TextRange word = RangeBetween(start, at_);
            if (tokens_.empty() && EqualsIgnoringAsciiCase(Text(word), "rem"))
                return context;  // a Rem comment
            Push({Kind::Word, word, spaceBefore});
        } else if (c == '[') {
            while (at_ < text_.size() && text_[at_] != ']' && !IsLineEnd(text_[at_])) ++at_;
            if (at_ >= caret_) return context;  // inside a bracketed name
            ++at_;
            Push({Kind::Word, RangeBetween(start, at_), spaceBefore});
        } else if (IsDigit(c) || (c == '&' && at_ + 1 < text_.size() &&
                                  (text_[at_ + 1] == 'H' || text_[at_ + 1] == 'h' ||
                                   text_[at_ + 1] == 'O' || text_[at_ + 1] == 'o'))) {
            ++at_;
            while (at_ < text_.size() && (IsNameChar(text_[at_]) || text_[at_] == '.')) ++at_;
            if (at_ >= caret_) return context;
            Push({Kind::Number, RangeBetween(start, at_), spaceBefore});
        } else if (c == '#') {
            // A date literal.
            ++at_;
            while (at_ < text_.size() && text_[at_] != '#' && !IsLineEnd(text_[at_])) ++at_;
            if (at_ >= caret_) return context;
            ++at_;
            Push({Kind::Number, RangeBetween(start, at_), spaceBefore});
        } else if (c == '$' && tokens_.empty()) {
            return context;  // a directive line
        } else {
            ++at_;
            const TextRange range = RangeBetween(start, at_);
            if (c == ':') {
                tokens_.clear();
                StartStatement();
            } else if (c == '.') {
                Push({Kind::Dot, range, spaceBefore});
            } else if (c == '(') {
                Push({Kind::Open, range, spaceBefore});
            } else if (c == ')') {
                Push({Kind::Close, range, spaceBefore});
            } else if (c == ',') {
                Push({Kind::Comma, range, spaceBefore});
            } else {
                Push({Kind::Operator, range, spaceBefore});
            }
        }
        spaceBefore = false;
    }
    NameStatementCall(spaceBefore);  // `MsgBox |`
    Finish(context, {caret_, 0}, false, 0);
    return context;
}

}  // namespace

CaretContext ContextAt(std::string_view text, std::uint32_t offset) {
    offset = std::min<std::uint32_t>(offset, static_cast<std::uint32_t>(text.size()));
    Reader reader(text, LogicalLineStart(text, offset), offset);
    return reader.Read();
}

TextRange WordAround(std::string_view text, std::uint32_t offset) {
    offset = std::min<std::uint32_t>(offset, static_cast<std::uint32_t>(text.size()));
    std::uint32_t begin = offset, end = offset;
    while (begin > 0 && IsNameChar(text[begin - 1])) --begin;
    while (end < text.size() && IsNameChar(text[end])) ++end;
    return RangeBetween(begin, end);
}

}  // namespace vk::language
