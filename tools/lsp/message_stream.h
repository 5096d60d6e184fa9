#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vk::lsp {

// Where the server reads its bytes from: standard input, or a text in tests.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes into `buffer`; 0 at the end of the input or when it
    // cannot be read any more.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// Where it writes them. Write returns false once the other end is gone.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(std::string_view bytes) = 0;
};

// One message as it comes off the stream.
struct Incoming {
    enum class Status {
        Message,    // `body` holds it
        End,        // the input ended (the client went away)
        TooLarge,   // its Content-Length was over the limit; its body was skipped
        BadHeader,  // a header block without a valid Content-Length; skipped
    };
    Status status = Status::End;
    std::string body;
};

// Reads messages framed as the protocol frames them: header lines ending in
// CR LF (a bare LF is taken too), an empty line, then exactly Content-Length
// bytes of body. Memory stays bounded whatever comes in: a body over
// `maxBody` is read past without being kept, a header line over a few
// kilobytes or a block of too many lines is refused.
class MessageReader {
public:
    // A script may have 64 MiB, and JSON escapes may make it a few times
    // longer on the wire.
    static constexpr std::size_t kDefaultMaxBody = 256u * 1024 * 1024;

    explicit MessageReader(ByteSource& source, std::size_t maxBody = kDefaultMaxBody)
        : source_(source), maxBody_(maxBody) {}

    [[nodiscard]] Incoming Next();
    // Whether a whole message is waiting already, so that work a message
    // asks for can wait until the messages after it are read.
    [[nodiscard]] bool HasWholeMessage() const;

private:
    bool Fill();  // reads more into buffer_; false at the end
    // The next line without its line end; false at the end of the input.
    bool ReadLine(std::string& line, bool& tooLong);

    ByteSource& source_;
    std::size_t maxBody_;
    std::string buffer_;
    std::size_t at_ = 0;  // the unread part of buffer_ starts here
};

// Writes one message with its header.
[[nodiscard]] bool WriteMessage(ByteSink& sink, std::string_view body);

}  // namespace vk::lsp
