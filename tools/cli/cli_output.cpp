#include "cli_output.h"

#include <ostream>

#include "commence/transfer.h"

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

void StreamStatus::SetStatus(std::string_view text, int level) {
    if (level == kLinkFailureStatusLevel) linkFailure_ = true;
    if (!text.empty()) PrintMessage(err_, text);
}

MessageAnswer StreamMessages::Show(std::string_view text, MessageIcon icon, MessageButtons buttons,
                                   std::string_view) {
    if (icon == MessageIcon::Error) errorShown_ = true;
    PrintMessage(err_, text);
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

}  // namespace vk::cli
