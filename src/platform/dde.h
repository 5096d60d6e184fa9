#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vk {

// The folder where DDE servers of this user listen: $XDG_RUNTIME_DIR/vellumkit-dde,
// else /tmp/vellumkit-dde-<uid>; created with mode 0700 and refused when it
// belongs to another user or is open to others.
[[nodiscard]] std::filesystem::path DdeSocketFolder();

// One client conversation with a DDE service and topic. All payloads are
// CF_TEXT: bytes without a NUL; the NUL terminator travels on the wire.
class DdeClient {
public:
    DdeClient();
    ~DdeClient();
    DdeClient(const DdeClient&) = delete;
    DdeClient& operator=(const DdeClient&) = delete;

    // Offers the topic to each running server of the service until one
    // accepts, as DDE's initiate broadcast does. False when none accepts.
    [[nodiscard]] bool Connect(std::string_view service, std::string_view topic);
    void Disconnect();
    [[nodiscard]] bool IsConnected() const;

    // Returns once the server has queued the command; false when there is no
    // conversation or the server refused it.
    [[nodiscard]] bool Execute(std::string_view command);

    // A synchronous request; nothing on time-out or failure. Requests on one
    // conversation are answered after every execute sent before them has run.
    [[nodiscard]] std::optional<std::string> Request(std::string_view item);

    // 10,000 ms unless changed (tests shorten it).
    void SetRequestTimeout(std::chrono::milliseconds timeout);
    [[nodiscard]] static std::chrono::milliseconds DefaultRequestTimeout();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// What a DDE server answers. All calls come on the thread that runs the
// server, one conversation's transactions in the order they were sent.
class DdeServerHandler {
public:
    virtual ~DdeServerHandler() = default;
    // Whether this server serves the topic (a database name).
    virtual bool AcceptTopic(std::string_view topic) = 0;
    // False refuses the execute.
    virtual bool Execute(std::string_view topic, std::string_view command) = 0;
    // Nothing makes the client's request fail.
    virtual std::optional<std::string> Request(std::string_view topic, std::string_view item) = 0;
};

// A DDE server: one listening socket per process in DdeSocketFolder(),
// registered under the service name.
class DdeServer {
public:
    DdeServer(std::string service, DdeServerHandler& handler);
    ~DdeServer();
    DdeServer(const DdeServer&) = delete;
    DdeServer& operator=(const DdeServer&) = delete;

    // Starts listening; false (with a reason in `error`) when it cannot.
    [[nodiscard]] bool Start(std::string* error = nullptr);

    // Serves until Stop() is called from another thread or a signal
    // handler, or until `idleLimit` passes with no conversation open
    // (zero: no limit).
    void Run(std::chrono::milliseconds idleLimit = std::chrono::milliseconds::zero());

    // Safe from a signal handler and from other threads.
    void Stop();

    // Number of conversations open now.
    [[nodiscard]] int ConversationCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vk
