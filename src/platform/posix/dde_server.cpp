#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
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
// Connections beyond this wait in the listen queue, unless room can be made
// by dropping a silent one (see Victim).
constexpr std::size_t kMaxConnections = 256;
// A client must offer its topic within this time, and a conversation silent
// for this long gives up its place when the table is full: neither a client
// that connects and never speaks nor a crowd of them can lock others out.
constexpr std::chrono::milliseconds kFirstFrameLimit(5000);
constexpr std::chrono::milliseconds kAcceptPause(100);

std::atomic<unsigned> nextSocketSequence{0};

struct Conversation {
    DdeConversationId id = 0;
    Clock::time_point accepted;
    Clock::time_point lastActive;  // bytes last moved either way
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
                lastActive = Clock::now();
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
        if (got > 0) {
            decoder.Feed(buffer, static_cast<std::size_t>(got));
            lastActive = Clock::now();
        } else if (got == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
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
    std::atomic<int> openCount{0};
    Clock::time_point lastBusy{};
    Clock::time_point acceptPausedUntil{};
    DdeConversationId lastConversationId = 0;

    bool Start(std::string& error);
    void Run(std::chrono::milliseconds idleLimit);
    void AcceptAll();
    std::optional<std::size_t> Victim(Clock::time_point now) const;
    void DropLateStarters(Clock::time_point now);
    std::optional<Clock::time_point> NextDeadline(Clock::time_point now) const;
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
    const DdeSocketFolderChoice choice = ChooseDdeSocketFolder();
    if (choice.folder.empty()) {
        error = "no private folder for DDE sockets (" + choice.refusal + ")";
        return false;
    }
    const std::filesystem::path& folder = choice.folder;
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

void DdeServer::Impl::AcceptAll() {
    while (conversations.size() < kMaxConnections) {
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
        auto conversation = std::make_unique<Conversation>();
        conversation->id = ++lastConversationId;
        conversation->accepted = conversation->lastActive = Clock::now();
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

// A connection that has not offered a topic in time is dropped: until it
// does, it holds a place without being a conversation. What it sent while
// the server was busy elsewhere is read first, so a slow transaction of
// another client does not cost it its place.
void DdeServer::Impl::DropLateStarters(Clock::time_point now) {
    for (std::size_t i = conversations.size(); i-- > 0;) {
        Conversation& c = *conversations[i];
        if (c.topic || now - c.accepted < kFirstFrameLimit) continue;
        if (!c.inputEnded) c.Receive();
        Serve(c);
        if (!c.topic) Close(i);
    }
}

// Which connection to drop when the table is full and a client waits: the
// oldest one that has not offered a topic yet, else the conversation silent
// longest, once it has been silent for kFirstFrameLimit. Nothing when every
// place is held by a conversation in use.
std::optional<std::size_t> DdeServer::Impl::Victim(Clock::time_point now) const {
    std::optional<std::size_t> victim;
    for (std::size_t i = 0; i < conversations.size(); ++i) {
        const Conversation& c = *conversations[i];
        if (!c.topic) {
            if (!victim || conversations[*victim]->topic ||
                c.accepted < conversations[*victim]->accepted)
                victim = i;
        } else if (now - c.lastActive >= kFirstFrameLimit &&
                   (!victim || (conversations[*victim]->topic &&
                                c.lastActive < conversations[*victim]->lastActive))) {
            victim = i;
        }
    }
    return victim;
}

// When the next connection becomes due for dropping, or may be dropped to
// make room (one that already may is not waited for: a waiting client wakes
// the server anyway).
std::optional<Clock::time_point> DdeServer::Impl::NextDeadline(Clock::time_point now) const {
    std::optional<Clock::time_point> next;
    const bool full = conversations.size() >= kMaxConnections;
    for (const auto& c : conversations) {
        std::optional<Clock::time_point> due;
        if (!c->topic)
            due = c->accepted + kFirstFrameLimit;
        else if (full && c->lastActive + kFirstFrameLimit > now)
            due = c->lastActive + kFirstFrameLimit;
        if (due && (!next || *due < *next)) next = due;
    }
    return next;
}

void DdeServer::Impl::Run(std::chrono::milliseconds idleLimit) {
    if (!listenFd.Valid()) return;
    lastBusy = Clock::now();
    std::vector<pollfd> polled;
    for (;;) {
        const auto now = Clock::now();
        DropLateStarters(now);
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
        if (const auto due = NextDeadline(now)) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*due - now);
            const int wait = static_cast<int>(std::max<long long>(left.count(), 0));
            timeout = timeout < 0 ? wait : std::min(timeout, wait);
        }

        polled.clear();
        polled.push_back({wakeRead.Get(), POLLIN, 0});
        // A full table listens only while it has a place it could free.
        const bool listening =
            !acceptPaused && (conversations.size() < kMaxConnections || Victim(now));
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
        for (std::size_t i = conversations.size(); i-- > 0;) {
            const Conversation& c = *conversations[i];
            // Serve() ran every whole frame received before the end of
            // input (a client may send an execute and hang up at once), so
            // with nothing left to send the conversation is over.
            if (c.broken || (c.Backlog() == 0 && (c.finish || c.inputEnded))) Close(i);
        }
        if (polled[1].revents) {
            // A client is waiting: make room for it if the table is full.
            if (conversations.size() >= kMaxConnections)
                if (const auto victim = Victim(Clock::now())) Close(*victim);
            AcceptAll();
        }
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
