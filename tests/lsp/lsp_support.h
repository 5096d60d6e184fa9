#pragma once

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "message_stream.h"

namespace vk::test {

// Input for the server from a text, handed out `chunk` bytes at a time, so
// that a message split between reads is read as one. A read never goes past
// the end of a piece: what a client sends in one go is a piece, and the
// server sees the next only once it asks for more.
class TextSource final : public lsp::ByteSource {
public:
    explicit TextSource(std::string text, std::size_t chunk = 1 << 20) : chunk_(chunk) {
        pieceEnds_.push_back(text.size());
        text_ = std::move(text);
    }
    TextSource(const std::vector<std::string>& pieces, std::size_t chunk) : chunk_(chunk) {
        for (const std::string& piece : pieces) {
            text_ += piece;
            pieceEnds_.push_back(text_.size());
        }
    }
    std::size_t Read(char* buffer, std::size_t size) override {
        while (piece_ < pieceEnds_.size() && pieceEnds_[piece_] <= at_) ++piece_;
        const std::size_t end = piece_ < pieceEnds_.size() ? pieceEnds_[piece_] : text_.size();
        const std::size_t n = std::min({size, chunk_, end - at_});
        std::copy_n(text_.data() + at_, n, buffer);
        at_ += n;
        return n;
    }
    [[nodiscard]] std::size_t Left() const { return text_.size() - at_; }

private:
    std::string text_;
    std::vector<std::size_t> pieceEnds_;
    std::size_t piece_ = 0;
    std::size_t chunk_;
    std::size_t at_ = 0;
};

// The server's output, kept; after `failAfter` writes the client is gone.
class TextSink final : public lsp::ByteSink {
public:
    explicit TextSink(std::size_t failAfter = static_cast<std::size_t>(-1))
        : failAfter_(failAfter) {}
    bool Write(std::string_view bytes) override {
        if (writes_++ >= failAfter_) return false;
        text += bytes;
        return true;
    }
    std::string text;

private:
    std::size_t failAfter_;
    std::size_t writes_ = 0;
};

// A message framed as the protocol frames it.
inline std::string Framed(const nlohmann::json& message) {
    const std::string body = message.dump();
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}
inline std::string FramedBody(std::string_view body) {
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

// The messages of the server's output, in order.
inline std::vector<nlohmann::json> Messages(const std::string& output) {
    std::vector<nlohmann::json> messages;
    std::size_t at = 0;
    while ((at = output.find("Content-Length: ", at)) != std::string::npos) {
        const std::size_t length = std::stoul(output.substr(at + 16));
        const std::size_t body = output.find("\r\n\r\n", at) + 4;
        messages.push_back(nlohmann::json::parse(output.substr(body, length)));
        at = body + length;
    }
    return messages;
}

// Builders of the messages a client sends.
inline nlohmann::json Request(int id, std::string_view method,
                              nlohmann::json params = nlohmann::json::object()) {
    return {{"jsonrpc", "2.0"},
            {"id", id},
            {"method", std::string(method)},
            {"params", std::move(params)}};
}
inline nlohmann::json Notification(std::string_view method,
                                   nlohmann::json params = nlohmann::json::object()) {
    return {{"jsonrpc", "2.0"}, {"method", std::string(method)}, {"params", std::move(params)}};
}
inline nlohmann::json Initialize(int id = 1, nlohmann::json options = nlohmann::json::object()) {
    if (!options.contains("vbsdoc"))
        options["vbsdoc"] = std::string(VK_SOURCE_DIR) + "/data/vbsdoc";
    return Request(id, "initialize",
                   {{"capabilities", nlohmann::json::object()},
                    {"initializationOptions", std::move(options)}});
}
inline nlohmann::json Open(std::string_view uri, std::string_view text) {
    return Notification("textDocument/didOpen", {{"textDocument",
                                                  {{"uri", std::string(uri)},
                                                   {"languageId", "vb"},
                                                   {"version", 1},
                                                   {"text", std::string(text)}}}});
}
inline nlohmann::json At(std::string_view uri, std::uint32_t line, std::uint32_t character) {
    return {{"textDocument", {{"uri", std::string(uri)}}},
            {"position", {{"line", line}, {"character", character}}}};
}

}  // namespace vk::test
