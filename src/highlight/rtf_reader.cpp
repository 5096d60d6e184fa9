#include "highlight/rtf_reader.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vk {
namespace {

// Deeper nesting than this is not a document anyone writes; refusing it keeps
// a hostile input from growing the state stack without bound.
constexpr std::size_t kMaxDepth = 256;
// RTF limits control words to 32 letters.
constexpr std::size_t kMaxWordLength = 32;
// Enough for any 32-bit parameter.
constexpr std::size_t kMaxDigits = 10;
// RTF's default size when a document does not set one (\plain): 12 points.
constexpr int kDefaultHalfPoints = 24;

enum class Destination : std::uint8_t { Text, FontTable, ColorTable, Skip };

struct CharFormat {
    int font = 0;
    int sizeHalfPoints = kDefaultHalfPoints;
    int colorIndex = 0;
    bool bold = false;
    bool italic = false;
    bool operator==(const CharFormat&) const = default;
};

struct GroupState {
    Destination destination = Destination::Text;
    CharFormat format;
};

struct FontEntry {
    int number = 0;
    std::string face;
};

// Groups whose content is not document text even without a \* mark.
constexpr std::array<std::string_view, 14> kSkippedDestinations = {
    "author",  "footer", "footerl", "footerr", "footnote",   "header", "headerl",
    "headerr", "info",   "object",  "pict",    "stylesheet", "title",  "listtable",
};

constexpr bool IsLetter(char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

constexpr int HexValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Ordinary document bytes, taken in bulk by the text loop.
constexpr bool IsPlainByte(char c) noexcept {
    return c != '\\' && c != '{' && c != '}' && c != '\r' && c != '\n' && c != '\0';
}

struct ReadError {
    std::string message;
};

class Reader {
public:
    explicit Reader(std::string_view rtf) : in_(rtf) {}

    RtfReadResult Run() {
        try {
            Parse();
        } catch (const ReadError& e) {
            return {std::nullopt, e.message};
        }
        DropFinalParagraph();
        return {std::move(doc_), {}};
    }

private:
    [[noreturn]] void Fail(std::string what) const {
        throw ReadError{what + " at byte " + std::to_string(pos_)};
    }

    void Parse() {
        constexpr std::string_view kMagic = "{\\rtf";
        if (in_.substr(0, kMagic.size()) != kMagic)
            throw ReadError{"not an RTF document: it must start with {\\rtf"};
        doc_.text.reserve(in_.size() / 4);
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            switch (c) {
                case '{':
                    if (stack_.size() >= kMaxDepth) Fail("groups are nested too deeply");
                    stack_.push_back(state_);
                    ++pos_;
                    break;
                case '}':
                    if (stack_.empty()) Fail("closing brace without an open group");
                    state_ = stack_.back();
                    stack_.pop_back();
                    ++pos_;
                    if (state_.destination != Destination::FontTable) FinishFontEntry();
                    if (stack_.empty()) {
                        CheckTrailer();
                        return;
                    }
                    break;
                case '\\':
                    ControlSequence();
                    break;
                case '\r':
                case '\n':
                case '\0':
                    ++pos_;
                    break;
                default:
                    PlainText();
                    break;
            }
        }
        Fail("the document ends before its last group is closed");
    }

    // Only line ends, blanks and zero bytes may follow the closing brace.
    void CheckTrailer() {
        for (; pos_ < in_.size(); ++pos_) {
            const char c = in_[pos_];
            if (c != '\r' && c != '\n' && c != ' ' && c != '\t' && c != '\0')
                Fail("text after the end of the document");
        }
    }

    void PlainText() {
        std::size_t end = pos_ + 1;
        while (end < in_.size() && IsPlainByte(in_[end])) ++end;
        const std::string_view bytes = in_.substr(pos_, end - pos_);
        pos_ = end;
        switch (state_.destination) {
            case Destination::Text:
                AppendText(bytes);
                break;
            case Destination::FontTable:
                FontTableText(bytes);
                break;
            case Destination::ColorTable:
                for (char ch : bytes)
                    if (ch == ';') FinishColorEntry();
                break;
            case Destination::Skip:
                break;
        }
    }

    void ControlSequence() {
        const std::size_t start = pos_;
        ++pos_;  // the backslash
        if (pos_ >= in_.size()) Fail("the document ends inside a control word");
        const char c = in_[pos_];
        if (!IsLetter(c)) {
            ++pos_;
            ControlSymbol(c, start);
            return;
        }
        const std::size_t nameStart = pos_;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) ++pos_;
        if (pos_ - nameStart > kMaxWordLength) {
            pos_ = start;
            Fail("control word too long");
        }
        const std::string_view name = in_.substr(nameStart, pos_ - nameStart);
        std::optional<int> param;
        if (pos_ < in_.size() && (in_[pos_] == '-' || IsDigit(in_[pos_]))) param = Number(start);
        // One blank after a control word is its delimiter, not text.
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        ControlWord(name, param, start);
    }

