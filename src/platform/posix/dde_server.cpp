#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <cstring>
#include <vector>

#include "platform/dde.h"
#include "platform/posix/dde_socket.h"
#include "platform/posix/unique_fd.h"

namespace vk {
namespace {

using dde::Clock;
using dde::Frame;
using dde::FrameType;

// Past this much unsent output a conversation's further transactions wait, so
// a client that sends without reading cannot make the server buffer without
// bound.
constexpr std::size_t kOutputBacklog = 1u << 20;
// Connections beyond this wait in the listen queue.
constexpr std::size_t kMaxConnections = 256;
constexpr std::chrono::milliseconds kAcceptPause(100);
// A client offers its topic as the first thing it sends. One that stays
// silent this long is dropped, and when every place is taken the longest
// silent one makes room, so clients that never speak cannot lock the others
// out.
constexpr std::chrono::milliseconds kFirstFrameLimit(5000);

std::atomic<unsigned> nextSocketSequence{0};

struct Conversation {
    DdeConversationId id = 0;
    Clock::time_point accepted = Clock::now();
    posix::UniqueFd fd;
    dde::FrameDecoder decoder;
    std::string out;
    std::size_t outStart = 0;
    std::optional<std::string> topic;  // set once a topic was accepted
    bool inputEnded = false;           // the client sent its last byte
    bool outputBroken = false;         // the client can no longer receive
    bool finish = false;               // close once the output is sent
    bool broken = false;               // the stream broke the protocol: close now

    [[nodiscard]] std::size_t Backlog() const { return outputBroken ? 0 : out.size() - outStart; }
    [[nodiscard]] bool MayTakeFrames() const {
        return !broken && !finish && Backlog() < kOutputBacklog;
    }

    void Queue(std::string bytes) {
        if (outputBroken) return;
        if (outStart == out.size()) {
            out.clear();
            outStart = 0;
        }
        out += bytes;
    }

    // Sends what the socket takes without waiting.
    void Flush() {
        while (Backlog() > 0) {
            const ssize_t sent =
                ::send(fd.Get(), out.data() + outStart, out.size() - outStart, MSG_NOSIGNAL);
            if (sent > 0) {
                outStart += static_cast<std::size_t>(sent);
            } else if (sent < 0 && errno == EINTR) {
                continue;
            } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return;
            } else {
                outputBroken = true;
            }
        }
        out.clear();
        outStart = 0;
    }

    // Reads what is there; end of stream or an error ends the input.
    void Receive() {
        char buffer[64 * 1024];
        const ssize_t got = ::recv(fd.Get(), buffer, sizeof buffer, 0);
        if (got > 0)
            decoder.Feed(buffer, static_cast<std::size_t>(got));
        else if (got == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
            inputEnded = true;
    }
};

}  // namespace

struct DdeServer::Impl {
    Impl(std::string serviceName, DdeServerHandler& serverHandler)
        : service(std::move(serviceName)), handler(serverHandler) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
            wakeRead.Reset(fds[0]);
            wakeWrite.Reset(fds[1]);
        }
    }

    ~Impl() {
        if (!socketPath.empty()) ::unlink(socketPath.c_str());
    }

    std::string service;
    DdeServerHandler& handler;
    posix::UniqueFd wakeRead;
    posix::UniqueFd wakeWrite;
    posix::UniqueFd listenFd;
    std::filesystem::path socketPath;
    std::vector<std::unique_ptr<Conversation>> conversations;
    DdeConversationId lastConversationId = 0;
    std::atomic<int> openCount{0};
    Clock::time_point lastBusy{};
    Clock::time_point acceptPausedUntil{};

    bool Start(std::string& error);
    void Run(std::chrono::milliseconds idleLimit);
    void AcceptAll();
    [[nodiscard]] std::optional<std::size_t> SilentConversation() const;
    void Serve(Conversation& conversation);
    void Handle(Conversation& conversation, Frame& frame);
    void Close(std::size_t index);
};

