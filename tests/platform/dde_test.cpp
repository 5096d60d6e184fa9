#include "platform/dde.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/fsuid.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "platform/posix/dde_folder.h"
#include "platform/posix/dde_wire.h"
#include "support/test_support.h"

extern char** environ;

namespace vk {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A gate a handler waits at until the test opens it (bounded, so a faulty
// implementation fails instead of hanging).
class Gate {
public:
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    bool Wait() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

// Serves a set of topics. Executes are logged; the request "log" returns the
// log, "name" the server's name, "echo:<x>" returns x, "big:<n>" n bytes,
// "slow" waits at the gate first.
class TestHandler : public DdeServerHandler {
public:
    TestHandler(std::string name, std::set<std::string> topics)
        : name_(std::move(name)), topics_(std::move(topics)) {}

    Gate gate;

    bool AcceptTopic(std::string_view topic) override {
        return topics_.count(std::string(topic)) > 0;
    }

    bool Execute(vk::DdeConversationId, std::string_view, std::string_view command) override {
        if (command == "gated") {
            log_ += gate.Wait() ? "gated-after-open;" : "gated-timed-out;";
            return true;
        }
        // Give a server that answered requests ahead of executes the chance
        // to show it.
        std::this_thread::sleep_for(20ms);
        log_ += std::string(command) + ';';
        return true;
    }

    std::optional<std::string> Request(vk::DdeConversationId, std::string_view,
                                       std::string_view item) override {
        if (item == "log") return log_;
        if (item == "name") return name_;
        if (item.starts_with("echo:")) return std::string(item.substr(5));
        if (item.starts_with("big:")) return Pattern(std::stoul(std::string(item.substr(4))));
        if (item == "slow") {
            (void)gate.Wait();
            return std::string("slow answer");
        }
        return std::nullopt;
    }

    // Every byte value but NUL, over and over.
    static std::string Pattern(std::size_t size) {
        std::string text(size, '\0');
        for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>(1 + i % 255);
        return text;
    }

private:
    std::string name_;
    std::set<std::string> topics_;
    std::string log_;
};

// A started server running on its own thread until the object goes.
class ServerThread {
public:
    ServerThread(std::string service, DdeServerHandler& handler,
                 std::chrono::milliseconds idleLimit = 0ms)
        : server_(std::move(service), handler) {
        std::string error;
        started_ = server_.Start(&error);
        EXPECT_TRUE(started_) << error;
        if (started_) thread_ = std::thread([this, idleLimit] { server_.Run(idleLimit); });
    }
    ~ServerThread() {
        server_.Stop();
        if (thread_.joinable()) thread_.join();
    }
    DdeServer& server() { return server_; }

private:
    DdeServer server_;
    bool started_ = false;
    std::thread thread_;
};

class DdeTest : public ::testing::Test {
protected:
    test::TempDir runtime_;
    test::ScopedEnv env_{"XDG_RUNTIME_DIR", runtime_.path().string()};

    fs::path Folder() const { return runtime_.path() / "vellumkit-dde"; }

    std::vector<fs::path> Sockets() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(Folder())) found.push_back(entry.path());
        return found;
    }
};

// A raw connection for sending what a well-behaved client never would.
int RawConnect(const fs::path& socket) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket.c_str());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether the server ends the connection without sending anything (a reset
// when it closes before reading what was sent); false when it sent a frame or
// kept the connection open for 10 s.
bool ServerHangsUp(int fd) {
    pollfd waiter{fd, POLLIN, 0};
    if (::poll(&waiter, 1, 10'000) <= 0) return false;
    char byte;
    const ssize_t got = ::recv(fd, &byte, 1, 0);
    return got == 0 || (got < 0 && errno == ECONNRESET);
}

TEST_F(DdeTest, ConnectOffersTheTopicToEachServerOfTheService) {
    TestHandler first("first", {"Sales"});
    TestHandler second("second", {"Demo"});
    TestHandler otherService("other", {"Demo", "Sales"});
    ServerThread a("Commence", first);
    ServerThread b("Commence", second);
    ServerThread c("Other", otherService);

    DdeClient client;
    ASSERT_TRUE(client.Connect("Commence", "Demo"));
    EXPECT_EQ(client.Request("name"), "second");
    ASSERT_TRUE(client.Connect("Commence", "Sales"));
    EXPECT_EQ(client.Request("name"), "first");

    EXPECT_FALSE(client.Connect("Commence", "Unknown"));
    EXPECT_FALSE(client.IsConnected());
    EXPECT_FALSE(client.Connect("Missing", "Demo"));
    // The topic is compared exactly.
    EXPECT_FALSE(client.Connect("Commence", "demo"));
}

TEST_F(DdeTest, WithoutConversationNothingIsSent) {
    DdeClient client;
    EXPECT_FALSE(client.IsConnected());
    EXPECT_FALSE(client.Execute("[GetCategoryNames()]"));
    EXPECT_EQ(client.Request("[GetCategoryNames()]"), std::nullopt);
    EXPECT_FALSE(client.Connect("Commence", "Demo"));
}

TEST_F(DdeTest, RequestIsAnsweredAfterEveryEarlierExecuteRan) {
    TestHandler handler("server", {"Demo"});
    ServerThread server("Commence", handler);
    DdeClient client;
    ASSERT_TRUE(client.Connect("Commence", "Demo"));
    EXPECT_TRUE(client.Execute("one"));
    EXPECT_TRUE(client.Execute("two"));
    EXPECT_TRUE(client.Execute("three"));
    EXPECT_EQ(client.Request("log"), "one;two;three;");
}

TEST_F(DdeTest, ExecuteReturnsOnceQueuedWithoutWaitingForTheCommand) {
    TestHandler handler("server", {"Demo"});
    ServerThread server("Commence", handler);
    DdeClient client;
    ASSERT_TRUE(client.Connect("Commence", "Demo"));
    // The command waits at the gate, which only this thread opens after
    // Execute has returned.
    ASSERT_TRUE(client.Execute("gated"));
    handler.gate.Open();
    EXPECT_EQ(client.Request("log"), "gated-after-open;");
}

TEST_F(DdeTest, TextKeepsEveryByteAndLargeRepliesArriveWhole) {
    TestHandler handler("server", {"Demo"});
    ServerThread server("Commence", handler);
    DdeClient client;
    ASSERT_TRUE(client.Connect("Commence", "Demo"));

    const std::string allBytes = TestHandler::Pattern(255);
    EXPECT_EQ(client.Request("echo:" + allBytes), allBytes);
    EXPECT_EQ(client.Request("echo:"), "");

    const std::size_t size = 5u * 1024u * 1024u;
    const auto big = client.Request("big:" + std::to_string(size));
    ASSERT_TRUE(big.has_value());
    EXPECT_EQ(big->size(), size);
    EXPECT_TRUE(*big == TestHandler::Pattern(size));

    // A reply too large for one frame fails that request only.
    EXPECT_EQ(client.Request("big:" + std::to_string(dde::kMaxFramePayload)), std::nullopt);
    EXPECT_EQ(client.Request("name"), "server");

    // CF_TEXT cannot hold a NUL: such text is refused, not cut short.
    EXPECT_FALSE(client.Execute(std::string("cut\0here", 8)));
    EXPECT_EQ(client.Request("log"), "");
}

TEST_F(DdeTest, UnansweredRequestTimesOutAndItsLateAnswerIsDiscarded) {
    TestHandler handler("server", {"Demo"});
    ServerThread server("Commence", handler);
    DdeClient client;
    client.SetRequestTimeout(200ms);
    ASSERT_TRUE(client.Connect("Commence", "Demo"));

    EXPECT_EQ(client.Request("slow"), std::nullopt);
    EXPECT_TRUE(client.IsConnected());
    handler.gate.Open();
    // The answer to "slow" arrives first and must not be taken for this one.
    client.SetRequestTimeout(DdeClient::DefaultRequestTimeout());
    EXPECT_EQ(client.Request("name"), "server");
    EXPECT_EQ(client.Request("unknown item"), std::nullopt);
    EXPECT_EQ(client.Request("echo:still here"), "still here");
}

TEST_F(DdeTest, ServerDyingMidRequestEndsTheConversation) {
    const std::string program = std::string(VK_BIN_DIR) + "/dde_test_server";
    std::vector<std::string> args = {program, "/DATABASE=Demo"};
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ), 0);
    struct Reap {
        pid_t pid;
        ~Reap() {
            if (pid <= 0) return;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    } reap{pid};

    DdeClient client;
    bool connected = false;
    for (int attempt = 0; attempt < 200 && !connected; ++attempt) {
        connected = client.Connect("VkTest", "Demo");
        if (!connected) std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(connected);
    ASSERT_EQ(client.Request("pid"), std::to_string(pid));

    // Without end-of-stream detection this would wait the full 10 s
    // and still return nothing, so also check the conversation is gone.
    EXPECT_EQ(client.Request("die"), std::nullopt);
    EXPECT_FALSE(client.IsConnected());
    EXPECT_FALSE(client.Execute("anything"));

    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    reap.pid = 0;
    EXPECT_TRUE(WIFSIGNALED(status));

    // The dead server's socket is skipped, and cleaned away.
    ASSERT_EQ(Sockets().size(), 1u);
    EXPECT_FALSE(client.Connect("VkTest", "Demo"));
    EXPECT_TRUE(Sockets().empty());
}

TEST_F(DdeTest, StaleSocketOfDeadProcessIsSkippedAndRemoved) {
    // A process that has exited gives a pid nobody owns now.
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);

    ASSERT_FALSE(DdeSocketFolder().empty());
    const fs::path stale = Folder() / ("Commence." + std::to_string(dead) + ".sock");
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", stale.c_str());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    // Servers are offered the topic oldest first. File times are coarse, so
    // without an older stamp the live socket could tie with the stale one and
    // be tried first, leaving the stale one untouched.
    const timespec anHourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, stale.c_str(), anHourAgo, AT_SYMLINK_NOFOLLOW), 0);

    TestHandler handler("live", {"Demo"});
    ServerThread server("Commence", handler);
    DdeClient client;
    ASSERT_TRUE(client.Connect("Commence", "Demo"));
    EXPECT_EQ(client.Request("name"), "live");
    EXPECT_FALSE(fs::exists(stale));
}

