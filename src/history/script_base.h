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

}  // namespace vk
