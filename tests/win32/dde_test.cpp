#include "platform/dde.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "late_ack_server.h"
#include "platform/launcher.h"

namespace vk {
namespace {

using namespace std::chrono_literals;

// Serves topic "Demo": executes are logged per conversation, item "Log"
// returns the log, "Slow" answers after 500 ms, "Nul" holds a NUL, "Big" is
// too large for CF_TEXT and "Throw" throws.
class LoggingHandler : public DdeServerHandler {
public:
    bool AcceptTopic(std::string_view topic) override { return topic == "Demo"; }
    bool Execute(DdeConversationId conversation, std::string_view,
                 std::string_view command) override {
        const std::lock_guard lock(mutex);
        logs[conversation] += std::string(command) + "|";
        return true;
    }
    std::optional<std::string> Request(DdeConversationId conversation, std::string_view,
                                       std::string_view item) override {
        if (item == "Slow") {
            std::this_thread::sleep_for(500ms);
            return "slow answer";
        }
        if (item == "Nul") return std::string("ab\0cd", 5);
        if (item == "Big") return std::string(16 * 1024 * 1024, 'x');
        if (item == "Throw") throw std::runtime_error("handler failed");
        if (item != "Log") return std::nullopt;
        const std::lock_guard lock(mutex);
        return logs[conversation];
    }
    void ConversationEnded(DdeConversationId conversation) override {
        const std::lock_guard lock(mutex);
        ended.push_back(conversation);
    }

    std::mutex mutex;
    std::map<DdeConversationId, std::string> logs;
    std::vector<DdeConversationId> ended;
};

// A DdeServer on a thread of its own, as DDEML needs: made, started, run and
// destroyed on it.
class ServerThread {
public:
    explicit ServerThread(DdeServerHandler& handler) {
        thread_ = std::thread([this, &handler] {
            DdeServer server("VkTestService", handler);
            started_ = server.Start();
            server_ = &server;
            ready_ = true;
            if (started_) server.Run();
            while (!stopping_) std::this_thread::sleep_for(1ms);
            server_ = nullptr;
        });
        while (!ready_) std::this_thread::sleep_for(1ms);
    }
    ~ServerThread() {
        server_.load()->Stop();
        stopping_ = true;
        thread_.join();
    }
    [[nodiscard]] bool Started() const { return started_; }
    DdeServer& Server() { return *server_.load(); }

private:
    std::atomic<DdeServer*> server_{nullptr};
    std::atomic<bool> ready_{false};
    std::atomic<bool> stopping_{false};
    bool started_ = false;
    std::thread thread_;
};

TEST(Win32DdeTest, RequestsSeeEveryEarlierExecuteOfTheirConversation) {
    LoggingHandler handler;
    ServerThread server(handler);
    ASSERT_TRUE(server.Started());

    DdeClient refused;
    EXPECT_FALSE(refused.Connect("VkTestService", "Other"));
    EXPECT_FALSE(refused.Connect("NoSuchService", "Demo"));
    EXPECT_FALSE(refused.IsConnected());

    DdeClient first;
    DdeClient second;
    ASSERT_TRUE(first.Connect("VkTestService", "Demo"));
    ASSERT_TRUE(second.Connect("vktestservice", "demo"));
    EXPECT_EQ(server.Server().ConversationCount(), 2);
    for (const char* command : {"[A]", "[B]", "[C \xE9]"}) EXPECT_TRUE(first.Execute(command));
    EXPECT_TRUE(second.Execute("[Z]"));
    EXPECT_EQ(first.Request("Log"), "[A]|[B]|[C \xE9]|");
    EXPECT_EQ(second.Request("Log"), "[Z]|");
    EXPECT_FALSE(first.Execute(std::string("[A\0B]", 5)));

    first.Disconnect();
    EXPECT_FALSE(first.IsConnected());
    EXPECT_FALSE(first.Request("Log"));
    EXPECT_TRUE(second.IsConnected());
    for (int i = 0; i < 200 && handler.ended.empty(); ++i) std::this_thread::sleep_for(5ms);
    const std::lock_guard lock(handler.mutex);
    EXPECT_EQ(handler.ended.size(), 1u);
}

TEST(Win32DdeTest, RepliesAreCfTextAndFailuresAreNoAnswer) {
    LoggingHandler handler;
    ServerThread server(handler);
    ASSERT_TRUE(server.Started());
    DdeClient client;
    ASSERT_TRUE(client.Connect("VkTestService", "Demo"));
    EXPECT_EQ(client.Request("Nul"), "ab");
    EXPECT_FALSE(client.Request("Missing"));
    EXPECT_FALSE(client.Request("Throw"));
    EXPECT_FALSE(client.Request("Big"));
    // None of these ended the conversation.
    EXPECT_TRUE(client.IsConnected());
    EXPECT_EQ(client.Request("Log"), "");
}

// A server in another process whose DDEML acknowledges each request once
// more after its data: requests for alternating items each get their own
// answer, none times out.
TEST(Win32DdeTest, ManyRequestsForDifferentItemsAllGetTheirAnswers) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const auto peer = std::filesystem::path(self).parent_path() / "win32_dde_peer.exe";
    LaunchOptions options;
    options.ready = [] {
        DdeClient probe;
        return probe.Connect("VkEchoPeer", "Echo");
    };
    ASSERT_TRUE(Launch("\"" + peer.string() + "\" VkEchoPeer Echo", options).ready);

