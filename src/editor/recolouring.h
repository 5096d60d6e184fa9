#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "highlight/token_class.h"

namespace vk {

// The token class of every byte of `text`, as the tokenizer cuts the text
// from its start: "Dim x" gives Keyword x3, Whitespace, Identifier. Tokens
// that would run past the end (an open string) stop there.
[[nodiscard]] std::vector<TokenClass> ClassesOf(std::string_view text);

// What a key-up means for the keystroke it ends.
enum class KeyUpKind {
    ChangesNoText,  // Shift, Ctrl, arrows, F1-F9, F11-F24, ...: nothing to recolour
    Bookmark,       // Ctrl+digit and Ctrl+Shift+digit: a bookmark command
    Recolours,      // every other key may have changed text
};

// F10 (121) is not among the keys that change no text.
[[nodiscard]] KeyUpKind ClassifyKeyUp(int virtualKey, bool ctrl) noexcept;

// A stretch of text whose styles must change, with the styles it takes.
struct StyleSpan {
    std::size_t offset = 0;
    std::string styles;  // one style byte per character
    bool operator==(const StyleSpan&) const = default;
};

// The style a character should have, from the style it has and its class.
using StyleMapper = std::function<unsigned char(unsigned char style, TokenClass cls)>;

// Compares the styles a stretch of text has with those its tokens call for
// and returns the stretches that differ, each as long as possible, in text
// order: an unchanged line gives none. `styles` holds one byte per byte of
// `text`. `wanted` is asked once per pair of style and class.
[[nodiscard]] std::vector<StyleSpan> StyleChanges(std::string_view text, std::string_view styles,
                                                  const StyleMapper& wanted);

}  // namespace vk
