#pragma once

#include <string_view>
#include <vector>

#include "language/diagnostic.h"

namespace vk {

// The field and connection names a whole script passes to the form object,
// checked line by line against `category` of `database` in a running
// Commence, as Enter checks one line in the editor (ValidateLine): lines
// that name nothing are not sent. Each wrong name gives an error with the
// text of the editor's error box, at the name, with its line and column
// (lines end at CR LF, LF or a lone CR). Only the first wrong name of a line
// is found, as on Enter.
//
// Commence is not started for it. Throws EDDEFailed when it does not answer.
[[nodiscard]] std::vector<language::Diagnostic> CheckScriptNames(std::string_view database,
                                                                 std::string_view category,
                                                                 std::string_view text);

}  // namespace vk
