#include "highlight/color_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/file_bytes.h"
#include "common/script_limits.h"
#include "common/text_helpers.h"
#include "highlight/color_table.h"
#include "highlight/tokenizer.h"

namespace vk {
namespace {

constexpr std::string_view kBufferTooSmall = "conversion buffer to small";
constexpr std::size_t kGrowStep = 65536;

constexpr std::string_view kHeader = "{\\rtf1\\ansi\\deff0\\deftab720";
constexpr std::string_view kDefaultFormat = "\\deflang1033\\pard\\plain\\f0\\fs20 ";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kDocumentEnd = "\r\n\\par }";
constexpr char kRunSuffix = '}';

// Bytes added when escaping a byte; kByContext for CR and LF, whose form
// depends on their neighbour.
constexpr std::uint8_t kByContext = 0xFF;
constexpr std::array<std::uint8_t, 256> kEscapeExtra = [] {
    std::array<std::uint8_t, 256> extra{};
    extra['\\'] = 1;
    extra['{'] = 1;
    extra['}'] = 1;
    extra['\0'] = 3;  // \'00
    extra['\r'] = kByContext;
    extra['\n'] = kByContext;
    return extra;
}();

// Bytes allocated beyond the capacity, so that the run writer can copy a
// prefix as one fixed-size block without checking the exact room.
constexpr std::size_t kSlack = 64;
constexpr std::size_t kPrefixBlock = 32;
// Tokens up to this size are copied as one fixed block: the output's slack
// covers the block after a prefix, and the plain text is loaded with this
// many readable bytes past its end.
constexpr std::size_t kShortToken = 16;
constexpr std::size_t kReadSlack = kShortToken;
static_assert(kPrefixBlock + kShortToken + 1 <= kSlack);

// The output of one conversion: grows in fixed steps as the colour stream
// always has, and reports failure (a refused allocation, or the test limit)
// as the conversion error.
class RtfOutput {
public:
    RtfOutput(std::size_t initialCapacity, std::optional<std::size_t> limit) : limit_(limit) {
        Grow(initialCapacity);
    }

    // Makes room for appending `count` bytes: the length after the append
    // must stay below the capacity. Beyond it kSlack more bytes may be
    // written as scratch.
    void Ensure(std::size_t count) {
        const std::size_t length = buffer_.Size() + count;
        if (length < capacity_) return;
        if (length < count) Fail();  // overflow
        const std::size_t steps = (length - capacity_) / kGrowStep + 1;
        if (steps > (SIZE_MAX - kSlack - capacity_) / kGrowStep) Fail();
        Grow(capacity_ + steps * kGrowStep);
    }

    void Append(std::string_view bytes) {
        Ensure(bytes.size());
        buffer_.AppendUnchecked(bytes.data(), bytes.size());
    }

    [[nodiscard]] char* End() noexcept { return buffer_.End(); }
    void Commit(std::size_t count) noexcept { buffer_.Commit(count); }
    [[nodiscard]] ByteBuffer Take() noexcept { return std::move(buffer_); }

private:
    [[noreturn]] static void Fail() { throw EConversionFailed(std::string(kBufferTooSmall)); }

    void Grow(std::size_t capacity) {
        if (limit_ && capacity > *limit_) Fail();
        if (capacity > SIZE_MAX - kSlack || !buffer_.Reserve(capacity + kSlack)) Fail();
        capacity_ = capacity;
    }

