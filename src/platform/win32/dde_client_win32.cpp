// The DDE client over DDEML. A DDEML instance belongs to the thread that
// made it: a DdeClient is used on the thread that created it.
//
// A DDEML server may send one more WM_DDE_ACK after it has answered a
// request. Were that acknowledgement still queued when the next transaction
// starts, it would be taken as that transaction's answer, so the DDE messages
// already queued are handed to DDEML (which drops a reply that belongs to no
// transaction) before every transaction, and for a short while after one that
// timed out, whose answer may come late.

#include <windows.h>
#include <dde.h>
#include <ddeml.h>

#include <thread>

#include "platform/dde.h"

namespace vk {
namespace {

constexpr std::chrono::milliseconds kLateAnswerDrain{50};
// CF_TEXT replies of this size or more are refused, as the server refuses them.
constexpr DWORD kLargestReply = 16 * 1024 * 1024;

HDDEDATA CALLBACK IgnoreEverything(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

// Hands the DDE messages queued for this thread to their windows (DDEML's).
// Nothing but DDE messages is taken, so an editor's own window messages are
// never dispatched from inside a transaction's caller.
void DispatchQueuedDdeMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE))
        DispatchMessageA(&message);
}

void DrainFor(std::chrono::milliseconds span) {
    const auto deadline = std::chrono::steady_clock::now() + span;
    for (;;) {
        DispatchQueuedDdeMessages();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()),
                                  QS_POSTMESSAGE | QS_SENDMESSAGE);
    }
}

// A string handle of one instance, freed when it goes out of scope.
class StringHandle {
public:
    StringHandle(DWORD instance, std::string_view text) : instance_(instance) {
        handle_ = DdeCreateStringHandleA(instance, std::string(text).c_str(), CP_WINANSI);
    }
    ~StringHandle() {
        if (handle_) DdeFreeStringHandle(instance_, handle_);
    }
    StringHandle(const StringHandle&) = delete;
    StringHandle& operator=(const StringHandle&) = delete;
    [[nodiscard]] HSZ Get() const { return handle_; }

private:
    DWORD instance_;
    HSZ handle_ = nullptr;
};

}  // namespace

struct DdeClient::Impl {
    DWORD instance = 0;
    HCONV conversation = nullptr;
    std::chrono::milliseconds timeout = DefaultRequestTimeout();

    Impl() {
        if (DdeInitializeA(&instance, IgnoreEverything,
                           APPCMD_CLIENTONLY | CBF_SKIP_ALLNOTIFICATIONS, 0) != DMLERR_NO_ERROR)
            instance = 0;
    }
    ~Impl() {
        Close();
        if (instance) DdeUninitialize(instance);
    }

    void Close() {
        if (conversation) DdeDisconnect(conversation);
        conversation = nullptr;
    }

    // After a failed transaction: a peer that went away ends the conversation.
    void CloseIfGone() {
        CONVINFO info{};
        info.cb = sizeof info;
        if (!DdeQueryConvInfo(conversation, QID_SYNC, &info) || !(info.wStatus & ST_CONNECTED))
            Close();
    }

    [[nodiscard]] DWORD TimeoutMs() const {
        return static_cast<DWORD>(std::max<std::chrono::milliseconds::rep>(timeout.count(), 1));
    }
};

DdeClient::DdeClient() : impl_(std::make_unique<Impl>()) {}
DdeClient::~DdeClient() = default;

bool DdeClient::Connect(std::string_view service, std::string_view topic) {
    Disconnect();
    if (!impl_->instance) return false;
    const StringHandle serviceName(impl_->instance, service);
    const StringHandle topicName(impl_->instance, topic);
    if (!serviceName.Get() || !topicName.Get()) return false;
    impl_->conversation = DdeConnect(impl_->instance, serviceName.Get(), topicName.Get(), nullptr);
    return impl_->conversation != nullptr;
}

void DdeClient::Disconnect() { impl_->Close(); }

bool DdeClient::IsConnected() const {
    if (!impl_->conversation) return false;
    DispatchQueuedDdeMessages();  // a WM_DDE_TERMINATE may be waiting
    impl_->CloseIfGone();
    return impl_->conversation != nullptr;
}

bool DdeClient::Execute(std::string_view command) {
    if (!impl_->conversation || command.find('\0') != std::string_view::npos) return false;
    DispatchQueuedDdeMessages();
    std::string data(command);
    data.push_back('\0');
    DWORD result = 0;
    const HDDEDATA answer = DdeClientTransaction(
        reinterpret_cast<BYTE*>(data.data()), static_cast<DWORD>(data.size()),
        impl_->conversation, nullptr, CF_TEXT, XTYP_EXECUTE, impl_->TimeoutMs(), &result);
    if (answer) return true;
    if (DdeGetLastError(impl_->instance) == DMLERR_EXECACKTIMEOUT)
        DrainFor(kLateAnswerDrain);
    impl_->CloseIfGone();
    return false;
}

std::optional<std::string> DdeClient::Request(std::string_view item) {
    if (!impl_->conversation) return std::nullopt;
    DispatchQueuedDdeMessages();
    const StringHandle itemName(impl_->instance, item);
    if (!itemName.Get()) return std::nullopt;
    DWORD result = 0;
    const HDDEDATA answer =
        DdeClientTransaction(nullptr, 0, impl_->conversation, itemName.Get(), CF_TEXT,
                             XTYP_REQUEST, impl_->TimeoutMs(), &result);
    if (!answer) {
        if (DdeGetLastError(impl_->instance) == DMLERR_DATAACKTIMEOUT)
            DrainFor(kLateAnswerDrain);
        impl_->CloseIfGone();
        return std::nullopt;
    }
    const DWORD size = DdeGetData(answer, nullptr, 0, 0);
    std::optional<std::string> text;
    if (size < kLargestReply) {
        std::string bytes(size, '\0');
        DdeGetData(answer, reinterpret_cast<BYTE*>(bytes.data()), size, 0);
        if (const auto nul = bytes.find('\0'); nul != std::string::npos) bytes.resize(nul);
        text = std::move(bytes);
    }
    DdeFreeDataHandle(answer);
    // The peer's extra acknowledgement, if it sent one, is usually queued by now.
    DispatchQueuedDdeMessages();
    return text;
}

void DdeClient::SetRequestTimeout(std::chrono::milliseconds timeout) { impl_->timeout = timeout; }

std::chrono::milliseconds DdeClient::DefaultRequestTimeout() {
    return std::chrono::milliseconds(10'000);
}

// DDEML finds servers by their registered service name; there is no folder.
DdeSocketFolderChoice ChooseDdeSocketFolder() { return {}; }

std::filesystem::path DdeSocketFolder() { return {}; }

}  // namespace vk
