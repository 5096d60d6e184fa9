#include "platform/posix/dde_socket.h"

#include <errno.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace vk::dde {
namespace {

int PollTimeout(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return 0;
    // Round up so a wait never ends just short of its deadline.
    return static_cast<int>(std::min<long long>(left + 1, 60'000));
}

// The pid in "<pid>" or "<pid>-<n>"; nothing for any other text.
std::optional<pid_t> ParseInstance(std::string_view middle) {
    const auto dash = middle.find('-');
    const std::string_view pidText = middle.substr(0, dash);
    if (dash != std::string_view::npos) {
        const std::string_view sequence = middle.substr(dash + 1);
        if (sequence.empty() || !std::all_of(sequence.begin(), sequence.end(),
                                             [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
    }
    if (pidText.empty() ||
        !std::all_of(pidText.begin(), pidText.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid);
    if (error != std::errc() || end != pidText.data() + pidText.size() || pid <= 0)
        return std::nullopt;
    return pid;
}

}  // namespace

bool IsValidServiceName(std::string_view service) {
    return !service.empty() && service.front() != '.' &&
           service.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::string ServerSocketName(std::string_view service, pid_t pid, unsigned sequence) {
    std::string name(service);
    name += '.';
    name += std::to_string(pid);
    if (sequence > 0) name += '-' + std::to_string(sequence);
    name += ".sock";
    return name;
}

std::vector<ServerSocket> ListServerSockets(const std::filesystem::path& folder,
                                            std::string_view service) {
    struct Found {
        ServerSocket socket;
        struct timespec modified {};
        std::string name;
    };
    std::vector<Found> found;
    const std::string prefix = std::string(service) + '.';
    constexpr std::string_view suffix = ".sock";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
            !name.ends_with(suffix))
            continue;
        const auto pid = ParseInstance(std::string_view(name).substr(
            prefix.size(), name.size() - prefix.size() - suffix.size()));
        if (!pid) continue;
        struct stat info {};
        if (::lstat(entry.path().c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) continue;
        found.push_back({{entry.path(), *pid}, info.st_mtim, std::move(name)});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.modified.tv_sec != b.modified.tv_sec) return a.modified.tv_sec < b.modified.tv_sec;
        if (a.modified.tv_nsec != b.modified.tv_nsec)
            return a.modified.tv_nsec < b.modified.tv_nsec;
        return a.name < b.name;
    });
    std::vector<ServerSocket> sockets;
    sockets.reserve(found.size());
    for (auto& f : found) sockets.push_back(std::move(f.socket));
    return sockets;
}

bool MakeSocketAddress(const std::filesystem::path& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    const std::string& text = path.native();
    if (text.empty() || text.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, text.data(), text.size());
    return true;
}

bool PeerIsSameUser(int fd) {
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof credentials)
        return false;
    return credentials.uid == ::geteuid();
}

IoStatus WriteAll(int fd, std::string_view bytes, Clock::time_point deadline) {
    while (!bytes.empty()) {
        const ssize_t written = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd waiter{fd, POLLOUT, 0};
            const int timeout = PollTimeout(deadline);
            if (timeout == 0) return IoStatus::TimedOut;
            const int ready = ::poll(&waiter, 1, timeout);
            if (ready < 0 && errno != EINTR) return IoStatus::Closed;
            if (ready > 0 && (waiter.revents & (POLLERR | POLLNVAL))) return IoStatus::Closed;
            continue;
        }
        return IoStatus::Closed;
    }
    return IoStatus::Ok;
}

IoStatus ReadFrame(int fd, FrameDecoder& decoder, Clock::time_point deadline, Frame& frame) {
    char buffer[64 * 1024];
    for (;;) {
        if (auto next = decoder.Next()) {
            frame = std::move(*next);
            return IoStatus::Ok;
        }
        if (decoder.Malformed()) return IoStatus::Closed;
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got > 0) {
            decoder.Feed(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got == 0) return IoStatus::Closed;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return IoStatus::Closed;
        pollfd waiter{fd, POLLIN, 0};
        const int timeout = PollTimeout(deadline);
        if (timeout == 0) return IoStatus::TimedOut;
        const int ready = ::poll(&waiter, 1, timeout);
        if (ready < 0 && errno != EINTR) return IoStatus::Closed;
    }
}

}  // namespace vk::dde
