#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vk {

// The folder where DDE servers of this user listen: $XDG_RUNTIME_DIR/vellumkit-dde,
// else /tmp/vellumkit-dde-<uid>; created with mode 0700. A folder in
// $XDG_RUNTIME_DIR that is ours but open to others is closed again; one that
// is not ours is refused. The folder in /tmp, which another user may have
// made first, is refused unless it is ours and private; then
// $XDG_CACHE_HOME/vellumkit-dde (else ~/.cache/vellumkit-dde) is used instead.
struct DdeSocketFolderChoice {
    std::filesystem::path folder;  // empty when no folder can be had
    std::string refusal;           // names a refused folder and says why
};
[[nodiscard]] DdeSocketFolderChoice ChooseDdeSocketFolder();

// ChooseDdeSocketFolder().folder.
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
    // Closes a conversation already open first. Servers are tried in the
    // order they registered; a server gets the request time-out to answer.
    [[nodiscard]] bool Connect(std::string_view service, std::string_view topic);
    void Disconnect();
    [[nodiscard]] bool IsConnected() const;

    // Returns once the server has queued the command; false when there is no
    // conversation or the server refused it.
    // A server refuses nothing it could queue (what the command then did
    // shows in later requests, as with an asynchronous DDE execute); false
    // also for a command holding a NUL, which CF_TEXT cannot carry.
    [[nodiscard]] bool Execute(std::string_view command);

    // A synchronous request; nothing on time-out or failure. Requests on one
    // conversation are answered after every execute sent before them has run.
    // After a time-out the conversation stays open and the late answer is
    // discarded; a server that goes away ends the conversation at once.
    [[nodiscard]] std::optional<std::string> Request(std::string_view item);

    // Whether the last Request went without a reply because none came in
    // time (the server may still be at work), rather than because the server
    // refused it or went away.
    [[nodiscard]] bool LastRequestTimedOut() const;

    // 10,000 ms unless changed (tests shorten it).
    void SetRequestTimeout(std::chrono::milliseconds timeout);
    [[nodiscard]] static std::chrono::milliseconds DefaultRequestTimeout();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Names one open conversation of a server for as long as it lasts (DDEML's
// conversation handle); a number is not used again by the same server.
using DdeConversationId = std::uint64_t;

// What a DDE server answers. All calls come on the thread that runs the
// server, one conversation's transactions in the order they were sent. State
// a handler keeps between transactions (Commence's last-error code) belongs
// to the conversation that caused it, so each call names its conversation.
class DdeServerHandler {
public:
    virtual ~DdeServerHandler() = default;
    // Whether this server serves the topic (a database name).
    virtual bool AcceptTopic(std::string_view topic) = 0;
    // False refuses the execute.
    // The client has already been told the command is queued when this
    // runs, so the result does not reach it; report failures through a
    // later request (as Commence does with [GetLastError]).
    virtual bool Execute(DdeConversationId conversation, std::string_view topic,
                         std::string_view command) = 0;
    // Nothing makes the client's request fail. A reply is CF_TEXT: it ends
    // at its first NUL, and one of 16 MiB or more fails the request.
    // An exception thrown by a handler counts as a refusal.
    virtual std::optional<std::string> Request(DdeConversationId conversation,
                                               std::string_view topic, std::string_view item) = 0;
    // The conversation ended; what was kept for it can go.
    virtual void ConversationEnded(DdeConversationId /*conversation*/) {}
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
    // A Stop() that comes before Run() makes the next Run() return at once.
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
