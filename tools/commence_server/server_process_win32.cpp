#include <windows.h>

#include "server_process.h"

namespace vk::commence_server {
namespace {

void (*gOnStop)() = nullptr;

// Runs on a thread of its own; the server stops and the process then ends
// when main returns.
BOOL WINAPI onConsoleEvent(DWORD) {
    if (!gOnStop) return FALSE;
    gOnStop();
    return TRUE;
}

}  // namespace

void InstallStopHandler(void (*onStop)()) {
    gOnStop = onStop;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

struct DatabaseLock::Impl {
    HANDLE file = INVALID_HANDLE_VALUE;
};

DatabaseLock::DatabaseLock(const std::filesystem::path& folder) : impl_(std::make_unique<Impl>()) {
    impl_->file = CreateFileW((folder / "commence.lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
}

DatabaseLock::~DatabaseLock() {
    if (impl_->file != INVALID_HANDLE_VALUE) CloseHandle(impl_->file);
}

bool DatabaseLock::Opened() const { return impl_->file != INVALID_HANDLE_VALUE; }

// The system drops the lock with the handle, also when the process dies.
bool DatabaseLock::TryLock() {
    OVERLAPPED whole{};
    return LockFileEx(impl_->file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                      &whole) != 0;
}

std::unique_ptr<ServerWindow> OpenServerWindow(const std::string& title,
                                               std::function<void()> onClose) {
    return ServerWindow::Open(title, std::move(onClose));
}

}  // namespace vk::commence_server
