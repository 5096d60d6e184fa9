// Request round trips over DDEML on Windows. BM_RawPingPong is the bare
// transport: DdeClientTransaction against a DDEML server on another thread
// that answers every request at once with a reply of the given size (and
// waiting out the extra acknowledgement Wine's DDEML server sends).
// BM_ClientPingPong is the same through DdeClient (with its reply filter),
// and BM_LinkRequest a Commence request through the link against the
// Commence-compatible server started from beside this program. Its database
// must be registered first: run vellumkit-setup with the same
// VELLUMKIT_REGISTRY_DIR (scripts/test-windows.sh shows how).
#include <benchmark/benchmark.h>
#include <windows.h>
#include <dde.h>
#include <ddeml.h>

#include <atomic>
#include <filesystem>
#include <iostream>
#include <thread>

#include "commence/commands.h"
#include "commence/conversation.h"
#include "platform/dde.h"

namespace {

constexpr const char* kDatabase = "Demo Sales";

// A DDEML server, bare, on a thread of its own; one for the whole run.
class BareServer {
public:
    BareServer() {
        thread_ = std::thread([this] { Serve(); });
        while (!ready_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~BareServer() {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    BareServer(const BareServer&) = delete;
    BareServer& operator=(const BareServer&) = delete;

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ, HSZ item, HDDEDATA,
                                      ULONG_PTR, ULONG_PTR) {
        if (type == XTYP_CONNECT) return reinterpret_cast<HDDEDATA>(TRUE);
        if (type != XTYP_REQUEST) return nullptr;
        char name[32] = {};
        DdeQueryStringA(instance_, item, name, sizeof name, CP_WINANSI);
        // The item names the reply's size.
        std::string reply(static_cast<std::size_t>(std::atoi(name)), 'x');
        return DdeCreateDataHandle(instance_, reinterpret_cast<BYTE*>(reply.data()),
                                   static_cast<DWORD>(reply.size() + 1), 0, item, CF_TEXT, 0);
    }

    void Serve() {
        threadId_ = GetCurrentThreadId();
        DdeInitializeA(&instance_, Callback, APPCLASS_STANDARD | CBF_SKIP_ALLNOTIFICATIONS, 0);
        HSZ service = DdeCreateStringHandleA(instance_, "VkBare", CP_WINANSI);
        DdeNameService(instance_, service, nullptr, DNS_REGISTER);
        ready_ = true;
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
        DdeNameService(instance_, service, nullptr, DNS_UNREGISTER);
        DdeFreeStringHandle(instance_, service);
        DdeUninitialize(instance_);
    }

    static inline DWORD instance_ = 0;
    DWORD threadId_ = 0;
    std::atomic<bool> ready_{false};
    std::thread thread_;
};

HDDEDATA CALLBACK Ignore(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

void BM_RawPingPong(benchmark::State& state) {
    DWORD instance = 0;
    DdeInitializeA(&instance, Ignore, APPCMD_CLIENTONLY | CBF_SKIP_ALLNOTIFICATIONS, 0);
    HSZ service = DdeCreateStringHandleA(instance, "VkBare", CP_WINANSI);
    HSZ topic = DdeCreateStringHandleA(instance, "Bench", CP_WINANSI);
    HSZ item =
        DdeCreateStringHandleA(instance, std::to_string(state.range(0)).c_str(), CP_WINANSI);
    HCONV conversation = DdeConnect(instance, service, topic, nullptr);
    if (!conversation) state.SkipWithError("no conversation");
    for (auto _ : state) {
        if (!conversation) break;
        DWORD result = 0;
        HDDEDATA data = DdeClientTransaction(nullptr, 0, conversation, item, CF_TEXT,
                                             XTYP_REQUEST, 10'000, &result);
        if (!data) {
            state.SkipWithError("no reply");
            break;
        }
        DdeFreeDataHandle(data);
        // Wine's DDEML server acknowledges each request once more after its
        // data; wait for that acknowledgement and drop it (freeing its packed
        // lParam), or the next request would take it for its answer.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
        MSG message{};
        while (!PeekMessageA(&message, nullptr, WM_DDE_ACK, WM_DDE_ACK, PM_REMOVE) &&
               std::chrono::steady_clock::now() < deadline)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_POSTMESSAGE);
        if (message.message == WM_DDE_ACK) FreeDDElParam(WM_DDE_ACK, message.lParam);
    }
    if (conversation) DdeDisconnect(conversation);
    for (HSZ handle : {service, topic, item}) DdeFreeStringHandle(instance, handle);
    DdeUninitialize(instance);
}
BENCHMARK(BM_RawPingPong)->Arg(1)->Arg(256);

void BM_ClientPingPong(benchmark::State& state) {
    vk::DdeClient client;
    if (!client.Connect("VkBare", "Bench")) state.SkipWithError("no conversation");
    const std::string item = std::to_string(state.range(0));
    for (auto _ : state) {
        if (!client.Request(item)) {
            state.SkipWithError("no reply");
            break;
        }
    }
}
BENCHMARK(BM_ClientPingPong)->Arg(1)->Arg(256);

// The Commence conversation the request benchmarks share, opened in main().
vk::DdeConversation* gConversation = nullptr;

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
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const auto server = std::filesystem::path(self).parent_path() / "commence.exe";
    vk::DdeConversation conversation;
    conversation.SetLink(vk::commands::kService, kDatabase);
    conversation.SetLaunchCommandLine("\"" + server.string() + "\" /QUIET /IDLE=60 /DATABASE=" +
                                      kDatabase);
    if (!conversation.OpenLink()) {
        std::cerr << "cannot open a conversation with the server (is " << kDatabase
                  << " registered?)\n";
        return 1;
    }
    gConversation = &conversation;
    const BareServer bare;  // for the ping-pongs
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
