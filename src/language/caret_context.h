#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "language/text_range.h"

namespace vk::language {

// What the text around the caret lets a name be typed as.
enum class CaretPlace : std::uint8_t {
    Nothing,     // a comment, a string, a number, a directive: nothing to offer
    Code,        // a name of the script, the engine or a keyword
    Member,      // after a full stop: a member of `object`
    NameString,  // inside the quotes of a field or connection argument
    NewName,     // a name being declared (after Dim, Const, Sub, ...)
};

// Which name a string argument holds: Field("…"), FieldValue("…") and
// MoveToField("…") a field of the form's category; Connection("…", …) a
// connection; Connection("name", "…") the category it leads to;
// Connection("name", "category").FieldValue("…") a field of that category.
enum class NameArgument : std::uint8_t { Field, Connection, ConnectionCategory, ConnectedField };

// A call whose argument list holds the caret: `Foo(a, |` or, as a
// statement without parentheses, `MsgBox "a", |`.
struct OpenCall {
    std::string name;    // as written, without the object: "Field"
    std::string object;  // "Form" in Form.Field(; empty without one; "?" for one not a plain name
    TextRange nameRange;
    std::uint32_t argument = 0;  // the argument the caret is in, from 0
    bool parenthesized = true;
};

struct CaretContext {
    CaretPlace place = CaretPlace::Nothing;
    // What a choice replaces: the part of the word (or of the string's text)
    // before the caret. Empty at the caret when nothing is typed yet.
    TextRange typed;
    // Member: the names before the full stop ("Form", "Form.Runtime"); empty
    // for a member of a With's object; "?" when it is not a chain of names.
    std::string object;
    // NewName: the declaring word in lower case ("dim", "sub", "function", ...).
    std::string declaring;
    // NameString: which name, and for ConnectionCategory the connection
    // named before, for ConnectedField the category.
    NameArgument nameArgument = NameArgument::Field;
    std::string argumentOf;
    // The innermost call around the caret, for signature help.
    std::optional<OpenCall> call;
};

// Reads the statement that holds `offset` (from its first line, across
// ` _` continuations) up to the caret. Looks back no further than a bounded
// stretch of text, so that a line of many megabytes costs no more than a
// short one.
[[nodiscard]] CaretContext ContextAt(std::string_view text, std::uint32_t offset);

// The word of name characters around `offset` (letters, digits,
// underscores); empty at a blank.
[[nodiscard]] TextRange WordAround(std::string_view text, std::uint32_t offset);

}  // namespace vk::language
