#pragma once

// The DDE wire format shared by client and server. Every message is a frame:
//
//   type (1 byte) | transaction id (4 bytes, big-endian)
//   | payload length (4 bytes, big-endian) | payload
//
// Text payloads (topic, command, item, reply) are CF_TEXT: the bytes and one
// terminating NUL, with no NUL before it. A reply carries the id of the
// transaction it answers, so a client that gave up on a request can tell its
// late answer from the one it waits for now.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vk::dde {

enum class FrameType : std::uint8_t {
    // client to server
    Initiate = 1,  // payload: topic; answered by Ack or Nack
    Execute = 2,   // payload: command; answered by Ack once queued, or Nack
    Request = 3,   // payload: item; answered by Data or NoData
    // server to client
    Ack = 0x81,
    Nack = 0x82,
    Data = 0x83,  // payload: reply text
    NoData = 0x84,
};

inline constexpr std::size_t kFrameHeaderSize = 9;
// A frame announcing a larger payload is malformed: whoever receives it ends
// the conversation instead of buffering without bound.
inline constexpr std::size_t kMaxFramePayload = 16u * 1024u * 1024u;

struct Frame {
    FrameType type = FrameType::Ack;
    std::uint32_t id = 0;
    std::string payload;
};

[[nodiscard]] bool IsClientFrame(FrameType type);
[[nodiscard]] bool CarriesText(FrameType type);

// The whole frame as bytes; the payload must not exceed kMaxFramePayload.
[[nodiscard]] std::string EncodeFrame(FrameType type, std::uint32_t id, std::string_view payload);
// A frame carrying `text` as CF_TEXT (the text plus its NUL).
[[nodiscard]] std::string EncodeTextFrame(FrameType type, std::uint32_t id, std::string_view text);

// The text of a CF_TEXT payload; nothing when the NUL is missing or comes early.
[[nodiscard]] std::optional<std::string_view> PayloadText(std::string_view payload);

// Cuts frames out of a byte stream fed in pieces of any size.
class FrameDecoder {
public:
    void Feed(const char* data, std::size_t size);

    // The next whole frame, or nothing when more bytes are needed or the
    // stream is malformed (unknown type, oversized or bad text payload).
    [[nodiscard]] std::optional<Frame> Next();

    [[nodiscard]] bool Malformed() const { return malformed_; }
    [[nodiscard]] bool HasPendingBytes() const { return buffer_.size() > start_; }

private:
    std::string buffer_;
    std::size_t start_ = 0;  // bytes before this are consumed
    bool malformed_ = false;
};

}  // namespace vk::dde
