#include "late_ack_server.h"

#include <windows.h>
#include <dde.h>

#include <cstring>
#include <thread>

namespace vk::test {

struct LateAckServer::Impl {
    std::string service;
    std::string topic;
    unsigned delayMs;
    HWND window = nullptr;
    std::thread thread;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Impl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!self) return DefWindowProcA(window, message, wParam, lParam);
        const HWND client = reinterpret_cast<HWND>(wParam);
        switch (message) {
        case WM_DDE_INITIATE: {
            char app[256] = {};
            char topic[256] = {};
            GlobalGetAtomNameA(LOWORD(lParam), app, sizeof app);
            GlobalGetAtomNameA(HIWORD(lParam), topic, sizeof topic);
            if (_stricmp(app, self->service.c_str()) == 0 &&
                _stricmp(topic, self->topic.c_str()) == 0)
                SendMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window),
                             MAKELPARAM(GlobalAddAtomA(app), GlobalAddAtomA(topic)));
            return 0;
        }
        case WM_DDE_REQUEST: {
            const ATOM item = HIWORD(lParam);
            char name[256] = {};
            GlobalGetAtomNameA(item, name, sizeof name);
            const std::string text = std::string("answer:") + name;
            const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE,
                                               sizeof(DDEDATA) + text.size() + 1);
            auto* data = static_cast<DDEDATA*>(GlobalLock(memory));
            std::memset(data, 0, sizeof(DDEDATA));
            data->fResponse = 1;
            data->fRelease = 1;
            data->cfFormat = CF_TEXT;
            std::memcpy(data->Value, text.c_str(), text.size() + 1);
            GlobalUnlock(memory);
            PostMessageA(client, WM_DDE_DATA, reinterpret_cast<WPARAM>(window),
                         PackDDElParam(WM_DDE_DATA, reinterpret_cast<UINT_PTR>(memory),
                                       GlobalAddAtomA(name)));
            // The quirk: a late, stray acknowledgement of the same request.
            Sleep(self->delayMs);
            DDEACK ack{};
            ack.fAck = 1;
            WORD status;
            std::memcpy(&status, &ack, sizeof status);
            PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window),
                         PackDDElParam(WM_DDE_ACK, status, GlobalAddAtomA(name)));
            GlobalDeleteAtom(item);
            return 0;
        }
        case WM_DDE_EXECUTE: {
            const auto commands = reinterpret_cast<HGLOBAL>(lParam);
            const char* text = static_cast<const char*>(GlobalLock(commands));
            const bool refuse = text && std::strcmp(text, "[Refuse]") == 0;
            GlobalUnlock(commands);
            DDEACK ack{};
            ack.fAck = refuse ? 0 : 1;
            WORD status;
            std::memcpy(&status, &ack, sizeof status);
            PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window),
                         PackDDElParam(WM_DDE_ACK, status, reinterpret_cast<UINT_PTR>(commands)));
            return 0;
        }
        case WM_DDE_TERMINATE:
            PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window), 0);
            return 0;
        case WM_DDE_ACK:
        case WM_DDE_POKE:
        case WM_DDE_ADVISE:
        case WM_DDE_UNADVISE:
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
        }
    }

    void Loop(HANDLE ready) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VellumkitLateAckServer";
        RegisterClassA(&windowClass);
        // A hidden top-level window: message-only windows miss the broadcast
        // that starts a conversation.
        window = CreateWindowExA(0, windowClass.lpszClassName, "late ack server", WS_POPUP, 0, 0,
                                 1, 1, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetEvent(ready);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    }
};

LateAckServer::LateAckServer(std::string service, std::string topic, unsigned lateAckDelayMs)
    : impl_(std::make_unique<Impl>()) {
    impl_->service = std::move(service);
    impl_->topic = std::move(topic);
    impl_->delayMs = lateAckDelayMs;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    impl_->thread = std::thread([this, ready] { impl_->Loop(ready); });
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
}

LateAckServer::~LateAckServer() {
    PostMessageA(impl_->window, WM_CLOSE, 0, 0);
    impl_->thread.join();
}

}  // namespace vk::test
