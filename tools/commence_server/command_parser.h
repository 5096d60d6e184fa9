#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk::commence_server {

// One bracketed Commence command as a client sends it: "[GetFormNames("Account")]"
// gives the name "GetFormNames" and the arguments {"Account"}. A bare item such
// as "Status" parses as a command without brackets and without arguments.
struct Command {
    std::string name;
    std::vector<std::string> args;
    bool bracketed = false;

    bool operator==(const Command&) const = default;
};

// Parses a command text. Clients insert names unquoted, so a name may hold
// double quotes, blanks, commas and brackets: the arguments are the text
// between "[Name(" and the last ")]", cut at every "\",\"" into quoted pieces.
// Unquoted arguments (GetPreference(Me,"...")) are cut at a comma. Trailing NUL
// bytes and line ends after the closing bracket are ignored. Returns nothing
// for a text that is not a command (unbalanced brackets, no name, an argument
// whose quotes do not close).
[[nodiscard]] std::optional<Command> ParseCommand(std::string_view text);

}  // namespace vk::commence_server