struct BadStream {
    const char* name;
    bool initiateFirst;
    std::string bytes;
};

std::string Header(std::uint8_t type, std::uint32_t length) {
    std::string header(1, static_cast<char>(type));
    header += std::string(4, '\0');
    for (int shift = 24; shift >= 0; shift -= 8)
        header += static_cast<char>((length >> shift) & 0xFF);
    return header;
}

class DdeBadStreamTest : public DdeTest, public ::testing::WithParamInterface<BadStream> {};

TEST_P(DdeBadStreamTest, ClosesThatConversationOnly) {
    TestHandler handler("server", {"Demo"});
    ServerThread server("Commence", handler);
    DdeClient good;
    ASSERT_TRUE(good.Connect("Commence", "Demo"));
    ASSERT_TRUE(good.Execute("before"));

    const auto sockets = Sockets();
    ASSERT_EQ(sockets.size(), 1u);
    const int fd = RawConnect(sockets[0]);
    ASSERT_GE(fd, 0);
    if (GetParam().initiateFirst) {
        const std::string initiate = dde::EncodeTextFrame(dde::FrameType::Initiate, 7, "Demo");
        ASSERT_EQ(::send(fd, initiate.data(), initiate.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(initiate.size()));
        char ack[dde::kFrameHeaderSize];
        ASSERT_EQ(::recv(fd, ack, sizeof ack, MSG_WAITALL), static_cast<ssize_t>(sizeof ack));
        EXPECT_EQ(static_cast<std::uint8_t>(ack[0]),
                  static_cast<std::uint8_t>(dde::FrameType::Ack));
    }
    const std::string& bytes = GetParam().bytes;
    ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
    EXPECT_TRUE(ServerHangsUp(fd));
    ::close(fd);

    EXPECT_EQ(server.server().ConversationCount(), 1);
    EXPECT_TRUE(good.Execute("after"));
    EXPECT_EQ(good.Request("log"), "before;after;");
}

INSTANTIATE_TEST_SUITE_P(
    Streams, DdeBadStreamTest,
    ::testing::Values(BadStream{"OversizedLength", true, Header(2, 17u * 1024u * 1024u)},
                      BadStream{"UnknownType", true, Header(0x55, 1) + "x"},
                      BadStream{"TextWithoutNul", true, Header(2, 3) + "abc"},
                      BadStream{"NulInsideText", true, Header(3, 4) + std::string("a\0b\0", 4)},
                      BadStream{"ServerFrameFromClient", true, Header(0x81, 0)},
                      BadStream{"SecondInitiate", true, Header(1, 5) + std::string("Demo\0", 5)},
                      BadStream{"RequestBeforeInitiate", false,
                                Header(3, 4) + std::string("log\0", 4)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DdeTest, RefusedTopicClosesTheProbe) {
    TestHandler handler("server", {"Demo"});
    ServerThread server("Commence", handler);
    const auto sockets = Sockets();
    ASSERT_EQ(sockets.size(), 1u);
    const int fd = RawConnect(sockets[0]);
    ASSERT_GE(fd, 0);
    const std::string initiate = dde::EncodeTextFrame(dde::FrameType::Initiate, 1, "Sales");
    ASSERT_EQ(::send(fd, initiate.data(), initiate.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(initiate.size()));
    char nack[dde::kFrameHeaderSize];
    ASSERT_EQ(::recv(fd, nack, sizeof nack, MSG_WAITALL), static_cast<ssize_t>(sizeof nack));
    EXPECT_EQ(static_cast<std::uint8_t>(nack[0]), static_cast<std::uint8_t>(dde::FrameType::Nack));
    EXPECT_TRUE(ServerHangsUp(fd));
    ::close(fd);
    EXPECT_EQ(server.server().ConversationCount(), 0);
}

TEST_F(DdeTest, PeerOfAnotherUserIsRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    TestHandler handler("server", {"Demo"});
    ServerThread server("Commence", handler);
    const auto sockets = Sockets();
    ASSERT_EQ(sockets.size(), 1u);

    const pid_t child = ::fork();
    if (child == 0) {
        // Act as "nobody" while keeping root's file access, so the socket can
        // be reached and only the peer check stands in the way.
        if (::setresgid(65534, 65534, 0) != 0 || ::setresuid(65534, 65534, 0) != 0) ::_exit(10);
        ::setfsuid(0);
        const int fd = RawConnect(sockets[0]);
        if (fd < 0) ::_exit(11);
        const std::string initiate = dde::EncodeTextFrame(dde::FrameType::Initiate, 1, "Demo");
        if (::send(fd, initiate.data(), initiate.size(), MSG_NOSIGNAL) < 0) ::_exit(0);
        ::_exit(ServerHangsUp(fd) ? 0 : 12);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10/11: could not act as nobody; 12: server answered";
    EXPECT_EQ(server.server().ConversationCount(), 0);
}

TEST_F(DdeTest, SocketFolderIsPrivate) {
    const fs::path folder = DdeSocketFolder();
    ASSERT_EQ(folder, Folder());
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_EQ(info.st_uid, ::geteuid());

    // Opened up by someone: closed again.
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    EXPECT_EQ(DdeSocketFolder(), folder);
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
}

TEST_F(DdeTest, SocketFolderIsRefusedWhenNotOurs) {
    // A link planted in place of the folder is not followed.
    const fs::path elsewhere = runtime_.path() / "elsewhere";
    fs::create_directory(elsewhere);
    fs::create_directory_symlink(elsewhere, Folder());
    EXPECT_TRUE(DdeSocketFolder().empty());
    TestHandler handler("server", {"Demo"});
    DdeServer server("Commence", handler);
    std::string error;
    EXPECT_FALSE(server.Start(&error));
    EXPECT_FALSE(error.empty());
    fs::remove(Folder());

    if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand the folder to another user";
    fs::create_directory(Folder());
    ASSERT_EQ(::chown(Folder().c_str(), 65534, 65534), 0);
    EXPECT_TRUE(DdeSocketFolder().empty());
}

// Without $XDG_RUNTIME_DIR the folder lies in /tmp, where another user can
// make it first: such a folder is refused, naming it, and a private one is
// used instead.
TEST_F(DdeTest, SharedSocketFolderNotPrivatelyOursGivesWayToThePrivateOne) {
    struct Case {
        const char* name;
        void (*plant)(const fs::path& shared, const fs::path& elsewhere);
        const char* reason;  // empty: the shared folder is used
        bool needsRoot = false;
    };
    const Case cases[] = {
        {"missing", [](const fs::path&, const fs::path&) {}, ""},
        {"private and ours", [](const fs::path& shared, const fs::path&) {
             fs::create_directory(shared);
             fs::permissions(shared, fs::perms::owner_all);
         }, ""},
        {"a link", [](const fs::path& shared, const fs::path& elsewhere) {
             fs::create_directory_symlink(elsewhere, shared);
         }, "is not a folder"},
        {"a plain file", [](const fs::path& shared, const fs::path&) {
             test::WriteFileBytes(shared, "");
         }, "is not a folder"},
        {"open to others", [](const fs::path& shared, const fs::path&) {
             fs::create_directory(shared);
             fs::permissions(shared, fs::perms::all);
         }, "is open to other users"},
        {"another user's", [](const fs::path& shared, const fs::path&) {
             fs::create_directory(shared);
             fs::permissions(shared, fs::perms::owner_all);
             EXPECT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
         }, "belongs to another user", true},
    };
    for (const Case& c : cases) {
        if (c.needsRoot && ::geteuid() != 0) continue;
        test::TempDir dir;
        const fs::path shared = dir.path() / "vellumkit-dde-shared";
        const fs::path fallback = dir.path() / "home" / ".cache" / "vellumkit-dde";
        fs::create_directory(dir.path() / "elsewhere");
        c.plant(shared, dir.path() / "elsewhere");

        const DdeSocketFolderChoice choice = dde::ChooseSocketFolder(nullptr, shared, fallback);
        const fs::path used = std::string(c.reason).empty() ? shared : fallback;
        EXPECT_EQ(choice.folder, used) << c.name;
        if (std::string(c.reason).empty()) {
            EXPECT_EQ(choice.refusal, "") << c.name;
        } else {
            EXPECT_EQ(choice.refusal, shared.string() + " " + c.reason + "; using " +
                                          fallback.string() + " instead")
                << c.name;
        }
        struct stat info {};
        ASSERT_EQ(::lstat(used.c_str(), &info), 0) << c.name;
        EXPECT_TRUE(S_ISDIR(info.st_mode)) << c.name;
        EXPECT_EQ(info.st_mode & 07777, 0700u) << c.name;
        EXPECT_EQ(info.st_uid, ::geteuid()) << c.name;
    }
}

// Connections that never speak neither keep their place for long nor lock a
// well-behaved client out, however many they are.
TEST_F(DdeTest, SilentConnectionsCannotLockOthersOut) {
    TestHandler handler("server", {"Demo"});
    ServerThread server("Commence", handler);
    const auto sockets = Sockets();
    ASSERT_EQ(sockets.size(), 1u);
    std::vector<int> silent;
    for (int i = 0; i < 300; ++i) {
        const int fd = RawConnect(sockets[0]);
        ASSERT_GE(fd, 0) << i;
        silent.push_back(fd);
    }
    // Well before the silent ones would be timed out.
    DdeClient client;
    client.SetRequestTimeout(3s);
    ASSERT_TRUE(client.Connect("Commence", "Demo"));
    EXPECT_EQ(client.Request("name"), "server");

    int keptOpen = 0;
    for (const int fd : silent) {
        if (!ServerHangsUp(fd)) ++keptOpen;
        ::close(fd);
    }
    EXPECT_EQ(keptOpen, 0);
    // The conversation that did speak is kept however long it was quiet.
    EXPECT_EQ(client.Request("name"), "server");
    EXPECT_EQ(server.server().ConversationCount(), 1);
}

TEST_F(DdeTest, RunReturnsOnStopFromSignalHandler) {
    TestHandler handler("server", {"Demo"});
    static DdeServer* signalled = nullptr;
    DdeServer server("Commence", handler);
    ASSERT_TRUE(server.Start());
    signalled = &server;
    struct sigaction action {
    }, previous{};
    action.sa_handler = [](int) { signalled->Stop(); };
    ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);
    ::raise(SIGUSR1);
    ::sigaction(SIGUSR1, &previous, nullptr);
    server.Run();  // returns at once: the stop came first
    signalled = nullptr;
}

TEST_F(DdeTest, IdleLimitCountsOnlyTimeWithoutConversation) {
    TestHandler handler("server", {"Demo"});
    DdeServer server("Commence", handler);
    ASSERT_TRUE(server.Start());
    server.Run(1ms);  // nobody came: returns

    DdeClient client;
    {
        std::thread running([&] { server.Run(); });
        EXPECT_TRUE(client.Connect("Commence", "Demo"));
        server.Stop();
        running.join();
    }
    ASSERT_EQ(server.ConversationCount(), 1);
    std::thread running([&] { server.Run(50ms); });
    std::this_thread::sleep_for(250ms);
    // Still served long after the idle limit, since a conversation is open.
    EXPECT_EQ(client.Request("name"), "server");
    client.Disconnect();
    running.join();  // returns once the conversation has been gone 50 ms
    EXPECT_EQ(server.ConversationCount(), 0);
}

}  // namespace
}  // namespace vk