bool DdeServer::Impl::Start(std::string& error) {
    if (listenFd.Valid()) return true;
    if (!wakeRead.Valid()) {
        error = "cannot create the wake-up pipe";
        return false;
    }
    if (!dde::IsValidServiceName(service)) {
        error = "invalid service name '" + service + "'";
        return false;
    }
    const std::filesystem::path folder = DdeSocketFolder();
    if (folder.empty()) {
        error = "no private folder for DDE sockets";
        return false;
    }
    const std::filesystem::path path =
        folder / dde::ServerSocketName(service, ::getpid(), nextSocketSequence++);
    sockaddr_un address{};
    if (!dde::MakeSocketAddress(path, address)) {
        error = "socket path too long: " + path.string();
        return false;
    }
    posix::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.Valid()) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    // A file of this name can only be left over from a dead process that had
    // our pid: the name is unique among this process's servers.
    ::unlink(path.c_str());
    if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = "bind " + path.string() + ": " + std::strerror(errno);
        return false;
    }
    if (::listen(fd.Get(), SOMAXCONN) != 0) {
        error = std::string("listen: ") + std::strerror(errno);
        ::unlink(path.c_str());
        return false;
    }
    listenFd = std::move(fd);
    socketPath = path;
    return true;
}

// The conversation that has been silent longest without offering a topic.
std::optional<std::size_t> DdeServer::Impl::SilentConversation() const {
    std::optional<std::size_t> oldest;
    for (std::size_t i = 0; i < conversations.size(); ++i) {
        if (conversations[i]->topic) continue;
        if (!oldest || conversations[i]->accepted < conversations[*oldest]->accepted) oldest = i;
    }
    return oldest;
}

void DdeServer::Impl::AcceptAll() {
    for (;;) {
        if (conversations.size() >= kMaxConnections && !SilentConversation()) return;
        posix::UniqueFd fd(
            ::accept4(listenFd.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!fd.Valid()) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            // Out of descriptors: the pending connection stays readable, so
            // pause instead of spinning on it.
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                acceptPausedUntil = Clock::now() + kAcceptPause;
            return;
        }
        // Only this user's programs may talk to this user's server.
        if (!dde::PeerIsSameUser(fd.Get())) continue;
        if (conversations.size() >= kMaxConnections) Close(*SilentConversation());
        auto conversation = std::make_unique<Conversation>();
        conversation->id = ++lastConversationId;
        conversation->fd = std::move(fd);
        conversations.push_back(std::move(conversation));
    }
}

void DdeServer::Impl::Handle(Conversation& conversation, Frame& frame) {
    const std::string_view text = dde::PayloadText(frame.payload).value_or(std::string_view());
    if (!conversation.topic) {
        if (frame.type != FrameType::Initiate) {
            conversation.broken = true;
            return;
        }
        bool accepted = false;
        try {
            accepted = handler.AcceptTopic(text);
        } catch (...) {
            accepted = false;
        }
        if (accepted) {
            conversation.topic = std::string(text);
            ++openCount;
            conversation.Queue(dde::EncodeFrame(FrameType::Ack, frame.id, {}));
        } else {
            conversation.Queue(dde::EncodeFrame(FrameType::Nack, frame.id, {}));
            conversation.finish = true;
        }
        return;
    }
    switch (frame.type) {
        case FrameType::Execute:
            // The client learns the command is queued before it runs, as
            // with an asynchronous DDE execute; what the command did shows
            // in later requests.
            conversation.Queue(dde::EncodeFrame(FrameType::Ack, frame.id, {}));
            conversation.Flush();
            try {
                (void)handler.Execute(conversation.id, *conversation.topic, text);
            } catch (...) {
            }
            return;
        case FrameType::Request: {
            std::optional<std::string> reply;
            try {
                reply = handler.Request(conversation.id, *conversation.topic, text);
            } catch (...) {
                reply.reset();
            }
            if (reply) {
                // CF_TEXT ends at its first NUL.
                const auto nul = reply->find('\0');
                if (nul != std::string::npos) reply->resize(nul);
            }
            if (reply && reply->size() < dde::kMaxFramePayload)
                conversation.Queue(dde::EncodeTextFrame(FrameType::Data, frame.id, *reply));
            else
                conversation.Queue(dde::EncodeFrame(FrameType::NoData, frame.id, {}));
            return;
        }
        default:
            // A second initiate or a server's frame from a client.
            conversation.broken = true;
            return;
    }
}

// Runs every received transaction, unless the client lags behind reading its
// answers; then the rest waits for the socket to drain.
void DdeServer::Impl::Serve(Conversation& conversation) {
    conversation.Flush();
    while (conversation.MayTakeFrames()) {
        auto frame = conversation.decoder.Next();
        if (!frame) {
            if (conversation.decoder.Malformed()) conversation.broken = true;
            break;
        }
        Handle(conversation, *frame);
        if (!conversation.MayTakeFrames()) conversation.Flush();
    }
    conversation.Flush();
}