    int Number(std::size_t wordStart) {
        const bool negative = in_[pos_] == '-';
        if (negative) ++pos_;
        const std::size_t digitsStart = pos_;
        long long value = 0;
        while (pos_ < in_.size() && IsDigit(in_[pos_])) {
            if (pos_ - digitsStart >= kMaxDigits) {
                pos_ = wordStart;
                Fail("number too long in control word");
            }
            value = value * 10 + (in_[pos_] - '0');
            ++pos_;
        }
        if (pos_ == digitsStart) return 0;  // a lone "-" is no number; RTF takes it as 0
        value = std::min<long long>(value, 0x7fffffff);
        return static_cast<int>(negative ? -value : value);
    }

    void ControlSymbol(char c, std::size_t start) {
        switch (c) {
            case '\\':
            case '{':
            case '}':
                Char(c);
                break;
            case '\'': {
                if (pos_ + 2 > in_.size()) {
                    pos_ = start;
                    Fail("the document ends inside a \\' escape");
                }
                const int high = HexValue(in_[pos_]);
                const int low = HexValue(in_[pos_ + 1]);
                if (high < 0 || low < 0) {
                    pos_ = start;
                    Fail("\\' is not followed by two hexadecimal digits");
                }
                pos_ += 2;
                Char(static_cast<char>(high * 16 + low));
                break;
            }
            case '*':
                state_.destination = Destination::Skip;
                break;
            case '~':
                Char(static_cast<char>(0xA0));  // non-breaking space in Windows-1252
                break;
            case '_':
                Char('-');
                break;
            case '\r':
            case '\n':
                // A backslash before a line end is a paragraph mark.
                Paragraph();
                break;
            case '\t':
                Char('\t');
                break;
            default:
                // \- \: \| and other symbols carry no text.
                break;
        }
    }

