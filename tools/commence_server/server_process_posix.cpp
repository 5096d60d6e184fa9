#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/posix/unique_fd.h"
#include "server_process.h"

namespace vk::commence_server {
namespace {

void (*gOnStop)() = nullptr;

extern "C" void onStopSignal(int) {
    if (gOnStop) gOnStop();
}

}  // namespace

void InstallStopHandler(void (*onStop)()) {
    gOnStop = onStop;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

struct DatabaseLock::Impl {
    vk::posix::UniqueFd fd;
};

DatabaseLock::DatabaseLock(const std::filesystem::path& folder) : impl_(std::make_unique<Impl>()) {
    impl_->fd.Reset(open((folder / "commence.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
}

DatabaseLock::~DatabaseLock() = default;

bool DatabaseLock::Opened() const { return impl_->fd.Valid(); }

bool DatabaseLock::TryLock() { return flock(impl_->fd.Get(), LOCK_EX | LOCK_NB) == 0; }

// The window's thread is started with the stop signals blocked, so they are
// always handled on the thread that runs the server.
std::unique_ptr<ServerWindow> OpenServerWindow(const std::string& title,
                                               std::function<void()> onClose) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &stopSignals, &previous);
    auto window = ServerWindow::Open(title, std::move(onClose));
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return window;
}

}  // namespace vk::commence_server
