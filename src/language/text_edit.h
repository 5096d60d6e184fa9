#pragma once

#include <string>

#include "language/text_range.h"

namespace vk::language {

// Replace `range` of a text with `newText`. A list of edits is in text order
// and its ranges do not overlap; each applies to the text as it was before
// any of them.
struct TextEdit {
    TextRange range;
    std::string newText;
    bool operator==(const TextEdit&) const = default;
};

}  // namespace vk::language