    void ControlWord(std::string_view name, std::optional<int> param, std::size_t start) {
        if (name == "bin") {
            // Raw binary data follows; it may hold any byte, braces included.
            const auto count = static_cast<std::size_t>(std::max(param.value_or(0), 0));
            if (count > in_.size() - pos_) {
                pos_ = start;
                Fail("the document ends inside \\bin data");
            }
            pos_ += count;
            return;
        }
        if (state_.destination == Destination::Skip) return;
        if (state_.destination == Destination::FontTable) {
            if (name == "f") {
                FinishFontEntry();
                fontEntry_ = FontEntry{param.value_or(0), {}};
                inFontEntry_ = true;
            }
            return;
        }
        if (state_.destination == Destination::ColorTable) {
            const int value = std::clamp(param.value_or(0), 0, 255);
            if (name == "red") color_ = (color_ & 0xFFFF00u) | static_cast<std::uint32_t>(value);
            if (name == "green")
                color_ = (color_ & 0xFF00FFu) | (static_cast<std::uint32_t>(value) << 8);
            if (name == "blue")
                color_ = (color_ & 0x00FFFFu) | (static_cast<std::uint32_t>(value) << 16);
            return;
        }

        CharFormat& f = state_.format;
        if (name == "par") {
            Paragraph();
        } else if (name == "tab") {
            Char('\t');
        } else if (name == "line") {
            AppendText("\r\n");
        } else if (name == "f") {
            f.font = param.value_or(0);
        } else if (name == "fs") {
            f.sizeHalfPoints = param.value_or(kDefaultHalfPoints);
        } else if (name == "cf") {
            f.colorIndex = param.value_or(0);
        } else if (name == "b") {
            f.bold = param.value_or(1) != 0;
        } else if (name == "i") {
            f.italic = param.value_or(1) != 0;
        } else if (name == "plain") {
            f = CharFormat{};
            f.font = defaultFont_;
        } else if (name == "deff") {
            defaultFont_ = param.value_or(0);
        } else if (name == "fonttbl") {
            state_.destination = Destination::FontTable;
        } else if (name == "colortbl") {
            state_.destination = Destination::ColorTable;
            color_ = 0;
        } else if (std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), name) !=
                   kSkippedDestinations.end()) {
            state_.destination = Destination::Skip;
        }
        // Everything else (\rtf, \ansi, \pard, \deflang, \u, ...) changes
        // nothing this reader keeps.
    }

    void Char(char c) {
        switch (state_.destination) {
            case Destination::Text:
                AppendText(std::string_view(&c, 1));
                break;
            case Destination::FontTable:
                FontTableText(std::string_view(&c, 1));
                break;
            case Destination::ColorTable:
            case Destination::Skip:
                break;
        }
    }

    void Paragraph() {
        if (state_.destination != Destination::Text) return;
        AppendText("\r\n");
        paragraphEnd_ = doc_.text.size();
    }

    void AppendText(std::string_view bytes) {
        const std::size_t start = doc_.text.size();
        doc_.text.append(bytes);
        if (!doc_.runs.empty() && runFormat_ == state_.format) {
            doc_.runs.back().length += bytes.size();
            return;
        }
        runFormat_ = state_.format;
        RtfRun run;
        run.start = start;
        run.length = bytes.size();
        run.face = FaceOf(runFormat_.font);
        run.sizeHalfPoints = runFormat_.sizeHalfPoints;
        run.color = ColorOf(runFormat_.colorIndex);
        run.bold = runFormat_.bold;
        run.italic = runFormat_.italic;
        doc_.runs.push_back(std::move(run));
    }

    // The last \par of a document is its end mark, not a line of text.
    void DropFinalParagraph() {
        if (paragraphEnd_ != doc_.text.size() || paragraphEnd_ < 2) return;
        doc_.text.resize(doc_.text.size() - 2);
        RtfRun& last = doc_.runs.back();  // the CR LF went into one run together
        last.length -= 2;
        if (last.length == 0) doc_.runs.pop_back();
    }

    void FontTableText(std::string_view bytes) {
        for (char ch : bytes) {
            if (ch == ';') {
                FinishFontEntry();
            } else if (inFontEntry_) {
                fontEntry_.face.push_back(ch);
            }
        }
    }

    void FinishFontEntry() {
        if (!inFontEntry_) return;
        inFontEntry_ = false;
        std::string& face = fontEntry_.face;
        const auto first = face.find_first_not_of(' ');
        face.erase(0, first == std::string::npos ? face.size() : first);
        while (!face.empty() && face.back() == ' ') face.pop_back();
        auto same = std::find_if(fonts_.begin(), fonts_.end(),
                                 [&](const FontEntry& e) { return e.number == fontEntry_.number; });
        if (same != fonts_.end())
            same->face = std::move(face);
        else
            fonts_.push_back(std::move(fontEntry_));
        fontEntry_ = {};
    }

    void FinishColorEntry() {
        colors_.push_back(color_);
        color_ = 0;
    }

    std::string FaceOf(int number) const {
        for (const FontEntry& e : fonts_)
            if (e.number == number) return e.face;
        return {};
    }

    std::uint32_t ColorOf(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= colors_.size()) return 0;
        return colors_[static_cast<std::size_t>(index)];
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    GroupState state_;
    std::vector<GroupState> stack_;
    int defaultFont_ = 0;
    std::vector<FontEntry> fonts_;
    FontEntry fontEntry_;
    bool inFontEntry_ = false;
    std::vector<std::uint32_t> colors_;
    std::uint32_t color_ = 0;
    CharFormat runFormat_;
    std::size_t paragraphEnd_ = std::string::npos;
    RtfDocument doc_;
};

}  // namespace

RtfReadResult ReadRtf(std::string_view rtf) { return Reader(rtf).Run(); }

}  // namespace vk
