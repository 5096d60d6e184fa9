#include "highlight/rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "common/text_helpers.h"

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

constexpr std::int32_t kUnresolved = -1;

struct GroupState {
    Destination destination = Destination::Text;
    CharFormat format;
    // Index of `format` in the document's formats, kUnresolved until text
    // in this format is met; saves a lookup per run.
    std::int32_t formatIndex = kUnresolved;
    // Whether the state reads like `other`; the cached index does not count.
    bool SameAs(const GroupState& other) const noexcept {
        return destination == other.destination && format == other.format;
    }
};

// What the formatting words at the start of a group did: from state `from`,
// the bytes `words` (ending in the blank that delimits the last word) lead to
// state `to`. The colour stream opens every run with one of a few such
// sequences, so replaying them saves parsing each word again.
struct GroupOpening {
    GroupState from;
    std::string_view words;
    GroupState to;
};

constexpr std::size_t kRememberedOpenings = 16;
constexpr std::size_t kShortText = 16;

struct FontEntry {
    int number = 0;
    std::string face;
};

// The control words this reader acts on.
enum class Word : std::uint8_t {
    Other,
    Bin,
    Par,
    Tab,
    Line,
    Font,
    FontSize,
    Color,
    Bold,
    Italic,
    Plain,
    DefaultFont,
    FontTable,
    ColorTable,
    Red,
    Green,
    Blue,
    SkippedDestination,  // a group whose content is not document text
};

// One switch on the first letter keeps the common words to one or two
// comparisons.
Word Classify(std::string_view name) noexcept {
    switch (name[0]) {
        case 'a':
            if (name == "author") return Word::SkippedDestination;
            break;
        case 'b':
            if (name.size() == 1) return Word::Bold;
            if (name == "bin") return Word::Bin;
            if (name == "blue") return Word::Blue;
            break;
        case 'c':
            if (name == "cf") return Word::Color;
            if (name == "colortbl") return Word::ColorTable;
            break;
        case 'd':
            if (name == "deff") return Word::DefaultFont;
            break;
        case 'f':
            if (name.size() == 1) return Word::Font;
            if (name == "fs") return Word::FontSize;
            if (name == "fonttbl") return Word::FontTable;
            if (name.starts_with("footer") || name == "footnote") return Word::SkippedDestination;
            break;
        case 'g':
            if (name == "green") return Word::Green;
            break;
        case 'h':
            if (name.starts_with("header")) return Word::SkippedDestination;
            break;
        case 'i':
            if (name.size() == 1) return Word::Italic;
            if (name == "info") return Word::SkippedDestination;
            break;
        case 'l':
            if (name == "line") return Word::Line;
            if (name == "listtable") return Word::SkippedDestination;
            break;
        case 'o':
            if (name == "object") return Word::SkippedDestination;
            break;
        case 'p':
            if (name == "par") return Word::Par;
            if (name == "plain") return Word::Plain;
            if (name == "pict") return Word::SkippedDestination;
            break;
        case 'r':
            if (name == "red") return Word::Red;
            break;
        case 's':
            if (name == "stylesheet") return Word::SkippedDestination;
            break;
        case 't':
            if (name == "tab") return Word::Tab;
            if (name == "title") return Word::SkippedDestination;
            break;
        default:
            break;
    }
    return Word::Other;
}

constexpr bool IsLetter(char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }


// Ordinary document bytes, taken in bulk by the text loop.
constexpr std::array<bool, 256> kPlainBytes = [] {
    std::array<bool, 256> plain{};
    plain.fill(true);
    for (unsigned char c : {'\\', '{', '}', '\r', '\n', '\0'}) plain[c] = false;
    return plain;
}();

