// commence.exe: a Commence-compatible DDE server for one database.
//
//   commence.exe [/QUIET] [/IDLE=<seconds>] /DATABASE=<name>
//
// Finds the database folder through the registry's database directory, serves
// the DDE service "Commence" with the database name as topic, and quits on
// SIGTERM or SIGINT, when its window is closed, or when no conversation has
// been open for the idle time (an hour unless /IDLE= says otherwise). A
// second start for a database that is already served exits at once.

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "commence_handler.h"
#include "database_directory.h"
#include "platform/dde.h"
#include "platform/posix/unique_fd.h"
#include "platform/registry.h"
#include "server_options.h"
#include "server_window.h"
#include "store.h"

namespace {

using namespace vk::commence_server;

std::atomic<vk::DdeServer*> gServer{nullptr};
std::atomic<bool> gStopRequested{false};

// A signal that comes before the server runs is remembered, not lost.
extern "C" void onStopSignal(int) {
    gStopRequested.store(true);
    if (vk::DdeServer* server = gServer.load()) server->Stop();
}

void installSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

// One server per database folder: the lock lives as long as the process, so
// a crashed server never blocks the next start.
class DatabaseLock {
public:
    explicit DatabaseLock(const std::filesystem::path& folder)
        : fd_(open((folder / "commence.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {}

    [[nodiscard]] bool Opened() const { return fd_.Valid(); }
    [[nodiscard]] bool TryLock() { return flock(fd_.Get(), LOCK_EX | LOCK_NB) == 0; }

private:
    vk::posix::UniqueFd fd_;
};

// Lets the signal handler reach the running server, and never a destroyed one.
class ServerRegistration {
public:
    explicit ServerRegistration(vk::DdeServer& server) { gServer.store(&server); }
    ~ServerRegistration() { gServer.store(nullptr); }
    ServerRegistration(const ServerRegistration&) = delete;
    ServerRegistration& operator=(const ServerRegistration&) = delete;
};

// The window's thread is started with the stop signals blocked, so they are
// always handled on the thread that runs the server.
std::unique_ptr<ServerWindow> openWindow(const std::string& title, vk::DdeServer& server) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &stopSignals, &previous);
    auto window = ServerWindow::Open(title, [&server] { server.Stop(); });
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return window;
}

int serve(const ServerOptions& options) {
    auto& registry = vk::Registry::Instance();
    const auto folder = FindDatabaseFolder(registry, options.database);
    if (!folder) {
        std::fprintf(stderr, "commence: the database %s is not registered\n",
                     options.database.c_str());
        return 2;
    }
    DatabaseLock lock(*folder);
    if (!lock.Opened()) {
        std::fprintf(stderr, "commence: cannot open the database folder %s\n", folder->c_str());
        return 2;
    }
    if (!lock.TryLock()) return 0;  // another server has this database open
    static_assert(std::atomic<vk::DdeServer*>::is_always_lock_free);

    try {
        CommenceStore store(*folder / std::string(CommenceStore::kFileName));
        CommenceHandler handler(options.database, store);
        vk::DdeServer server("Commence", handler);
        // A refused socket folder is worth knowing about even when another
        // one could be used instead: clients of this user look there too.
        if (const auto folder = vk::ChooseDdeSocketFolder(); !folder.refusal.empty())
            std::fprintf(stderr, "commence: %s\n", folder.refusal.c_str());
        std::string error;
        if (!server.Start(&error)) {
            std::fprintf(stderr, "commence: cannot register the DDE service: %s\n", error.c_str());
            return 2;
        }
        const ServerRegistration registration(server);
        if (gStopRequested.load()) return 0;
        auto window = openWindow("Commence - " + options.database, server);
        if (!options.quiet)
            std::fprintf(stderr, "commence: serving %s from %s\n", options.database.c_str(),
                         folder->c_str());
        server.Run(std::chrono::duration_cast<std::chrono::milliseconds>(options.idleLimit));
        window.reset();
        return 0;
    } catch (const StoreFailure& failure) {
        std::fprintf(stderr, "commence: %s\n", failure.what());
        return 2;
    }
}

}  // namespace

int main(int argc, char** argv) {
    installSignalHandlers();
    std::vector<std::string_view> args(argv + 1, argv + argc);
    std::string error;
    const auto options = ParseServerOptions(args, &error);
    if (!options) {
        std::fprintf(
            stderr,
            "commence: %s\nusage: commence.exe [/QUIET] [/IDLE=<seconds>] /DATABASE=<name>\n",
            error.c_str());
        return 2;
    }
    return serve(*options);
}
