// The DDE server over DDEML. DDEML calls back on the thread that initialised
// the instance, from inside that thread's message loop, so Start() and Run()
// must be called on the same thread: that thread is the one the handler is
// called on, one transaction at a time, in the order each conversation sent
// them. One server per thread.

#include <windows.h>
#include <ddeml.h>

#include <atomic>
#include <map>
#include <optional>
#include <string>

#include "platform/dde.h"
#include "platform/win32/dde_direct_requests_win32.h"
#include "platform/win32/text_win32.h"
#include "platform/win32/wine_win32.h"

namespace vk {
namespace {

constexpr std::size_t kLargestReply = 16 * 1024 * 1024;

}  // namespace

struct DdeServer::Impl {
    Impl(std::string serviceName, DdeServerHandler& serverHandler)
        : service(std::move(serviceName)), handler(serverHandler) {}

    std::string service;
    DdeServerHandler& handler;
    DWORD instance = 0;
    HSZ serviceName = nullptr;
    DWORD threadId = 0;
    std::atomic<bool> stopRequested{false};
    std::atomic<int> conversationCount{0};
    // When the last conversation ended (or the server started).
    std::chrono::steady_clock::time_point idleSince = std::chrono::steady_clock::now();
    struct Conversation {
        DdeConversationId id;
        std::string topic;
    };
    std::map<HCONV, Conversation> conversations;
    DdeConversationId nextId = 1;
    // The reply to the latest request DDEML answered. Returned to it as owned
    // by this server and freed at the next request: not every DDEML frees a
    // reply it is given (Wine's does not).
    HDDEDATA lastReply = nullptr;

    // The server whose instance this thread runs (see the note above).
    static thread_local Impl* current;

    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conversation, HSZ first,
                                      HSZ second, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
        Impl* self = current;
        if (!self) return nullptr;
        try {
            return self->Handle(type, format, conversation, first, second, data);
        } catch (...) {
            // A handler's exception refuses the transaction.
            return type == XTYP_EXECUTE ? reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED) : nullptr;
        }
    }

    std::string Text(HSZ handle) const {
        const DWORD length = DdeQueryStringA(instance, handle, nullptr, 0, CP_WINANSI);
        std::string text(length + 1, '\0');
        DdeQueryStringA(instance, handle, text.data(), length + 1, CP_WINANSI);
        text.resize(length);
        return text;
    }

    // The CF_TEXT reply to a request, up to its first NUL; nothing refuses it.
    std::optional<std::string> Reply(HCONV conversation, std::string_view item) {
        const auto found = conversations.find(conversation);
        if (found == conversations.end()) return std::nullopt;
        auto reply = handler.Request(found->second.id, found->second.topic, item);
        if (!reply) return std::nullopt;
        if (const auto nul = reply->find('\0'); nul != std::string::npos) reply->resize(nul);
        if (reply->size() >= kLargestReply) return std::nullopt;
        return reply;
    }

    // Under Wine, requests on the conversation are answered without DDEML's
    // help (see AnswerRequestsDirectly); executes and the rest go through it.
    void AnswerDirectly(HCONV conversation) {
        CONVINFO info{};
        info.cb = sizeof info;
        if (!DdeQueryConvInfo(conversation, QID_SYNC, &info)) return;
        win32::AnswerRequestsDirectly(info.hwnd, [this, conversation](std::string_view item) {
            return Reply(conversation, item);
        });
    }

    HDDEDATA Handle(UINT type, UINT format, HCONV conversation, HSZ first, HSZ second,
                    HDDEDATA data) {
        switch (type) {
        case XTYP_CONNECT:  // first: the topic, second: the service
            return reinterpret_cast<HDDEDATA>(
                static_cast<ULONG_PTR>(handler.AcceptTopic(Text(first)) ? TRUE : FALSE));
        case XTYP_CONNECT_CONFIRM:
            conversations[conversation] = Conversation{nextId++, Text(first)};
            conversationCount = static_cast<int>(conversations.size());
            if (win32::RunsOnWine()) AnswerDirectly(conversation);
            return nullptr;
        case XTYP_DISCONNECT: {
            const auto found = conversations.find(conversation);
            if (found == conversations.end()) return nullptr;
            const DdeConversationId id = found->second.id;
            conversations.erase(found);
            conversationCount = static_cast<int>(conversations.size());
            idleSince = std::chrono::steady_clock::now();
            handler.ConversationEnded(id);
            return nullptr;
        }
        case XTYP_EXECUTE: {
            const auto found = conversations.find(conversation);
            if (found == conversations.end() || !data)
                return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
            const DWORD size = DdeGetData(data, nullptr, 0, 0);
            std::string command(size, '\0');
            DdeGetData(data, reinterpret_cast<BYTE*>(command.data()), size, 0);
            if (const auto nul = command.find('\0'); nul != std::string::npos)
                command.resize(nul);
            // Windows frees the command's handle after this call; Wine's DDEML
            // never does, which would cost one global handle per command.
            if (win32::RunsOnWine()) DdeFreeDataHandle(data);
            // As with a queued execute, what the command did shows in later
            // requests; the acknowledgement only says it was taken.
            (void)handler.Execute(found->second.id, found->second.topic, command);
            return reinterpret_cast<HDDEDATA>(DDE_FACK);
        }
        case XTYP_REQUEST: {
            if (format != CF_TEXT) return nullptr;
            auto reply = Reply(conversation, Text(second));
            if (!reply) return nullptr;
            if (lastReply) DdeFreeDataHandle(lastReply);
            lastReply = DdeCreateDataHandle(instance, reinterpret_cast<BYTE*>(reply->data()),
                                            static_cast<DWORD>(reply->size() + 1), 0, second,
                                            CF_TEXT, HDATA_APPOWNED);
            return lastReply;
        }
        default:
            return nullptr;
        }
    }
};

