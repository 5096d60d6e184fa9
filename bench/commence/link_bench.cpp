// Round trip of a Commence request through the link against the running
// server, beside a raw Unix-socket ping-pong with a child process in the same
// run: the link's cost over the bare transport shows as the ratio of the two.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "commence/commands.h"
#include "commence/conversation.h"
#include "support/commence_fixture.h"

namespace {

// A child process that answers every message with a reply of the same size
// until its socket closes.
class EchoChild {
public:
    EchoChild() {
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) std::abort();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            std::array<char, 4096> buffer{};
            for (;;) {
                const ssize_t n = ::read(fds[1], buffer.data(), buffer.size());
                if (n <= 0) ::_exit(0);
                if (::write(fds[1], buffer.data(), static_cast<size_t>(n)) != n) ::_exit(1);
            }
        }
        ::close(fds[1]);
        fd_ = fds[0];
    }
    ~EchoChild() {
        ::close(fd_);
        ::waitpid(pid_, nullptr, 0);
    }
    EchoChild(const EchoChild&) = delete;
    EchoChild& operator=(const EchoChild&) = delete;

    // Sends the message and reads back as many bytes.
    void PingPong(const std::string& message) {
        if (::write(fd_, message.data(), message.size()) != static_cast<ssize_t>(message.size()))
            std::abort();
        std::size_t got = 0;
        std::array<char, 4096> buffer{};
        while (got < message.size()) {
            const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
            if (n <= 0) std::abort();
            got += static_cast<std::size_t>(n);
        }
    }

private:
    pid_t pid_ = -1;
    int fd_ = -1;
};

void BM_RawSocketPingPong(benchmark::State& state) {
    EchoChild child;
    // About the size of a request frame and its reply.
    const std::string message(static_cast<std::size_t>(state.range(0)), 'x');
    for (auto _ : state) child.PingPong(message);
}
BENCHMARK(BM_RawSocketPingPong)->Arg(32)->Arg(256);

// The Commence conversation the request benchmarks share, opened in main().
vk::DdeConversation* gConversation = nullptr;

// "[GetLastError]" (a short item, a one-digit reply) and the category names
// (a few dozen bytes back): request frame out, reply frame in, through the
// link, the DDE client and the server's command handling.
void BM_LinkRequest(benchmark::State& state, const std::string& item) {
    std::size_t replyBytes = 0;
    for (auto _ : state) {
        const std::string reply = gConversation->RequestText(item);
        if (reply.empty()) {
            state.SkipWithError("Commence did not answer");
            return;
        }
        replyBytes = reply.size();
    }
    state.counters["reply_bytes"] = static_cast<double>(replyBytes);
}
BENCHMARK_CAPTURE(BM_LinkRequest, GetLastError, std::string(vk::commands::kGetLastError));
BENCHMARK_CAPTURE(BM_LinkRequest, GetCategoryNames, vk::commands::GetCategoryNames());

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // A private registry, socket folder and demo databases, and a running
    // server; all of it goes when the fixture does.
    vk::test::CommenceFixture fixture;
    fixture.StartServer(vk::test::CommenceFixture::kDemoSales);
    vk::DdeConversation conversation;
    conversation.SetLink(vk::commands::kService, vk::test::CommenceFixture::kDemoSales);
    if (!conversation.OpenLink()) {
        std::cerr << "cannot open a conversation with the server\n";
        return 1;
    }
    gConversation = &conversation;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
