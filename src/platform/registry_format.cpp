#include "platform/registry_format.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

#include "common/text_helpers.h"

namespace vk {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kLineEnd = "\r\n";
// Hex lists are wrapped after this many characters, as regedit does.
constexpr std::size_t kHexLineWidth = 76;

constexpr bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

bool StartsWithIgnoringCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsIgnoringAsciiCase(s.substr(0, prefix.size()), prefix);
}

// The file's lines without their line ends.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (lf == std::string_view::npos) break;
        text.remove_prefix(lf + 1);
    }
    return lines;
}

class Parser {
public:
    Parser(std::string_view text, std::string_view rootName)
        : lines_(Lines(text)), rootName_(rootName) {}

    RegParseResult Run() {
        RegParseResult result;
        try {
            ParseAll(result.hive);
        } catch (const RegParseError& error) {
            result.hive = RegHive();
            result.error = error;
        }
        return result;
    }

private:
    [[noreturn]] void Fail(std::string reason) const {
        throw RegParseError{static_cast<int>(index_) + 1, std::move(reason)};
    }

    void ParseAll(RegHive& hive) {
        SkipBlankLines();
        if (index_ == lines_.size()) return;
        std::string_view first = lines_[index_];
        if (first.starts_with("\xEF\xBB\xBF")) first.remove_prefix(3);
        if (TrimRight(first) != kHeader) Fail("the first line is not " + std::string(kHeader));
        RegKeyNode* current = nullptr;
        for (++index_; index_ < lines_.size(); ++index_) {
            const std::string_view line = Trim(lines_[index_]);
            if (line.empty() || line.front() == ';') continue;
            if (line.front() == '[') {
                current = &hive.AddParsedKey(ParseSection(line));
            } else if (line.front() == '"' || line.front() == '@') {
                if (!current) Fail("a value before the first key");
                current->Put(ParseValue(line));
            } else {
                Fail("neither a key nor a value");
            }
        }
    }

    void SkipBlankLines() {
        while (index_ < lines_.size() && Trim(lines_[index_]).empty()) ++index_;
    }

    // "[HKEY_CURRENT_USER\A\B]" gives "A\B". The last ']' closes the name, so
    // a key name may itself hold ']'.
    std::string ParseSection(std::string_view line) const {
        if (line.back() != ']') Fail("a key name without its closing ]");
        const std::string_view full = line.substr(1, line.size() - 2);
        if (full.starts_with('-')) Fail("a key deletion");
        const std::size_t slash = full.find('\\');
        if (!EqualsIgnoringAsciiCase(full.substr(0, slash), rootName_))
            Fail("a key outside " + std::string(rootName_));
        const std::string_view path =
            slash == std::string_view::npos ? std::string_view() : full.substr(slash + 1);
        if (!IsValidKeyPath(path)) Fail("an invalid key name");
        return std::string(path);
    }

    RegValue ParseValue(std::string_view line) {
        RegValue value;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else {
            value.name = ParseQuoted(line, pos);
        }
        std::string_view rest = TrimLeft(line.substr(pos));
        if (!rest.starts_with('=')) Fail("a value name without =");
        rest = TrimLeft(rest.substr(1));
        if (rest.starts_with('"')) {
            std::size_t end = 0;
            value.type = static_cast<std::uint32_t>(RegType::String);
            value.data = ParseQuoted(rest, end);
            if (!Trim(rest.substr(end)).empty()) Fail("text after a string value");
        } else if (StartsWithIgnoringCase(rest, "dword:")) {
            value.type = static_cast<std::uint32_t>(RegType::Dword);
            value.data = ParseDword(Trim(rest.substr(6)));
        } else if (StartsWithIgnoringCase(rest, "hex")) {
            ParseHexValue(rest.substr(3), value);
        } else if (rest.starts_with('-')) {
            Fail("a value deletion");
        } else {
            Fail("an unknown value type");
        }
        return value;
    }

