#pragma once

#include <string>
#include <string_view>

#include "document/script_checksum.h"

namespace vk {

// What Commence held for a form when an editor or a pulled folder took its
// script: the bytes as Commence gave them, and their print.
struct ScriptBase {
    std::string text;
    ScriptPrint print;

    [[nodiscard]] static ScriptBase Of(std::string text) {
        const ScriptPrint print = PrintOf(text);
        return {std::move(text), print};
    }
};

// Whether the script Commence holds `now` is no longer the one taken at
// `base`: the one test the editor and `push` both make before storing over
// Commence's copy. Every byte counts, line ends included, so a change that
// only touched line ends is a change too.
[[nodiscard]] inline bool ChangedSinceBase(const ScriptPrint& base, std::string_view now) noexcept {
    return PrintOf(now) != base;
}

}  // namespace vk
