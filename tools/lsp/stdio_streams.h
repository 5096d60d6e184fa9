#pragma once

#include "message_stream.h"

namespace vk::lsp {

// The process's standard input and a private copy of its standard output,
// in binary mode. Made once at start: it points descriptor 1 (and, on
// Windows, the standard output handle that started programs inherit) at
// standard error, so that nothing but the server's messages can ever reach
// the client's end of standard output, whoever prints.
class StdioStreams {
public:
    StdioStreams();
    ~StdioStreams();
    StdioStreams(const StdioStreams&) = delete;
    StdioStreams& operator=(const StdioStreams&) = delete;

    [[nodiscard]] ByteSource& In() { return in_; }
    [[nodiscard]] ByteSink& Out() { return out_; }

private:
    class Input final : public ByteSource {
    public:
        std::size_t Read(char* buffer, std::size_t size) override;
    };
    class Output final : public ByteSink {
    public:
        int fd = -1;
        bool Write(std::string_view bytes) override;
    };
    Input in_;
    Output out_;
};

}  // namespace vk::lsp
