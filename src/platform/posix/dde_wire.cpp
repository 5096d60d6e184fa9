#include "platform/posix/dde_wire.h"

#include <cstring>

namespace vk::dde {
namespace {

constexpr bool IsKnownType(std::uint8_t type) noexcept {
    switch (static_cast<FrameType>(type)) {
        case FrameType::Initiate:
        case FrameType::Execute:
        case FrameType::Request:
        case FrameType::Ack:
        case FrameType::Nack:
        case FrameType::Data:
        case FrameType::NoData:
            return true;
    }
    return false;
}

void PutU32(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>((value >> 24) & 0xFF));
    out.push_back(static_cast<char>((value >> 16) & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
    out.push_back(static_cast<char>(value & 0xFF));
}

std::uint32_t GetU32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return (std::uint32_t{u[0]} << 24) | (std::uint32_t{u[1]} << 16) | (std::uint32_t{u[2]} << 8) |
           std::uint32_t{u[3]};
}

}  // namespace

bool IsClientFrame(FrameType type) {
    return type == FrameType::Initiate || type == FrameType::Execute || type == FrameType::Request;
}

bool CarriesText(FrameType type) { return IsClientFrame(type) || type == FrameType::Data; }

std::string EncodeFrame(FrameType type, std::uint32_t id, std::string_view payload) {
    std::string out;
    out.reserve(kFrameHeaderSize + payload.size());
    out.push_back(static_cast<char>(type));
    PutU32(out, id);
    PutU32(out, static_cast<std::uint32_t>(payload.size()));
    out.append(payload);
    return out;
}

std::string EncodeTextFrame(FrameType type, std::uint32_t id, std::string_view text) {
    std::string payload(text);
    payload.push_back('\0');
    return EncodeFrame(type, id, payload);
}

std::optional<std::string_view> PayloadText(std::string_view payload) {
    if (payload.empty() || payload.back() != '\0') return std::nullopt;
    payload.remove_suffix(1);
    if (payload.find('\0') != std::string_view::npos) return std::nullopt;
    return payload;
}

void FrameDecoder::Feed(const char* data, std::size_t size) {
    if (malformed_) return;
    // Drop what was consumed before it grows the buffer.
    if (start_ > 0 && start_ >= buffer_.size() / 2) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    buffer_.append(data, size);
}

std::optional<Frame> FrameDecoder::Next() {
    if (malformed_) return std::nullopt;
    const std::size_t available = buffer_.size() - start_;
    if (available < 1) return std::nullopt;
    const char* head = buffer_.data() + start_;
    const auto rawType = static_cast<std::uint8_t>(head[0]);
    if (!IsKnownType(rawType)) {
        malformed_ = true;
        return std::nullopt;
    }
    if (available < kFrameHeaderSize) return std::nullopt;
    const std::uint32_t length = GetU32(head + 5);
    if (length > kMaxFramePayload) {
        malformed_ = true;
        return std::nullopt;
    }
    if (available < kFrameHeaderSize + length) return std::nullopt;

    Frame frame;
    frame.type = static_cast<FrameType>(rawType);
    frame.id = GetU32(head + 1);
    frame.payload.assign(head + kFrameHeaderSize, length);
    start_ += kFrameHeaderSize + length;

    const bool textOk =
        CarriesText(frame.type) ? PayloadText(frame.payload).has_value() : frame.payload.empty();
    if (!textOk) {
        malformed_ = true;
        return std::nullopt;
    }
    return frame;
}

}  // namespace vk::dde
