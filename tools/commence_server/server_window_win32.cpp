// The server's window on Windows: a plain top-level window on a thread of its
// own with its own message loop, so it answers the window finder and the
// user while the DDE service runs on the main thread.

#include <windows.h>

#include <thread>

#include "server_window.h"

namespace vk::commence_server {
namespace {

constexpr const char* kClassName = "VellumkitCommenceServer";
// Asks the window's thread to close the window and end its loop.
constexpr UINT kQuitMessage = WM_APP + 1;

class Win32Window final : public ServerWindow {
public:
    Win32Window(const std::string& title, std::function<void()> onClose)
        : title_(title), onClose_(std::move(onClose)) {
        HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, created] { Loop(created); });
        WaitForSingleObject(created, INFINITE);
        CloseHandle(created);
    }

    ~Win32Window() override {
        if (window_) PostMessageA(window_, kQuitMessage, 0, 0);
        if (thread_.joinable()) thread_.join();
    }

    [[nodiscard]] bool Opened() const { return window_ != nullptr; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
        case WM_CLOSE:
            // The user closed it: the server stops, and its owner then
            // destroys this window.
            if (self && self->onClose_) self->onClose_();
            return 0;
        case kQuitMessage:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            if (self) {
                const std::string text =
                    "Serving database " + self->title_.substr(self->title_.find(" - ") + 3);
                TextOutA(dc, 16, 24, text.c_str(), static_cast<int>(text.size()));
            }
            EndPaint(window, &paint);
            return 0;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
        }
    }

    void Loop(HANDLE created) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass);  // fails harmlessly when already registered
        window_ = CreateWindowExA(0, kClassName, title_.c_str(), WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 420, 120, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
        if (window_) {
            SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            ShowWindow(window_, SW_SHOWNOACTIVATE);
        }
        SetEvent(created);
        if (!window_) return;
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    std::string title_;
    std::function<void()> onClose_;
    HWND window_ = nullptr;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<ServerWindow> ServerWindow::Open(const std::string& title,
                                                 std::function<void()> onClose) {
    auto window = std::make_unique<Win32Window>(title, std::move(onClose));
    if (!window->Opened()) return nullptr;
    return window;
}

}  // namespace vk::commence_server