    ByteBuffer buffer_;
    std::size_t capacity_ = 0;
    std::optional<std::size_t> limit_;
};

// The escaped size of a token's bytes. A CR LF line end becomes "\par " CR
// LF, which RTF readers take as one paragraph mark. A CR or LF that is not
// part of a CR LF pair, and a zero byte, are written as \'hh so that they
// come back as the same byte instead of being dropped or turned into a line
// end.
std::size_t EscapedSize(const char* begin, const char* end) noexcept {
    std::size_t size = static_cast<std::size_t>(end - begin);
    for (const char* p = begin; p < end; ++p) {
        const std::uint8_t extra = kEscapeExtra[static_cast<unsigned char>(*p)];
        if (extra != kByContext) {
            size += extra;
        } else if (*p == '\r') {
            size += (p + 1 < end && p[1] == '\n') ? 5 : 3;
        } else if (!(p > begin && p[-1] == '\r')) {
            size += 3;  // a lone LF
        }
    }
    return size;
}

char* WriteHexEscape(char* out, unsigned char c) noexcept {
    *out++ = '\\';
    *out++ = '\'';
    *out++ = kHexDigits[c >> 4];
    *out++ = kHexDigits[c & 15];
    return out;
}

char* WriteEscaped(char* out, const char* begin, const char* end) noexcept {
    for (const char* p = begin; p < end; ++p) {
        const char c = *p;
        switch (c) {
            case '\\':
            case '{':
            case '}':
                *out++ = '\\';
                *out++ = c;
                break;
            case '\0':
                out = WriteHexEscape(out, 0);
                break;
            case '\r':
                if (p + 1 < end && p[1] == '\n') {
                    std::memcpy(out, "\\par \r", 6);
                    out += 6;
                } else {
                    out = WriteHexEscape(out, '\r');
                }
                break;
            case '\n':
                if (p > begin && p[-1] == '\r')
                    *out++ = c;
                else
                    out = WriteHexEscape(out, '\n');
                break;
            default:
                *out++ = c;
                break;
        }
    }
    return out;
}

// A face name goes into the font table as text; its braces and backslashes
// must not end or open groups there.
std::string EscapeFaceName(std::string_view face) {
    std::string escaped;
    escaped.reserve(face.size());
    for (char c : face) {
        if (c == '\\' || c == '{' || c == '}') escaped.push_back('\\');
        escaped.push_back(c);
    }
    return escaped;
}

// A run prefix padded to a fixed block; the longest possible one ("{\f8\fs"
// and a size of eleven characters, "\cf24 \b \i ": nine colours at most
// beyond the sixteen of the table) fits.
struct RunPrefix {
    std::array<char, kPrefixBlock> bytes{};
    std::size_t size = 0;
};

struct RunCodes {
    std::vector<std::string> fontNames;  // position = RTF font number
    std::vector<std::uint32_t> colors;   // position = RTF colour number
    std::array<RunPrefix, kTokenClassCount> prefixes;
};

// A plain colour (0x00BBGGRR) beyond the sixteen of the table, as the colour
// dialog's "More..." gives, is added to the table after them, so that it
// shows; a system colour (0xFF0000nn) has no number.
constexpr bool IsPlainColor(std::uint32_t color) noexcept { return (color >> 24) == 0; }

RunCodes BuildRunCodes(const ClassFonts& fonts) {
    RunCodes codes;
    codes.colors.assign(kColorTable.begin(), kColorTable.end());
    for (std::size_t k = 0; k < kTokenClassCount; ++k) {
        const TFont& font = fonts[k];
        auto name = std::find(codes.fontNames.begin(), codes.fontNames.end(), font.name);
        const auto fontNumber = static_cast<std::size_t>(name - codes.fontNames.begin());
        if (name == codes.fontNames.end()) codes.fontNames.push_back(font.name);

        auto color = std::find(codes.colors.begin(), codes.colors.end(), font.color);
        if (color == codes.colors.end() && IsPlainColor(font.color)) {
            codes.colors.push_back(font.color);
            color = codes.colors.end() - 1;
        }
        std::string prefix = "{\\f" + std::to_string(fontNumber) + "\\fs" +
                             std::to_string(static_cast<long long>(font.size) * 2) + "\\cf";
        if (color != codes.colors.end()) prefix += std::to_string(color - codes.colors.begin());
        prefix += ' ';
        if (font.Bold()) prefix += "\\b ";
        if (font.Italic()) prefix += "\\i ";
        RunPrefix& run = codes.prefixes[k];
        run.size = std::min(prefix.size(), run.bytes.size());  // never cuts: at most 30
        std::memcpy(run.bytes.data(), prefix.data(), run.size);
    }
    return codes;
}

void WriteTables(RtfOutput& out, const RunCodes& codes) {
    out.Append("{\\fonttbl");
    for (std::size_t i = 0; i < codes.fontNames.size(); ++i)
        out.Append("{\\f" + std::to_string(i) + " " + EscapeFaceName(codes.fontNames[i]) + ";}");
    out.Append("}");
    out.Append(kLineEnd);

    out.Append("{\\colortbl");
    for (std::uint32_t color : codes.colors)
        out.Append("\\red" + std::to_string(color & 0xFF) + "\\green" +
                   std::to_string((color >> 8) & 0xFF) + "\\blue" +
                   std::to_string((color >> 16) & 0xFF) + ";");
    out.Append("}");
    out.Append(kLineEnd);
}

// Identifiers, keywords, numbers and hexadecimal numbers consist of word
// characters only and never need escaping.
constexpr bool MayNeedEscapes(TokenClass cls) noexcept {
    return cls != TokenClass::Identifier && cls != TokenClass::Keyword &&
           cls != TokenClass::Number && cls != TokenClass::Hexadecimal;
}

void WriteRuns(RtfOutput& out, const RunCodes& codes, const char* text, std::size_t length) {
    const char* const end = text + length;
    for (const char* p = text; p < end;) {
        // The text is zero-terminated at `end`, so a token never passes it.
        const TokenSpan token = ScanToken(p);
        const RunPrefix& prefix = codes.prefixes[IndexOf(token.cls)];
        const auto tokenLength = static_cast<std::size_t>(token.end - p);
        const std::size_t escaped =
            MayNeedEscapes(token.cls) ? EscapedSize(p, token.end) : tokenLength;
        out.Ensure(prefix.size + escaped + 1);
        char* const start = out.End();
        // A whole block: the bytes past the prefix are overwritten next or
        // lie in the slack.
        std::memcpy(start, prefix.bytes.data(), kPrefixBlock);
        char* w = start + prefix.size;
        if (escaped == tokenLength) {
            // Most tokens are short: copy a fixed block (the source and the
            // output both have room past their ends, see kReadSlack).
            if (tokenLength <= kShortToken)
                std::memcpy(w, p, kShortToken);
            else
                std::memcpy(w, p, tokenLength);
            w += tokenLength;
        } else {
            w = WriteEscaped(w, p, token.end);
        }
        *w++ = kRunSuffix;
        out.Commit(static_cast<std::size_t>(w - start));
        p = token.end;
    }
}

}  // namespace

void TColorStream::LoadText(std::string_view text) {
    ByteBuffer loaded;
    if (text.size() > SIZE_MAX - 1 - kReadSlack || !loaded.Reserve(text.size() + 1 + kReadSlack))
        throw EConversionFailed(std::string(kBufferTooSmall));
    loaded.AppendUnchecked(text.data(), text.size());
    content_ = std::move(loaded);
}

void TColorStream::LoadFromFile(const std::filesystem::path& file) {
    std::string error;
    const std::optional<std::string> bytes = ReadWholeFile(file, &error, kMaxScriptBytes);
    if (!bytes) throw Exception("Cannot read file " + file.string() + ": " + error);
    LoadText(*bytes);
}

void TColorStream::ConvertToRtf() {
    const RunCodes codes = BuildRunCodes(fonts_);
    const std::size_t length = content_.Size();
    if (length > SIZE_MAX - 3) throw EConversionFailed(std::string(kBufferTooSmall));

    RtfOutput out(length + 3, outputLimit_);
    out.Append(kHeader);
    WriteTables(out, codes);
    out.Append(kDefaultFormat);
    if (length > 0) {
        WriteRuns(out, codes, content_.Data(), length);
        out.Append(kDocumentEnd);
    } else {
        out.Append("}");
    }
    content_ = out.Take();
}

}  // namespace vk
