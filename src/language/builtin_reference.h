#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "language/builtin_names.h"

namespace vk {
class TSyntaxList;
}

namespace vk::language {

// A name the script engine gives every script (a function, a statement
// such as Randomize, a constant, Err, RegExp) with what the VBScript
// reference says of it.
struct BuiltinTopic {
    std::string_view name;  // as the reference spells it: "MsgBox"
    SeedKind kind = SeedKind::Function;
    std::string syntax;   // "MsgBox(prompt[, buttons][, title][, helpfile, context])"
    std::string summary;  // "Shows a message in a dialog and waits for ..."
};

// The engine's names, with the syntax line and the first sentence of each
// one's topic when a reference folder is at hand. Without one the names
// are still there, with empty texts: completion and checking work alike.
class BuiltinReference {
public:
    // The names alone.
    BuiltinReference();
    // The names with their topics from the reference's keyword index: the
    // topic "<name> Function", "<name> Statement" or "<name> Object". Each
    // topic file is read once, here.
    explicit BuiltinReference(const TSyntaxList& index);

    [[nodiscard]] const std::vector<BuiltinTopic>& Topics() const noexcept { return topics_; }
    // The name, without regard to case; nullptr for any other word.
    [[nodiscard]] const BuiltinTopic* Find(std::string_view name) const;

private:
    std::vector<BuiltinTopic> topics_;
    std::vector<std::size_t> byFoldedName_;  // indexes into topics_, by folded name
};

}  // namespace vk::language
