#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "language/category_schema.h"
#include "language/syntax_tree.h"
#include "language/text_range.h"

namespace vk::language {

class BuiltinReference;

enum class CompletionKind : std::uint8_t {
    Keyword,
    Function,   // the engine's function or statement
    Constant,   // the engine's or the script's
    Object,     // Err, Form
    Class,      // RegExp, or a Class of the script
    Procedure,  // a Sub, Function or Property of the script
    Variable,
    Parameter,
    Event,       // an event procedure a form script may define
    Member,      // of the form object, or of the class (Me.)
    Field,       // of a category
    Connection,  // of the category; `detail` is the category it leads to
    Category,    // a connected category
};

struct CompletionItem {
    std::string label;
    CompletionKind kind = CompletionKind::Keyword;
    // Beside the label: a syntax line, a declaration, a connection's category.
    std::string detail;
    // The first sentence of its reference topic, when there is one.
    std::string documentation;
    // What a choice inserts when it differs from the label: an event's whole
    // declaration line ("Form_OnLeaveField(ByVal FieldName)").
    std::string insertText;
};

struct CompletionList {
    std::vector<CompletionItem> items;  // best first
    TextRange replace;                  // the part typed so far, which a choice replaces
    bool incomplete = false;            // more names matched than the list holds
};

// Where names come from besides the script. Each may be missing: the list
// then lacks its part only.
struct CompletionSources {
    const BuiltinReference* reference = nullptr;
    const CategorySchema* schema = nullptr;  // the script's category
    SchemaLookup otherCategory;              // for Connection("x", "c").FieldValue("
};

// The names that may stand at `offset` of `text`, filtered by the part of
// the name typed before the caret: those that begin with it first, then
// those that hold it, each group in alphabetical order, case ignored. `tree`
// is a check of this text (or of a recent version of it: only its scopes and
// declarations are read, by name and place). At most `limit` items.
//
// Offers keywords, the engine's functions with their syntax lines and
// constants, the script's Subs, Functions, Classes and the variables and
// constants in scope, `Form`; after `Form.` the form's members, after `Me.`
// the class's; after `Sub ` at script level the form's events not defined
// yet; inside Field("…"), FieldValue("…"), MoveToField("…") and
// Connection("…", "…") the category's field names, its connections with
// their categories, or a connection's categories.
[[nodiscard]] CompletionList Complete(std::string_view text, const SyntaxTree& tree,
                                      std::uint32_t offset, const CompletionSources& sources,
                                      std::size_t limit = 200);

}  // namespace vk::language
