#include "platform/win32/dde_direct_requests_win32.h"

#include <dde.h>

#include <cstring>
#include <map>
#include <utility>

namespace vk::win32 {
namespace {

struct Answerer {
    WNDPROC original = nullptr;
    DirectAnswer answer;
};

// The windows answered on this thread (DDEML's windows belong to it).
thread_local std::map<HWND, Answerer> answerers;

// Posts the reply as data the receiver frees. Wine hands a receiver on
// another thread a copy, so the original is freed here once posted.
bool PostReply(HWND window, HWND client, ATOM item, const std::string& text) {
    const SIZE_T size = FIELD_OFFSET(DDEDATA, Value) + text.size() + 1;
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (!memory) return false;
    auto* data = static_cast<DDEDATA*>(GlobalLock(memory));
    if (!data) {
        GlobalFree(memory);
        return false;
    }
    std::memset(data, 0, size);
    data->fResponse = 1;
    data->fRelease = 1;
    data->cfFormat = CF_TEXT;
    std::memcpy(data->Value, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    const LPARAM packed = PackDDElParam(WM_DDE_DATA, reinterpret_cast<UINT_PTR>(memory), item);
    if (!PostMessageW(client, WM_DDE_DATA, reinterpret_cast<WPARAM>(window), packed)) {
        FreeDDElParam(WM_DDE_DATA, packed);
        GlobalFree(memory);
        return false;
    }
    if (GetWindowThreadProcessId(client, nullptr) != GetCurrentThreadId()) GlobalFree(memory);
    return true;
}

// A negative acknowledgement hands the item's atom back to the client.
void Refuse(HWND window, HWND client, ATOM item) {
    const LPARAM packed = PackDDElParam(WM_DDE_ACK, 0, item);
    if (!PostMessageW(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window), packed)) {
        FreeDDElParam(WM_DDE_ACK, packed);
        GlobalDeleteAtom(item);
    }
}

LRESULT CALLBACK AnswerRequests(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = answerers.find(window);
    if (found == answerers.end()) return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC original = found->second.original;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        answerers.erase(found);
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
    if (message != WM_DDE_REQUEST)
        return CallWindowProcW(original, window, message, wParam, lParam);

    const auto client = reinterpret_cast<HWND>(wParam);
    const auto format = static_cast<UINT>(LOWORD(lParam));
    const auto item = static_cast<ATOM>(HIWORD(lParam));
    char name[256] = {};
    const UINT length = GlobalGetAtomNameA(item, name, sizeof name);
    std::optional<std::string> reply;
    if (format == CF_TEXT && length > 0) {
        // The answer may end this window's conversation: keep a copy.
        const DirectAnswer answer = found->second.answer;
        try {
            reply = answer(std::string_view(name, length));
        } catch (...) {
            reply.reset();
        }
    }
    if (!reply || !PostReply(window, client, item, *reply)) Refuse(window, client, item);
    return 0;
}

}  // namespace

void AnswerRequestsDirectly(HWND window, DirectAnswer answer) {
    if (!window || answerers.count(window)) return;
    const auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AnswerRequests)));
    if (!original) return;
    answerers[window] = Answerer{original, std::move(answer)};
}

}  // namespace vk::win32