    DdeClient client;
    ASSERT_TRUE(client.Connect("VkEchoPeer", "Echo"));
    client.SetRequestTimeout(2s);
    int wrong = 0;
    for (int i = 0; i < 60 && wrong < 3; ++i) {
        const std::string item = i % 2 ? "[GetCategoryNames()]" : "[GetLastError]";
        if (client.Request(item) != "echo:" + item) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(client.Execute("[Quit]"));
}

// Takes all but `spare` of this process's movable global handles (there are
// 65,536 at most) until it goes out of scope.
class ScarceGlobalHandles {
public:
    explicit ScarceGlobalHandles(std::size_t spare) {
        while (HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 1)) taken_.push_back(handle);
        for (std::size_t i = 0; i < spare && !taken_.empty(); ++i) {
            GlobalFree(taken_.back());
            taken_.pop_back();
        }
    }
    ~ScarceGlobalHandles() {
        for (HGLOBAL handle : taken_) GlobalFree(handle);
    }
    ScarceGlobalHandles(const ScarceGlobalHandles&) = delete;
    ScarceGlobalHandles& operator=(const ScarceGlobalHandles&) = delete;

private:
    std::vector<HGLOBAL> taken_;
};

// Answers each item with "echo:" and the item; takes every command.
class EchoHandler : public DdeServerHandler {
public:
    bool AcceptTopic(std::string_view) override { return true; }
    bool Execute(DdeConversationId, std::string_view, std::string_view) override { return true; }
    std::optional<std::string> Request(DdeConversationId, std::string_view,
                                       std::string_view item) override {
        return "echo:" + std::string(item);
    }
};

// A long session, client and server in this process: once a request or a
// command kept a global handle for good on either side, every transaction
// failed after some ten thousand of them until the process ended. With only
// a few hundred handles left, thousands of transactions must all work.
TEST(Win32DdeTest, LongSessionKeepsNoGlobalHandles) {
    EchoHandler handler;
    ServerThread server(handler);
    ASSERT_TRUE(server.Started());
    DdeClient client;
    ASSERT_TRUE(client.Connect("VkTestService", "Echo"));
    client.SetRequestTimeout(5s);

    int failed = 0;
    {
        const ScarceGlobalHandles scarce(500);
        for (int i = 0; i < 3000 && failed < 3; ++i) {
            const std::string item = "item " + std::to_string(i % 7);
            if (client.Request(item) != "echo:" + item) ++failed;
            if (i % 3 == 0 && !client.Execute("[Noop]")) ++failed;
        }
    }
    EXPECT_EQ(failed, 0);
}

TEST(Win32DdeTest, LateReplyAfterTimeOutIsNotTakenForTheNextAnswer) {
    LoggingHandler handler;
    ServerThread server(handler);
    ASSERT_TRUE(server.Started());
    DdeClient client;
    ASSERT_TRUE(client.Connect("VkTestService", "Demo"));
    client.SetRequestTimeout(100ms);
    EXPECT_FALSE(client.Request("Slow"));
    EXPECT_TRUE(client.IsConnected());
    client.SetRequestTimeout(5s);
    ASSERT_TRUE(client.Execute("[After]"));
    EXPECT_EQ(client.Request("Log"), "[After]|");
}

TEST(Win32DdeTest, ServerThatGoesAwayEndsTheConversation) {
    LoggingHandler handler;
    DdeClient client;
    {
        ServerThread server(handler);
        ASSERT_TRUE(server.Started());
        ASSERT_TRUE(client.Connect("VkTestService", "Demo"));
    }
    EXPECT_FALSE(client.Request("Log"));
    EXPECT_FALSE(client.IsConnected());
    EXPECT_FALSE(client.Connect("VkTestService", "Demo"));
}

TEST(Win32DdeTest, StopBeforeRunReturnsAtOnce) {
    LoggingHandler handler;
    DdeServer server("VkEarlyStop", handler);
    ASSERT_TRUE(server.Start());
    server.Stop();
    const auto start = std::chrono::steady_clock::now();
    server.Run();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

// A peer that acknowledges a request once more, late, after its data: that
// acknowledgement must answer neither the next execute nor the next request.
TEST(Win32DdeTest, StrayAcknowledgementAfterARequestAnswersNothingElse) {
    struct Case {
        const char* name;
        unsigned delayMs;
    };
    for (const Case& row : {Case{"queued with the data", 0}, Case{"a little later", 20}}) {
        SCOPED_TRACE(row.name);
        test::LateAckServer server("VkLateAck", "Demo", row.delayMs);
        DdeClient client;
        ASSERT_TRUE(client.Connect("VkLateAck", "Demo"));
        EXPECT_EQ(client.Request("one"), "answer:one");
        // The stray positive acknowledgement must not pass for this refusal.
        EXPECT_FALSE(client.Execute("[Refuse]"));
        EXPECT_EQ(client.Request("two"), "answer:two");
        EXPECT_EQ(client.Request("three"), "answer:three");
        EXPECT_TRUE(client.Execute("[Accept]"));
        EXPECT_EQ(client.Request("four"), "answer:four");
    }
}


}  // namespace
}  // namespace vk
