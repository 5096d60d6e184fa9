#pragma once

// Text crossing between core (single-byte Windows-1252 bytes) and Qt (UTF-16).
// Qt's own Latin-1 conversion loses 0x80-0x9F (the euro sign, curly quotes...),
// so the UI converts through here. Header-only; UI code only.
//

#include <QString>
#include <string>
#include <string_view>

namespace vk {

// The characters Windows-1252 puts at 0x80-0x9F; the five unassigned codes
// map to the matching C1 control, as Windows does.
inline constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

inline QString FromAnsi(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(b >= 0x80 && b < 0xA0 ? QChar(kCp1252High[b - 0x80]) : QChar(b));
    }
    return text;
}

// Characters Windows-1252 cannot hold become '?', as Windows' own conversion does.
inline std::string ToAnsi(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            bytes += static_cast<char>(u);
            continue;
        }
        char out = '?';
        for (int i = 0; i < 32; ++i)
            if (kCp1252High[i] == u) out = static_cast<char>(0x80 + i);
        bytes += out;
    }
    return bytes;
}

}  // namespace vk
