#include "cli_output.h"

#include <ostream>
#include <string>

namespace vk::cli {

namespace {

constexpr bool IsControl(unsigned char c) noexcept { return c < 0x20 || c == 0x7F; }

void AppendShown(std::string& shown, char c) {
    constexpr char kHex[] = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(c);
    if (!IsControl(byte)) {
        shown += c;
    } else if (c == '\t') {
        shown += "\\t";
    } else if (c == '\r') {
        shown += "\\r";
    } else if (c == '\n') {
        shown += "\\n";
    } else {
        shown += "\\x";
        shown += kHex[byte >> 4];
        shown += kHex[byte & 0xF];
    }
}

}  // namespace

std::string ForTerminal(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) AppendShown(shown, c);
    return shown;
}

void PrintMessage(std::ostream& out, std::string_view text, bool terminal) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            shown += '\n';
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (terminal) {
            AppendShown(shown, text[i]);
        } else {
            shown += text[i];
        }
    }
    out << shown << '\n';
}

void StreamStatus::SetStatus(std::string_view text, int /*level*/) {
    if (!text.empty()) PrintMessage(err_, text);
}

}  // namespace vk::cli
