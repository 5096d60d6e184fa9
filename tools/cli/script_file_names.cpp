#include "script_file_names.h"

#include <algorithm>
#include <array>

#include "common/text_helpers.h"

namespace vk::cli {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr char kCaseMark = '~';

constexpr bool IsAsciiLetter(unsigned char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Bytes a file name may hold as they are, on Linux, macOS and Windows alike.
constexpr bool IsKeptByte(unsigned char c) noexcept {
    if (IsAsciiLetter(c) || (c >= '0' && c <= '9')) return true;
    constexpr std::string_view kMarks = " -_.,()&+'!#$@=;[]{}";
    return kMarks.find(static_cast<char>(c)) != std::string_view::npos;
}

// Device names Windows opens instead of a file, whatever follows a dot.
bool IsReservedStem(std::string_view name) {
    std::string stem = FoldAsciiCase(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    constexpr std::array<std::string_view, 6> kDevices = {"con", "prn",    "aux",
                                                          "nul", "conin$", "conout$"};
    if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
    return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
           stem[3] >= '0' && stem[3] <= '9';
}

void AppendEscaped(std::string& out, unsigned char c) {
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}

std::string CaseSuffix(std::string_view name) {
    std::string digits;
    int bit = 0;
    int nibble = 0;
    for (const unsigned char c : name) {
        if (!IsAsciiLetter(c)) continue;
        if (c <= 'Z') nibble |= 1 << bit;
        if (++bit == 4) {
            digits += kHexDigits[nibble];
            bit = nibble = 0;
        }
    }
    if (bit > 0) digits += kHexDigits[nibble];
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    if (digits.empty()) digits = "0";
    return std::string(1, kCaseMark) + digits;
}

constexpr int HexValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string EncodeName(std::string_view name) {
    std::string out;
    const bool reserved = IsReservedStem(name);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool atEdge = i == 0 || i + 1 == name.size();
        const bool hidden = atEdge && (c == ' ' || c == '.');
        if (!IsKeptByte(c) || hidden || (reserved && i == 0))
            AppendEscaped(out, c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

std::vector<std::string> EncodeNames(const std::vector<std::string>& names) {
    std::vector<std::string> files;
    files.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string file = EncodeName(names[i]);
        const bool twin = std::any_of(names.begin(), names.end(), [&](const std::string& other) {
            return &other != &names[i] && other != names[i] &&
                   EqualsIgnoringAsciiCase(other, names[i]);
        });
        if (twin) file += CaseSuffix(names[i]);
        files.push_back(std::move(file));
    }
    return files;
}

std::optional<std::string> DecodeName(std::string_view fileName) {
    std::string_view base = fileName;
    std::string_view suffix;
    if (const auto mark = fileName.rfind(kCaseMark); mark != std::string_view::npos) {
        base = fileName.substr(0, mark);
        suffix = fileName.substr(mark);
    }
    std::string name;
    for (std::size_t i = 0; i < base.size(); ++i) {
        if (base[i] != '%') {
            name += base[i];
            continue;
        }
        if (i + 2 >= base.size()) return std::nullopt;
        const int high = HexValue(base[i + 1]);
        const int low = HexValue(base[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        name += static_cast<char>(high * 16 + low);
        i += 2;
    }
    // Only the one spelling EncodeName makes stands for a name.
    if (name.empty() || EncodeName(name) != base) return std::nullopt;
    if (!suffix.empty() && CaseSuffix(name) != suffix) return std::nullopt;
    return name;
}

}  // namespace vk::cli
