// The DDE client over DDEML. A DDEML instance belongs to the thread that
// made it: a DdeClient is used on the thread that created it.
//
// DDEML takes the first acknowledgement or data message that reaches a
// conversation as the answer to the transaction in flight. Two kinds of
// message can reach it that answer nothing in flight: the reply to a request
// that timed out, which comes late, and the extra WM_DDE_ACK that some DDEML
// servers send after the data that answered a request. Taken as the answer to
// the next transaction, they would make a refused command look accepted or a
// request fail. So a message hook on this thread looks at each DDE message
// before DDEML does and drops those that cannot answer the transaction in
// flight on that conversation: an execute is answered by an acknowledgement
// that carries its command (never an item's atom), a request by the data or
// a negative acknowledgement for its own item, and a late reply is counted
// off against the timed-out request it answers.

#include <dde.h>
#include <ddeml.h>
#include <windows.h>

#include <map>
#include <set>
#include <thread>

#include "platform/dde.h"
#include "platform/registry_hive.h"
#include "platform/win32/wine_win32.h"

namespace vk {
namespace {

constexpr std::chrono::milliseconds kLateAnswerDrain{50};
// CF_TEXT replies of this size or more are refused, as the server refuses them.
constexpr DWORD kLargestReply = 16 * 1024 * 1024;

HDDEDATA CALLBACK IgnoreEverything(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

// What the hook needs to know about this thread's conversations.
struct ReplyFilter {
    HHOOK hook = nullptr;
    int clients = 0;
    std::set<HWND> windows;  // the client windows of our conversations
    enum class Waiting { Nothing, Execute, Request } waiting = Waiting::Nothing;
    HWND window = nullptr;  // the conversation of the transaction in flight
    std::string item;       // its item (lower case) while a request is in flight
    // Replies still due from timed-out requests, by window and item (lower case).
    std::map<std::pair<HWND, std::string>, int> late;
    HWND sink = nullptr;  // a window that ignores what it gets

    HWND Sink() {
        if (!sink)
            sink = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        return sink;
    }
};

thread_local ReplyFilter filter;

bool IsStringAtom(UINT_PTR value) { return value >= 0xC000 && value <= 0xFFFF; }

std::string AtomText(UINT_PTR atom) {
    char name[256] = {};
    if (!IsStringAtom(atom)) return {};
    const UINT length = GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name);
    return FoldAsciiCase(std::string_view(name, length));
}

// Whether the message answers nothing in flight; counts a late reply off.
bool IsStray(const MSG& message) {
    UINT_PTR low = 0;
    UINT_PTR high = 0;
    if (!UnpackDDElParam(message.message, message.lParam, &low, &high)) return false;
    const bool isData = message.message == WM_DDE_DATA;
    const bool positive = !isData && (low & 0x8000) != 0;
    const std::string item = AtomText(high);
    if (!item.empty() && (isData || !positive)) {
        const auto due = filter.late.find({message.hwnd, item});
        if (due != filter.late.end()) {
            if (--due->second == 0) filter.late.erase(due);
            return true;
        }
    }
    if (filter.window != message.hwnd || filter.waiting == ReplyFilter::Waiting::Nothing)
        return true;
    if (filter.waiting == ReplyFilter::Waiting::Execute) return isData || IsStringAtom(high);
    return positive || item != filter.item;
}

// Frees what a dropped message carries for its receiver: the packed lParam
// and a late reply's data (under Wine always: see ReleaseAfterUse). Its atom is
// left alone: a server that sends an extra acknowledgement may not have added
// a reference for it, and deleting it could pull the item name from under a
// later transaction.
void Release(const MSG& message) {
    UINT_PTR low = 0;
    UINT_PTR high = 0;
    if (!UnpackDDElParam(message.message, message.lParam, &low, &high)) return;
    if (message.message == WM_DDE_DATA && low) {
        const auto memory = reinterpret_cast<HGLOBAL>(low);
        bool release = false;
        if (const auto* data = static_cast<const DDEDATA*>(GlobalLock(memory))) {
            release = data->fRelease;
            GlobalUnlock(memory);
        }
        if (release || win32::RunsOnWine()) GlobalFree(memory);
    }
    FreeDDElParam(message.message, message.lParam);
}

// Wine's DDEML sends the data that answers a request with fRelease clear, and
// Wine hands each receiving thread a copy of its own; neither side frees that
// copy. Each reply would keep one movable global handle for good, and a long
// session would run out of them (a process has 65,536) and fail every
// request from then on. Marked for release, DDEML frees the copy once it has
// taken the data.
void ReleaseAfterUse(const MSG& message) {
    UINT_PTR low = 0;
    UINT_PTR high = 0;
    if (!win32::RunsOnWine() || !UnpackDDElParam(message.message, message.lParam, &low, &high) ||
        !low)
        return;
    const auto memory = reinterpret_cast<HGLOBAL>(low);
    if (auto* data = static_cast<DDEDATA*>(GlobalLock(memory))) {
        if (data->fResponse && !data->fAckReq) data->fRelease = 1;
        GlobalUnlock(memory);
    }
}

LRESULT CALLBACK FilterReplies(int code, WPARAM removal, LPARAM param) {
    auto* message = reinterpret_cast<MSG*>(param);
    if (code == HC_ACTION && removal == PM_REMOVE &&
        (message->message == WM_DDE_ACK || message->message == WM_DDE_DATA) &&
        filter.windows.count(message->hwnd)) {
        if (IsStray(*message)) {
            Release(*message);
            // Turned into a message for no DDE conversation: DDEML would fail
            // the transaction in flight on a message it does not know.
            message->hwnd = filter.Sink();
        } else if (message->message == WM_DDE_DATA) {
            ReleaseAfterUse(*message);
        }
    }
    return CallNextHookEx(nullptr, code, removal, param);
}

// Marks the transaction in flight for as long as it lives.
class InFlight {
public:
    InFlight(HWND window, ReplyFilter::Waiting waiting, std::string_view item = {}) {
        filter.window = window;
        filter.waiting = waiting;
        filter.item = FoldAsciiCase(item);
    }
    ~InFlight() {
        filter.window = nullptr;
        filter.waiting = ReplyFilter::Waiting::Nothing;
        filter.item.clear();
    }
    InFlight(const InFlight&) = delete;
    InFlight& operator=(const InFlight&) = delete;
};

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
    HWND window = nullptr;  // the conversation's client window
    std::chrono::milliseconds timeout = DefaultRequestTimeout();
    bool timedOut = false;  // the last request's reply did not come in time

