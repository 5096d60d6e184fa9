#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "help/syntax_list.h"
#include "language/builtin_reference.h"

namespace vk::test {

// A script with the caret marked by `|` (the only one in it): the text
// without the mark, and the caret's offset.
struct CaretText {
    std::string text;
    std::uint32_t caret = 0;
};
inline CaretText AtCaret(std::string_view marked) {
    const std::size_t at = marked.find('|');
    CaretText result;
    result.text = std::string(marked.substr(0, at)) + std::string(marked.substr(at + 1));
    result.caret = static_cast<std::uint32_t>(at);
    return result;
}

// The reference the program ships, read once for all tests.
inline const language::BuiltinReference& ShippedReference() {
    static const language::BuiltinReference reference(
        TSyntaxList::FromFolder(std::string(VK_SOURCE_DIR) + "/data/vbsdoc"));
    return reference;
}

}  // namespace vk::test