thread_local DdeServer::Impl* DdeServer::Impl::current = nullptr;

DdeServer::DdeServer(std::string service, DdeServerHandler& handler)
    : impl_(std::make_unique<Impl>(std::move(service), handler)) {}

DdeServer::~DdeServer() {
    if (!impl_->instance) return;
    if (impl_->lastReply) DdeFreeDataHandle(impl_->lastReply);
    DdeNameService(impl_->instance, impl_->serviceName, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(impl_->instance, impl_->serviceName);
    DdeUninitialize(impl_->instance);
    if (Impl::current == impl_.get()) Impl::current = nullptr;
}

bool DdeServer::Start(std::string* error) {
    auto fail = [error](std::string reason) {
        if (error) *error = std::move(reason);
        return false;
    };
    if (impl_->instance) return fail("the server is already started");
    if (Impl::current) return fail("this thread already runs a DDE server");
    Impl::current = impl_.get();
    impl_->threadId = GetCurrentThreadId();
    const UINT status =
        DdeInitializeA(&impl_->instance, Impl::Callback,
                       APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES |
                           CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                       0);
    if (status != DMLERR_NO_ERROR) {
        impl_->instance = 0;
        Impl::current = nullptr;
        return fail("DDEML could not be initialised (error " + std::to_string(status) + ")");
    }
    impl_->serviceName =
        DdeCreateStringHandleA(impl_->instance, impl_->service.c_str(), CP_WINANSI);
    if (!impl_->serviceName ||
        !DdeNameService(impl_->instance, impl_->serviceName, nullptr, DNS_REGISTER))
        return fail("the service name " + impl_->service + " could not be registered (error " +
                    std::to_string(DdeGetLastError(impl_->instance)) + ")");
    return true;
}

void DdeServer::Run(std::chrono::milliseconds idleLimit) {
    impl_->idleSince = std::chrono::steady_clock::now();
    while (!impl_->stopRequested.load()) {
        DWORD wait = INFINITE;
        if (idleLimit.count() > 0) {
            const auto now = std::chrono::steady_clock::now();
            if (impl_->conversationCount.load() > 0) impl_->idleSince = now;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                impl_->idleSince + idleLimit - now);
            if (left.count() <= 0) break;
            // Wake now and then to notice a conversation count that changed.
            wait = static_cast<DWORD>(std::min<std::chrono::milliseconds::rep>(left.count(), 1000));
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) impl_->stopRequested = true;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    impl_->stopRequested = false;
}

void DdeServer::Stop() {
    impl_->stopRequested = true;
    if (impl_->threadId) PostThreadMessageA(impl_->threadId, WM_NULL, 0, 0);
}

int DdeServer::ConversationCount() const { return impl_->conversationCount.load(); }

}  // namespace vk
