#pragma once

// Text crossing between core (single-byte Windows-1252 bytes) and Qt (UTF-16).
// Qt's own Latin-1 conversion loses 0x80-0x9F (the euro sign, curly quotes...),
// so the UI converts through here. Header-only; UI code only.
//

#include <QString>
#include <string>
#include <string_view>

#include "common/windows_1252.h"

namespace vk {

inline QString FromAnsi(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(QChar(Windows1252ToUnicode(b)));
    }
    return text;
}

// Characters Windows-1252 cannot hold become '?', as Windows' own conversion does.
inline std::string ToAnsi(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) bytes += UnicodeToWindows1252(ch.unicode());
    return bytes;
}

}  // namespace vk