constexpr bool IsPlainByte(char c) noexcept { return kPlainBytes[static_cast<unsigned char>(c)]; }

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
        FlushRun();
        doc_.text.Commit(textSize_);
        doc_.text.ShrinkToFit();
        doc_.runs.ShrinkToFit();
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
        // Every byte of text takes at least one byte of RTF, so the text
        // buffer never needs to grow. Only the pages written count against
        // memory, and the block is trimmed to the text at the end.
        if (in_.size() == SIZE_MAX || !doc_.text.Reserve(in_.size() + 1))
            throw ReadError{"not enough memory for the text of the document"};
        text_ = doc_.text.End();
        textCapacity_ = in_.size();
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (recording_ && c != '\\') FinishOpening();
            switch (c) {
                case '{':
                    if (stack_.size() >= kMaxDepth) Fail("groups are nested too deeply");
                    if (WholeRun()) break;
                    stack_.push_back(state_);
                    ++pos_;
                    if (!ReplayOpening()) StartOpening();
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
        if (state_.destination == Destination::Text) {
            RunText();
            return;
        }
        std::size_t end = pos_ + 1;
        while (end < in_.size() && IsPlainByte(in_[end])) ++end;
        const std::string_view bytes = in_.substr(pos_, end - pos_);
        pos_ = end;
        switch (state_.destination) {
            case Destination::Text:
                AppendText(bytes, true);
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

    // Document text in one format, as the colour stream writes it inside a
    // run: plain bytes, line ends to skip, the escapes \\ \{ \} and \par.
    // Stops before anything else (a closing brace, another control word),
    // which the general parser then takes.
    void RunText() {
        ResolveFormat();
        if (state_.formatIndex != runFormat_) {
            FlushRun();
            runFormat_ = state_.formatIndex;
        }
        const char* p = in_.data() + pos_;
        const char* const end = in_.data() + in_.size();
        // Each byte written comes from at least one byte read, so the text
        // never passes the read position and stays within its capacity.
        char* const first = text_ + textSize_;
        char* out = first;
        while (p < end) {
            const char c = *p;
            if (IsPlainByte(c)) {
                *out++ = c;
                ++p;
            } else if (c == '\r' || c == '\n') {
                ++p;
            } else if (c != '\\' || end - p < 2) {
                break;
            } else if (p[1] == '\\' || p[1] == '{' || p[1] == '}') {
                *out++ = p[1];
                p += 2;
            } else if (end - p >= 5 && std::memcmp(p + 1, "par", 3) == 0 && !IsLetter(p[4]) &&
                       !IsDigit(p[4]) && p[4] != '-') {
                *out++ = '\r';
                *out++ = '\n';
                p += p[4] == ' ' ? 5 : 4;
                paragraphEnd_ = textSize_ + static_cast<std::size_t>(out - first);
            } else {
                break;
            }
        }
        const auto written = static_cast<std::size_t>(out - first);
        textSize_ += written;
        runLength_ += written;
        pos_ = static_cast<std::size_t>(p - in_.data());
    }

    void ControlSequence() {
        const std::size_t start = pos_;
        ++pos_;  // the backslash
        if (pos_ >= in_.size()) Fail("the document ends inside a control word");
        const char c = in_[pos_];
        if (!IsLetter(c)) {
            recording_ = false;
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
                const int high = HexDigitValue(in_[pos_]);
                const int low = HexDigitValue(in_[pos_ + 1]);
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
        const Word word = Classify(name);
        if (recording_ && !IsFormatWord(word)) recording_ = false;
        if (word == Word::Bin) {
            // Raw binary data follows; it may hold any byte, braces included.
            const auto count = static_cast<std::size_t>(std::max(param.value_or(0), 0));
            if (count > in_.size() - pos_) {
                pos_ = start;
                Fail("the document ends inside \\bin data");
            }
            pos_ += count;
            return;
        }
        switch (state_.destination) {
            case Destination::Skip:
                return;
            case Destination::FontTable:
                if (word == Word::Font) {
                    FinishFontEntry();
                    fontEntry_ = FontEntry{param.value_or(0), {}};
                    inFontEntry_ = true;
                }
                return;
            case Destination::ColorTable:
                ColorComponent(word, param.value_or(0));
                return;
            case Destination::Text:
                break;
        }

        CharFormat& f = state_.format;
        if (ChangesFormat(word)) state_.formatIndex = kUnresolved;
        switch (word) {
            case Word::Par:
                Paragraph();
                break;
            case Word::Tab:
                Char('\t');
                break;
            case Word::Line:
                AppendText("\r\n");
                break;
            case Word::Font:
                f.font = param.value_or(0);
                break;
            case Word::FontSize:
                f.sizeHalfPoints = param.value_or(kDefaultHalfPoints);
                break;
            case Word::Color:
                f.colorIndex = param.value_or(0);
                break;
            case Word::Bold:
                f.bold = param.value_or(1) != 0;
                break;
            case Word::Italic:
                f.italic = param.value_or(1) != 0;
                break;
            case Word::Plain:
                f = CharFormat{};
                f.font = defaultFont_;
                break;
            case Word::DefaultFont:
                defaultFont_ = param.value_or(0);
                break;
            case Word::FontTable:
                state_.destination = Destination::FontTable;
                break;
            case Word::ColorTable:
                state_.destination = Destination::ColorTable;
                color_ = 0;
                break;
            case Word::SkippedDestination:
                state_.destination = Destination::Skip;
                break;
            default:
                // \rtf, \ansi, \pard, \deflang, \u, ... change nothing this
                // reader keeps.
                break;
        }
    }

    static bool ChangesFormat(Word word) {
        return word == Word::Font || word == Word::FontSize || word == Word::Color ||
               word == Word::Bold || word == Word::Italic || word == Word::Plain;
    }

    // Words whose only effect in text is on the character format.
    static bool IsFormatWord(Word word) {
        return word == Word::Font || word == Word::FontSize || word == Word::Color ||
               word == Word::Bold || word == Word::Italic || word == Word::Other;
    }

    void StartOpening() {
        recording_ = state_.destination == Destination::Text;
        openingStart_ = pos_;
        openingFrom_ = state_;
    }

    void FinishOpening() {
        recording_ = false;
        if (pos_ == openingStart_ || in_[pos_ - 1] != ' ') return;
        openings_[openingCount_ % kRememberedOpenings] = {
            openingFrom_, in_.substr(openingStart_, pos_ - openingStart_), state_};
        ++openingCount_;
    }

    static std::uint64_t Load8(const char* p) noexcept {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    }

    // Whether `text` starts with `words`. Openings mostly differ near their
    // end ("\\cf12 \\b " against "\\cf "), so the last eight bytes go first;
    // with the first eight they cover an opening of up to sixteen bytes.
    static bool StartsWithOpening(std::string_view text, std::string_view words) noexcept {
        const std::size_t n = words.size();
        if (text.size() < n) return false;
        if (n < 8) return text.starts_with(words);
        if (Load8(text.data() + n - 8) != Load8(words.data() + n - 8)) return false;
        if (Load8(text.data()) != Load8(words.data())) return false;
        return n <= 16 || std::memcmp(text.data() + 8, words.data() + 8, n - 16) == 0;
    }

    // The remembered opening that the input at `at` starts with, from the
    // current state; nullptr when none.
    const GroupOpening* KnownOpeningAt(std::size_t at) {
        const std::size_t known = std::min(openingCount_, kRememberedOpenings);
        const std::string_view rest = in_.substr(at);
        for (std::size_t i = 0; i < known; ++i) {
            const GroupOpening& o = openings_[i];
            if (StartsWithOpening(rest, o.words) && o.from.SameAs(state_)) {
                replayed_ = i;
                return &o;
            }
        }
        return nullptr;
    }

    bool ReplayOpening() {
        const GroupOpening* opening = KnownOpeningAt(pos_);
        if (opening == nullptr) return false;
        state_ = opening->to;
        pos_ += opening->words.size();
        return true;
    }

    // Whether RunText takes at least one byte of text at `p`.
    bool RunTextStartsAt(std::size_t at) const noexcept {
        if (at >= in_.size()) return false;
        const char* p = in_.data() + at;
        const std::size_t left = in_.size() - at;
        if (IsPlainByte(*p)) return true;
        if (*p != '\\' || left < 2) return false;
        if (p[1] == '\\' || p[1] == '{' || p[1] == '}') return true;
        return left >= 5 && std::memcmp(p + 1, "par", 3) == 0 && !IsLetter(p[4]) &&
               !IsDigit(p[4]) && p[4] != '-';
    }

    // A group at `pos_` as the colour stream writes each run: a remembered
    // opening, text, the closing brace. Read in one go, the group needs no
    // saved state, since it ends in the state it began in. Anything else
    // inside it leaves the group open for the general parser, exactly as if
    // it had been read that way. False, with nothing read, when the group
    // does not start like a run.
    bool WholeRun() {
        if (stack_.empty() || state_.destination != Destination::Text) return false;
        const GroupOpening* opening = KnownOpeningAt(pos_ + 1);
        if (opening == nullptr || !RunTextStartsAt(pos_ + 1 + opening->words.size())) return false;
        const GroupState outer = state_;
        state_ = opening->to;
        pos_ += 1 + opening->words.size();
        RunText();
        if (pos_ < in_.size() && in_[pos_] == '}') {
            ++pos_;
            state_ = outer;
            FinishFontEntry();
        } else {
            stack_.push_back(outer);
        }
        return true;
    }

    void ColorComponent(Word word, int value) {
        const auto v = static_cast<std::uint32_t>(std::clamp(value, 0, 255));
        if (word == Word::Red) color_ = (color_ & 0xFFFF00u) | v;
        if (word == Word::Green) color_ = (color_ & 0xFF00FFu) | (v << 8);
        if (word == Word::Blue) color_ = (color_ & 0x00FFFFu) | (v << 16);
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
        paragraphEnd_ = textSize_;
    }

    // `fromInput`: the bytes lie in the document being read.
    void AppendText(std::string_view bytes, bool fromInput = false) {
        if (bytes.size() > textCapacity_ - textSize_) Fail("text longer than its document");
        char* const to = text_ + textSize_;
        // Short pieces of the input as one fixed block when both ends have
        // room for it.
        if (fromInput && bytes.size() <= kShortText && textCapacity_ - textSize_ >= kShortText &&
            static_cast<std::size_t>(in_.data() + in_.size() - bytes.data()) >= kShortText)
            std::memcpy(to, bytes.data(), kShortText);
        else
            std::memcpy(to, bytes.data(), bytes.size());
        textSize_ += bytes.size();
        ResolveFormat();
        if (state_.formatIndex != runFormat_) {
            FlushRun();
            runFormat_ = state_.formatIndex;
        }
        runLength_ += bytes.size();
    }

    // The run being read goes into the document once its format ends.
    void FlushRun() {
        doc_.runs.Append(runLength_, static_cast<std::size_t>(runFormat_));
        runLength_ = 0;
    }

    void ResolveFormat() {
        if (state_.formatIndex != kUnresolved) return;
        state_.formatIndex = FormatIndexOf(state_.format);
        // The opening that led here gives this format each time it is
        // replayed; let it carry the index from now on.
        if (replayed_ < std::min(openingCount_, kRememberedOpenings)) {
            GroupState& to = openings_[replayed_].to;
            if (to.SameAs(state_)) to.formatIndex = state_.formatIndex;
        }
    }

    // A document has a handful of formats; they are met again and again.
    std::int32_t FormatIndexOf(const CharFormat& format) {
        for (const auto& [known, index] : resolved_)
            if (known == format) return index;
        RtfFormat resolved{FaceOf(format.font), format.sizeHalfPoints, ColorOf(format.colorIndex),
                           format.bold, format.italic};
        auto same = std::find(doc_.formats.begin(), doc_.formats.end(), resolved);
        if (same == doc_.formats.end()) {
            doc_.formats.push_back(std::move(resolved));
            same = doc_.formats.end() - 1;
        }
        const auto index = static_cast<std::int32_t>(same - doc_.formats.begin());
        resolved_.emplace_back(format, index);
        return index;
    }

    // A font or colour entry read after text changes what a format resolves
    // to; forget every resolution made so far.
    void TablesChanged() {
        resolved_.clear();
        openingCount_ = 0;
        recording_ = false;
        state_.formatIndex = kUnresolved;
        for (GroupState& s : stack_) s.formatIndex = kUnresolved;
    }

    // The last \par of a document is its end mark, not a line of text.
    void DropFinalParagraph() {
        // The CR LF went into the run being read, both bytes together.
        if (paragraphEnd_ != textSize_ || paragraphEnd_ < 2) return;
        textSize_ -= 2;
        runLength_ -= 2;
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
        if (!resolved_.empty()) TablesChanged();
    }

    void FinishColorEntry() {
        colors_.push_back(color_);
        color_ = 0;
        if (!resolved_.empty()) TablesChanged();
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
    std::array<GroupOpening, kRememberedOpenings> openings_{};
    std::size_t openingCount_ = 0;
    std::size_t replayed_ = kRememberedOpenings;  // the opening replayed last
    bool recording_ = false;
    std::size_t openingStart_ = 0;
    GroupState openingFrom_;
    int defaultFont_ = 0;
    std::vector<FontEntry> fonts_;
    FontEntry fontEntry_;
    bool inFontEntry_ = false;
    std::vector<std::uint32_t> colors_;
    std::uint32_t color_ = 0;
    std::vector<std::pair<CharFormat, std::int32_t>> resolved_;
    std::int32_t runFormat_ = kUnresolved;
    std::size_t runLength_ = 0;
    std::size_t paragraphEnd_ = std::string::npos;
    RtfDocument doc_;
    char* text_ = nullptr;  // the text is written straight into doc_.text
    std::size_t textSize_ = 0;
    std::size_t textCapacity_ = 0;
};

}  // namespace

void RtfRuns::Iterator::Decode() noexcept {
    if (at_ == end_) return;
    const std::uint8_t* p = at_;
    auto number = [&p] {
        std::size_t value = 0;
        for (unsigned shift = 0;; shift += 7) {
            const std::uint8_t b = *p++;
            value |= static_cast<std::size_t>(b & 0x7F) << shift;
            if (b < 0x80) return value;
        }
    };
    run_.length = number();
    run_.format = number();
    next_ = p;
}

void RtfRuns::Append(std::size_t length, std::size_t format) {
    if (length == 0) return;
    auto put = [this](std::size_t value) {
        while (value >= 0x80) {
            bytes_.push_back(static_cast<std::uint8_t>(value | 0x80));
            value >>= 7;
        }
        bytes_.push_back(static_cast<std::uint8_t>(value));
    };
    put(length);
    put(format);
    ++count_;
    textLength_ += length;
}

RtfRuns::Iterator RtfRuns::begin() const noexcept {
    const std::uint8_t* const data = bytes_.data();
    return Iterator(data, data + bytes_.size());
}

RtfRuns::Iterator RtfRuns::end() const noexcept {
    const std::uint8_t* const data = bytes_.data();
    return Iterator(data + bytes_.size(), data + bytes_.size());
}

RtfReadResult ReadRtf(std::string_view rtf) { return Reader(rtf).Run(); }

}  // namespace vk
