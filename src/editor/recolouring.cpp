#include "editor/recolouring.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "highlight/tokenizer.h"

namespace vk {

std::vector<TokenClass> ClassesOf(std::string_view text) {
    // The tokenizer reads a zero-terminated text; an embedded zero byte is a
    // token of its own, so the length, not the terminator, ends the loop.
    const std::string buffer(text);
    std::vector<TokenClass> classes(text.size(), TokenClass::Whitespace);
    const char* const begin = buffer.c_str();
    const char* const end = begin + buffer.size();
    for (const char* p = begin; p < end;) {
        const TokenSpan token = ScanToken(p);
        const char* const stop = std::min(token.end, end);
        std::fill(classes.begin() + (p - begin), classes.begin() + (stop - begin), token.cls);
        p = stop > p ? stop : p + 1;
    }
    return classes;
}

KeyUpKind ClassifyKeyUp(int k, bool ctrl) noexcept {
    const bool noText = (k >= 16 && k <= 20) || k == 27 || (k >= 33 && k <= 40) || k == 42 ||
                        (k >= 112 && k <= 120) || (k >= 122 && k <= 135) || k == 144 || k == 145 ||
                        (k >= 160 && k <= 163);
    if (noText) return KeyUpKind::ChangesNoText;
    if (ctrl && k >= '0' && k <= '9') return KeyUpKind::Bookmark;
    return KeyUpKind::Recolours;
}

std::vector<StyleSpan> StyleChanges(std::string_view text, std::string_view styles,
                                    const StyleMapper& wanted) {
    const std::size_t size = std::min(text.size(), styles.size());
    const std::vector<TokenClass> classes = ClassesOf(text.substr(0, size));

    // The mapper allocates editor styles: ask it once per pair.
    std::array<std::int16_t, 256 * kTokenClassCount> memo;
    memo.fill(-1);
    auto styleFor = [&](unsigned char style, TokenClass cls) {
        std::int16_t& slot = memo[style * kTokenClassCount + IndexOf(cls)];
        if (slot < 0) slot = wanted(style, cls);
        return static_cast<char>(slot);
    };

    std::vector<StyleSpan> spans;
    for (std::size_t i = 0; i < size;) {
        char want = styleFor(static_cast<unsigned char>(styles[i]), classes[i]);
        if (want == styles[i]) {
            ++i;
            continue;
        }
        StyleSpan span{i, {}};
        while (i < size && want != styles[i]) {
            span.styles.push_back(want);
            if (++i < size) want = styleFor(static_cast<unsigned char>(styles[i]), classes[i]);
        }
        spans.push_back(std::move(span));
    }
    return spans;
}

}  // namespace vk
