#include "history/recovery_record.h"

#include <charconv>
#include <vector>

#include "document/script_checksum.h"
#include "document/script_checksum.h"

namespace vk {
namespace {

constexpr std::string_view kFirstLine = "Vellumkit recovery 1\n";
constexpr std::string_view kLastLine = "end\n";

void PutField(std::string& out, std::string_view name, std::string_view bytes, bool withCrc) {
    out += name;
    out += ' ';
    out += std::to_string(bytes.size());
    if (withCrc) {
        out += ' ';
        out += FormatChecksum(PrintOf(bytes).checksum);
    }
    out += '\n';
    out += bytes;
    out += '\n';
}

// Reads the record field by field; the first fault stops it.
class Reader {
public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}

    bool Expect(std::string_view text, std::string_view otherwise) {
        if (rest_.substr(0, text.size()) != text) return Fail(std::string(otherwise));
        rest_.remove_prefix(text.size());
        return true;
    }

    // "<name> <number>[ <crc>]\n" and, for a field with bytes, those bytes
    // and a line end.
    std::optional<std::string> Field(std::string_view name, bool withCrc) {
        const auto header = Line();
        if (!header) return std::nullopt;
        std::vector<std::string_view> words;
        for (std::string_view h = *header; !h.empty();) {
            const std::size_t blank = h.find(' ');
            words.push_back(h.substr(0, blank));
            h = blank == std::string_view::npos ? std::string_view() : h.substr(blank + 1);
        }
        if (words.size() != (withCrc ? 3u : 2u) || words[0] != name) {
            Fail("the field \"" + std::string(name) + "\" is missing");
            return std::nullopt;
        }
        std::uint64_t size = 0;
        if (!Number(words[1], size)) return std::nullopt;
        if (size + 1 > rest_.size() || rest_[size] != '\n') {
            Fail("it is cut short in \"" + std::string(name) + "\"");
            return std::nullopt;
        }
        std::string value(rest_.substr(0, size));
        rest_.remove_prefix(size + 1);
        if (withCrc && words[2] != FormatChecksum(PrintOf(value).checksum)) {
            Fail("the checksum of \"" + std::string(name) + "\" does not match");
            return std::nullopt;
        }
        return value;
    }

    std::optional<std::int64_t> Time(std::string_view name) {
        const auto header = Line();
        if (!header) return std::nullopt;
        if (header->substr(0, name.size() + 1) != std::string(name) + " ") {
            Fail("the field \"" + std::string(name) + "\" is missing");
            return std::nullopt;
        }
        std::uint64_t value = 0;
        if (!Number(header->substr(name.size() + 1), value)) return std::nullopt;
        return static_cast<std::int64_t>(value);
    }

    bool AtEnd() {
        if (!rest_.empty()) return Fail("something follows its end");
        return true;
    }

    bool Fail(std::string why) {
        if (why_.empty()) why_ = std::move(why);
        return false;
    }
    [[nodiscard]] const std::string& Why() const { return why_; }

private:
    std::optional<std::string_view> Line() {
        const std::size_t end = rest_.find('\n');
        if (end == std::string_view::npos) {
            Fail("it is cut short");
            return std::nullopt;
        }
        const std::string_view line = rest_.substr(0, end);
        rest_.remove_prefix(end + 1);
        return line;
    }

    bool Number(std::string_view text, std::uint64_t& value) {
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size())
            return Fail("\"" + std::string(text) + "\" is not a number");
        return true;
    }

    std::string_view rest_;
    std::string why_;
};

}  // namespace

std::string EncodeRecovery(const RecoveryRecord& record) {
    std::string out;
    out.reserve(record.base.size() + record.text.size() + 256);
    out += kFirstLine;
    PutField(out, "database", record.form.database, false);
    PutField(out, "category", record.form.category, false);
    PutField(out, "form", record.form.form, false);
    out += "saved " + std::to_string(record.savedAt) + "\n";
    PutField(out, "base", record.base, true);
    PutField(out, "text", record.text, true);
    out += kLastLine;
    return out;
}

std::optional<RecoveryRecord> DecodeRecovery(std::string_view bytes, std::string* why) {
    Reader in(bytes);
    RecoveryRecord record;
    const auto done = [&](bool ok) -> std::optional<RecoveryRecord> {
        if (ok) return record;
        if (why) *why = in.Why();
        return std::nullopt;
    };
    if (!in.Expect(kFirstLine, "it is not a recovery record")) return done(false);
    auto database = in.Field("database", false);
    auto category = database ? in.Field("category", false) : std::nullopt;
    auto form = category ? in.Field("form", false) : std::nullopt;
    const auto saved = form ? in.Time("saved") : std::nullopt;
    auto base = saved ? in.Field("base", true) : std::nullopt;
    auto text = base ? in.Field("text", true) : std::nullopt;
    if (!text || !in.Expect(kLastLine, "it is cut short") || !in.AtEnd()) return done(false);
    record.form = {std::move(*database), std::move(*category), std::move(*form)};
    record.savedAt = *saved;
    record.base = std::move(*base);
    record.text = std::move(*text);
    return done(true);
}

}  // namespace vk
