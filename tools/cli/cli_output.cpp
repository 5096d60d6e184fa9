#include "cli_output.h"

#include <ostream>

namespace vk::cli {

void PrintMessage(std::ostream& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out << '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out << text[i];
        }
    }
    out << '\n';
}

void StreamStatus::SetStatus(std::string_view text, int /*level*/) {
    if (!text.empty()) PrintMessage(err_, text);
}

}  // namespace vk::cli