    Impl() {
        if (DdeInitializeA(&instance, IgnoreEverything,
                           APPCMD_CLIENTONLY | CBF_SKIP_ALLNOTIFICATIONS, 0) != DMLERR_NO_ERROR)
            instance = 0;
        if (filter.clients++ == 0)
            filter.hook =
                SetWindowsHookExA(WH_GETMESSAGE, FilterReplies, nullptr, GetCurrentThreadId());
    }
    ~Impl() {
        Close();
        if (instance) DdeUninitialize(instance);
        if (--filter.clients == 0) {
            if (filter.hook) UnhookWindowsHookEx(filter.hook);
            if (filter.sink) DestroyWindow(filter.sink);
            filter.hook = nullptr;
            filter.sink = nullptr;
        }
    }

    void Opened(HCONV opened) {
        conversation = opened;
        CONVINFO info{};
        info.cb = sizeof info;
        if (DdeQueryConvInfo(conversation, QID_SYNC, &info)) window = info.hwnd;
        if (window) filter.windows.insert(window);
    }

    void Close() {
        if (conversation) DdeDisconnect(conversation);
        conversation = nullptr;
        if (window) {
            filter.windows.erase(window);
            std::erase_if(filter.late,
                          [this](const auto& due) { return due.first.first == window; });
        }
        window = nullptr;
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
    const HCONV opened = DdeConnect(impl_->instance, serviceName.Get(), topicName.Get(), nullptr);
    if (!opened) return false;
    impl_->Opened(opened);
    return true;
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
    HDDEDATA answer = nullptr;
    {
        const InFlight inFlight(impl_->window, ReplyFilter::Waiting::Execute);
        answer = DdeClientTransaction(reinterpret_cast<BYTE*>(data.data()),
                                      static_cast<DWORD>(data.size()), impl_->conversation, nullptr,
                                      CF_TEXT, XTYP_EXECUTE, impl_->TimeoutMs(), &result);
    }
    if (answer) return true;
    // A late acknowledgement of this command carries its own handle and is
    // dropped as answering nothing; give it a moment to come and go.
    if (DdeGetLastError(impl_->instance) == DMLERR_EXECACKTIMEOUT) DrainFor(kLateAnswerDrain);
    impl_->CloseIfGone();
    return false;
}

std::optional<std::string> DdeClient::Request(std::string_view item) {
    impl_->timedOut = false;
    if (!impl_->conversation) return std::nullopt;
    DispatchQueuedDdeMessages();
    const StringHandle itemName(impl_->instance, item);
    if (!itemName.Get()) return std::nullopt;
    DWORD result = 0;
    HDDEDATA answer = nullptr;
    {
        const InFlight inFlight(impl_->window, ReplyFilter::Waiting::Request, item);
        answer = DdeClientTransaction(nullptr, 0, impl_->conversation, itemName.Get(), CF_TEXT,
                                      XTYP_REQUEST, impl_->TimeoutMs(), &result);
    }
    if (!answer) {
        if (DdeGetLastError(impl_->instance) == DMLERR_DATAACKTIMEOUT) {
            impl_->timedOut = true;
            // Its reply is still due; when it comes it answers nothing.
            ++filter.late[{impl_->window, FoldAsciiCase(item)}];
            DrainFor(kLateAnswerDrain);
        }
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
    DispatchQueuedDdeMessages();
    return text;
}

bool DdeClient::LastRequestTimedOut() const { return impl_->timedOut; }

void DdeClient::SetRequestTimeout(std::chrono::milliseconds timeout) { impl_->timeout = timeout; }

std::chrono::milliseconds DdeClient::DefaultRequestTimeout() {
    return std::chrono::milliseconds(10'000);
}

// DDEML finds servers by their registered service name; there is no folder.
DdeSocketFolderChoice ChooseDdeSocketFolder() { return {}; }

std::filesystem::path DdeSocketFolder() { return {}; }

}  // namespace vk
