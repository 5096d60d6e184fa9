#include <errno.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/dde.h"
#include "platform/posix/dde_socket.h"
#include "platform/posix/unique_fd.h"

namespace vk {
namespace {

using dde::Clock;
using dde::Frame;
using dde::FrameType;
using dde::IoStatus;

bool ProcessIsGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// Connects to one server socket; an invalid descriptor when nobody listens.
// A socket left behind by a process that no longer exists is removed.
posix::UniqueFd ConnectTo(const dde::ServerSocket& server) {
    sockaddr_un address{};
    if (!dde::MakeSocketAddress(server.path, address)) return {};
    posix::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.Valid()) return {};
    int result;
    do {
        result = ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        // A live process may sit between bind and listen: only a dead
        // owner makes the socket stale.
        if (errno == ECONNREFUSED && ProcessIsGone(server.pid)) ::unlink(server.path.c_str());
        return {};
    }
    if (!dde::PeerIsSameUser(fd.Get())) return {};
    return fd;
}

}  // namespace

struct DdeClient::Impl {
    posix::UniqueFd fd;
    dde::FrameDecoder decoder;
    std::uint32_t lastId = 0;
    std::chrono::milliseconds timeout = DdeClient::DefaultRequestTimeout();
    bool timedOut = false;  // the last transaction's answer did not come in time

    void Close() {
        fd.Reset();
        decoder = {};
    }

    // Sends one transaction and waits for the answer to it, skipping late
    // answers to transactions given up on before. A broken stream ends the
    // conversation; a time-out leaves it open.
    std::optional<Frame> Transact(FrameType type, std::string_view text) {
        timedOut = false;
        if (!fd.Valid() || text.size() >= dde::kMaxFramePayload) return std::nullopt;
        const std::uint32_t id = ++lastId;
        const auto deadline = Clock::now() + timeout;
        const IoStatus sent =
            dde::WriteAll(fd.Get(), dde::EncodeTextFrame(type, id, text), deadline);
        if (sent != IoStatus::Ok) {
            // Part of a frame may be on the wire: the stream cannot be trusted.
            Close();
            return std::nullopt;
        }
        for (;;) {
            Frame frame;
            const IoStatus got = dde::ReadFrame(fd.Get(), decoder, deadline, frame);
            if (got == IoStatus::TimedOut) {
                timedOut = true;
                return std::nullopt;
            }
            if (got == IoStatus::Closed || dde::IsClientFrame(frame.type)) {
                Close();
                return std::nullopt;
            }
            if (frame.id == id) return frame;
        }
    }
};

DdeClient::DdeClient() : impl_(std::make_unique<Impl>()) {}
DdeClient::~DdeClient() = default;

std::chrono::milliseconds DdeClient::DefaultRequestTimeout() {
    return std::chrono::milliseconds(10'000);
}

void DdeClient::SetRequestTimeout(std::chrono::milliseconds timeout) {
    impl_->timeout = timeout.count() > 0 ? timeout : std::chrono::milliseconds(1);
}

bool DdeClient::Connect(std::string_view service, std::string_view topic) {
    Disconnect();
    if (!dde::IsValidServiceName(service) || topic.find('\0') != std::string_view::npos)
        return false;
    const std::filesystem::path folder = DdeSocketFolder();
    if (folder.empty()) return false;
    for (const auto& server : dde::ListServerSockets(folder, service)) {
        impl_->fd = ConnectTo(server);
        if (!impl_->fd.Valid()) continue;
        const auto answer = impl_->Transact(FrameType::Initiate, topic);
        if (answer && answer->type == FrameType::Ack) return true;
        impl_->Close();
    }
    return false;
}

void DdeClient::Disconnect() { impl_->Close(); }

bool DdeClient::IsConnected() const { return impl_->fd.Valid(); }

bool DdeClient::Execute(std::string_view command) {
    // CF_TEXT ends at the first NUL: a command holding one cannot be sent whole.
    if (command.find('\0') != std::string_view::npos) return false;
    const auto answer = impl_->Transact(FrameType::Execute, command);
    return answer && answer->type == FrameType::Ack;
}

std::optional<std::string> DdeClient::Request(std::string_view item) {
    if (item.find('\0') != std::string_view::npos) return std::nullopt;
    const auto answer = impl_->Transact(FrameType::Request, item);
    if (!answer || answer->type != FrameType::Data) return std::nullopt;
    const auto text = dde::PayloadText(answer->payload);
    if (!text) return std::nullopt;
    return std::string(*text);
}

bool DdeClient::LastRequestTimedOut() const { return impl_->timedOut; }

}  // namespace vk