    // A double-quoted text starting at `pos`; `\\` and `\"` stand for one
    // character. Other backslashes are kept, as hand-written files have them.
    std::string ParseQuoted(std::string_view line, std::size_t& pos) const {
        std::string text;
        for (std::size_t i = pos + 1; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '"') {
                pos = i + 1;
                return text;
            }
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '\\' || line[i + 1] == '"'))
                ++i;
            text += line[i];
        }
        Fail("a text without its closing quote");
    }

    std::string ParseDword(std::string_view digits) const {
        std::uint32_t number = 0;
        const char* end = digits.data() + digits.size();
        const auto [ptr, ec] = std::from_chars(digits.data(), end, number, 16);
        if (digits.empty() || digits.size() > 8 || ec != std::errc() || ptr != end)
            Fail("a dword that is not 1 to 8 hex digits");
        std::string data(4, '\0');
        for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
        return data;
    }

    // After "hex": an optional "(type)", a colon and the byte list.
    void ParseHexValue(std::string_view rest, RegValue& value) {
        value.type = static_cast<std::uint32_t>(RegType::Binary);
        if (rest.starts_with('(')) {
            const std::size_t close = rest.find(')');
            if (close == std::string_view::npos) Fail("a value type without its closing )");
            const std::string_view digits = rest.substr(1, close - 1);
            const char* end = digits.data() + digits.size();
            const auto [ptr, ec] = std::from_chars(digits.data(), end, value.type, 16);
            if (digits.empty() || ec != std::errc() || ptr != end) Fail("an invalid value type");
            rest = rest.substr(close + 1);
        }
        if (!rest.starts_with(':')) Fail("a hex value without :");
        value.data = ParseHexBytes(rest.substr(1));
        // hex(1) is a string stored with its terminating NUL.
        if (value.type == static_cast<std::uint32_t>(RegType::String) && !value.data.empty() &&
            value.data.back() == '\0')
            value.data.pop_back();
    }

    std::string ParseHexBytes(std::string_view list) {
        std::string joined(Trim(list));
        while (!joined.empty() && joined.back() == '\\') {
            joined.pop_back();
            if (index_ + 1 >= lines_.size()) Fail("a hex list continued past the end");
            joined += Trim(lines_[++index_]);
        }
        std::string bytes;
        std::string_view rest = Trim(joined);
        while (!rest.empty()) {
            const std::size_t comma = rest.find(',');
            const std::string_view item = Trim(rest.substr(0, comma));
            const int high = item.size() == 2 ? HexDigitValue(item[0]) : 0;
            const int low = item.empty() ? -1 : HexDigitValue(item.back());
            if (item.empty() || item.size() > 2 || high < 0 || low < 0)
                Fail("a byte that is not 1 or 2 hex digits");
            bytes += static_cast<char>(high * 16 + low);
            if (comma == std::string_view::npos) break;
            rest = rest.substr(comma + 1);
            if (Trim(rest).empty()) Fail("a byte list ending in a comma");
        }
        return bytes;
    }

    std::vector<std::string_view> lines_;
    std::string_view rootName_;
    std::size_t index_ = 0;
};

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
}

void AppendHexBytes(std::string& out, std::string_view bytes, std::size_t lineStart) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0x0F];
        if (i + 1 == bytes.size()) break;
        out += ',';
        if (out.size() - lineStart > kHexLineWidth) {
            out += '\\';
            out += kLineEnd;
            lineStart = out.size();
            out += "  ";
        }
    }
}

void AppendValue(std::string& out, const RegValue& value) {
    const std::size_t lineStart = out.size();
    if (value.name.empty())
        out += '@';
    else
        AppendQuoted(out, value.name);
    out += '=';
    const bool isString = value.type == static_cast<std::uint32_t>(RegType::String);
    const bool quotable = std::none_of(value.data.begin(), value.data.end(),
                                       [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    if (isString && quotable) {
        AppendQuoted(out, value.data);
    } else if (value.type == static_cast<std::uint32_t>(RegType::Dword) && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(value.data[i]);
        char digits[9];
        const auto [end, ec] = std::to_chars(digits, digits + 8, number, 16);
        out += "dword:";
        out.append(8 - static_cast<std::size_t>(end - digits), '0');
        out.append(digits, end);
    } else {
        if (value.type == static_cast<std::uint32_t>(RegType::Binary)) {
            out += "hex:";
        } else {
            char digits[9];
            const auto [end, ec] = std::to_chars(digits, digits + 8, value.type, 16);
            out += "hex(";
            out.append(digits, end);
            out += "):";
        }
        AppendHexBytes(out, isString ? value.data + '\0' : value.data, lineStart);
    }
    out += kLineEnd;
}

}  // namespace

RegParseResult ParseRegFile(std::string_view text, std::string_view rootName) {
    return Parser(text, rootName).Run();
}

std::string FormatRegFile(const RegHive& hive, std::string_view rootName) {
    std::string out(kHeader);
    out += kLineEnd;
    for (const RegKeyNode& key : hive.Keys()) {
        out += kLineEnd;
        out += '[';
        out += rootName;
        if (!key.path.empty()) {
            out += '\\';
            out += key.path;
        }
        out += ']';
        out += kLineEnd;
        for (const RegValue& value : key.Values()) AppendValue(out, value);
    }
    out += kLineEnd;
    return out;
}

}  // namespace vk
