#pragma once

#include <span>
#include <string_view>

namespace vk::setup {

// A file built into the program: its name and its bytes.
struct EmbeddedFile {
    std::string_view name;
    std::string_view bytes;
};

// The VBScript reference (the keyword page and the topic pages).
[[nodiscard]] std::span<const EmbeddedFile> HelpReferenceFiles();

}  // namespace vk::setup
