#include "message_stream.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "common/text_helpers.h"

namespace vk::lsp {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::size_t kMaxHeaderLine = 8 * 1024;
constexpr std::size_t kMaxHeaderLines = 64;

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

bool MessageReader::Fill() {
    if (at_ > 0 && at_ >= buffer_.size() / 2) {
        buffer_.erase(0, at_);
        at_ = 0;
    }
    const std::size_t had = buffer_.size();
    buffer_.resize(had + kChunk);
    const std::size_t got = source_.Read(buffer_.data() + had, kChunk);
    buffer_.resize(had + got);
    return got > 0;
}

bool MessageReader::ReadLine(std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    for (;;) {
        const std::size_t end = buffer_.find('\n', at_);
        if (end != std::string::npos) {
            if (!tooLong) line.assign(buffer_, at_, end - at_);
            at_ = end + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        if (buffer_.size() - at_ > kMaxHeaderLine) {
            // Drop what was read of an endless line, keep looking for its end.
            tooLong = true;
            at_ = buffer_.size();
        }
        if (!Fill()) return false;
    }
}

Incoming MessageReader::Next() {
    for (;;) {
        std::optional<std::size_t> length;
        bool bad = false;
        std::size_t lines = 0;
        bool sawHeader = false;
        std::string line;
        for (;;) {
            bool tooLong = false;
            if (!ReadLine(line, tooLong)) return {Incoming::Status::End, {}};
            if (tooLong) {
                bad = true;
                sawHeader = true;
                continue;
            }
            if (line.empty()) {
                if (!sawHeader) continue;  // blank lines between messages
                break;
            }
            sawHeader = true;
            if (++lines > kMaxHeaderLines) bad = true;
            const std::size_t colon = line.find(':');
            if (colon == std::string::npos) {
                bad = true;
                continue;
            }
            if (!EqualsIgnoringAsciiCase(Trimmed(std::string_view(line).substr(0, colon)),
                                         "Content-Length"))
                continue;  // Content-Type and any other header
            const std::string_view value = Trimmed(std::string_view(line).substr(colon + 1));
            std::size_t parsed = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), parsed);
            if (error != std::errc() || end != value.data() + value.size() || value.empty()) {
                bad = true;
                continue;
            }
            length = parsed;
        }
        if (bad || !length) return {Incoming::Status::BadHeader, {}};
        if (*length > maxBody_) {
            // Read past the body without keeping it.
            std::size_t left = *length;
            while (left > 0) {
                if (at_ >= buffer_.size() && !Fill()) return {Incoming::Status::End, {}};
                const std::size_t take = std::min(left, buffer_.size() - at_);
                at_ += take;
                left -= take;
            }
            return {Incoming::Status::TooLarge, {}};
        }
        while (buffer_.size() - at_ < *length)
            if (!Fill()) return {Incoming::Status::End, {}};
        Incoming message{Incoming::Status::Message, buffer_.substr(at_, *length)};
        at_ += *length;
        return message;
    }
}

bool MessageReader::HasWholeMessage() const {
    const std::string_view rest = std::string_view(buffer_).substr(at_);
    std::size_t headerEnd = rest.find("\r\n\r\n");
    std::size_t separator = 4;
    if (headerEnd == std::string_view::npos) {
        headerEnd = rest.find("\n\n");
        separator = 2;
    }
    if (headerEnd == std::string_view::npos) return false;
    const std::string header = FoldAsciiCase(rest.substr(0, headerEnd));
    const std::size_t found = header.find("content-length:");
    if (found == std::string::npos) return false;
    std::string_view value = std::string_view(header).substr(found + 15);
    value = Trimmed(value.substr(0, value.find_first_of("\r\n")));
    std::size_t length = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (error != std::errc() || end != value.data() + value.size()) return false;
    return rest.size() - headerEnd - separator >= length;
}

bool WriteMessage(ByteSink& sink, std::string_view body) {
    std::string message = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    message += body;
    return sink.Write(message);
}

}  // namespace vk::lsp