void DdeServer::Impl::Close(std::size_t index) {
    if (conversations[index]->topic) {
        --openCount;
        lastBusy = Clock::now();
        try {
            handler.ConversationEnded(conversations[index]->id);
        } catch (...) {
        }
    }
    conversations.erase(conversations.begin() + static_cast<std::ptrdiff_t>(index));
}

void DdeServer::Impl::Run(std::chrono::milliseconds idleLimit) {
    if (!listenFd.Valid()) return;
    lastBusy = Clock::now();
    std::vector<pollfd> polled;
    for (;;) {
        const auto now = Clock::now();
        if (openCount > 0) lastBusy = now;
        int timeout = -1;
        if (idleLimit.count() > 0 && openCount == 0) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(lastBusy + idleLimit - now);
            if (left.count() <= 0) return;
            timeout = static_cast<int>(std::min<long long>(left.count(), 60'000));
        }
        const bool acceptPaused = now < acceptPausedUntil;
        if (acceptPaused) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(acceptPausedUntil - now);
            const int pause = static_cast<int>(left.count());
            timeout = timeout < 0 ? pause : std::min(timeout, pause);
        }

        for (const auto& c : conversations) {
            if (c->topic) continue;
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(c->accepted + kFirstFrameLimit - now);
            const int wait = static_cast<int>(std::max<long long>(left.count(), 0));
            timeout = timeout < 0 ? wait : std::min(timeout, wait);
        }

        polled.clear();
        polled.push_back({wakeRead.Get(), POLLIN, 0});
        const bool listening =
            !acceptPaused && (conversations.size() < kMaxConnections || SilentConversation());
        polled.push_back({listening ? listenFd.Get() : -1, POLLIN, 0});
        for (const auto& c : conversations) {
            short events = 0;
            if (!c->inputEnded && c->MayTakeFrames()) events |= POLLIN;
            if (c->Backlog() > 0) events |= POLLOUT;
            polled.push_back({c->fd.Get(), events, 0});
        }
        if (::poll(polled.data(), polled.size(), timeout) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (polled[0].revents) {
            char drain[64];
            while (::read(wakeRead.Get(), drain, sizeof drain) > 0) {
            }
            return;
        }
        // Conversations accepted below are polled from the next round on.
        const std::size_t polledConversations = conversations.size();
        for (std::size_t i = 0; i < polledConversations; ++i) {
            Conversation& c = *conversations[i];
            const short revents = polled[i + 2].revents;
            if (revents & (POLLIN | POLLHUP | POLLERR)) {
                if (!c.inputEnded) c.Receive();
                if (revents & POLLERR) c.outputBroken = true;
            }
            Serve(c);
        }
        const auto afterPoll = Clock::now();
        for (std::size_t i = conversations.size(); i-- > 0;) {
            const Conversation& c = *conversations[i];
            if (!c.topic && afterPoll - c.accepted >= kFirstFrameLimit) {
                Close(i);
                continue;
            }
            // Serve() ran every whole frame received before the end of
            // input (a client may send an execute and hang up at once), so
            // with nothing left to send the conversation is over.
            if (c.broken || (c.Backlog() == 0 && (c.finish || c.inputEnded))) Close(i);
        }
        if (polled[1].revents) AcceptAll();
    }
}

DdeServer::DdeServer(std::string service, DdeServerHandler& handler)
    : impl_(std::make_unique<Impl>(std::move(service), handler)) {}

DdeServer::~DdeServer() = default;

bool DdeServer::Start(std::string* error) {
    std::string reason;
    const bool started = impl_->Start(reason);
    if (!started && error) *error = reason;
    return started;
}

void DdeServer::Run(std::chrono::milliseconds idleLimit) { impl_->Run(idleLimit); }

void DdeServer::Stop() {
    // Only write(2) here: this runs from signal handlers.
    const int savedErrno = errno;
    if (impl_ && impl_->wakeWrite.Valid()) {
        const char wake = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(impl_->wakeWrite.Get(), &wake, 1);
    }
    errno = savedErrno;
}

int DdeServer::ConversationCount() const { return impl_->openCount.load(); }

}  // namespace vk
