// commence.exe: a Commence-compatible DDE server for one database.
//
//   commence.exe [/QUIET] [/IDLE=<seconds>] /DATABASE=<name>
//
// Finds the database folder through the registry's database directory, serves
// the DDE service "Commence" with the database name as topic, and quits on
// SIGTERM or SIGINT (a console control event on Windows), when its window is
// closed, or when no conversation has been open for the idle time (an hour
// unless /IDLE= says otherwise). A
// second start for a database that is already served exits at once.

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "commence_handler.h"
#include "database_directory.h"
#include "platform/dde.h"
#include "platform/registry.h"
#include "server_options.h"
#include "server_process.h"
#include "server_window.h"
#include "store.h"

namespace {

using namespace vk::commence_server;

std::atomic<vk::DdeServer*> gServer{nullptr};
std::atomic<bool> gStopRequested{false};

// A stop request that comes before the server runs is remembered, not lost.
void onStopRequest() {
    gStopRequested.store(true);
    if (vk::DdeServer* server = gServer.load()) server->Stop();
}

// Lets the signal handler reach the running server, and never a destroyed one.
class ServerRegistration {
public:
    explicit ServerRegistration(vk::DdeServer& server) { gServer.store(&server); }
    ~ServerRegistration() { gServer.store(nullptr); }
    ServerRegistration(const ServerRegistration&) = delete;
    ServerRegistration& operator=(const ServerRegistration&) = delete;
};

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
        std::fprintf(stderr, "commence: cannot open the database folder %s\n",
                     folder->string().c_str());
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
        auto window =
            OpenServerWindow("Commence - " + options.database, [&server] { server.Stop(); });
        if (!options.quiet)
            std::fprintf(stderr, "commence: serving %s from %s\n", options.database.c_str(),
                         folder->string().c_str());
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
    InstallStopHandler(onStopRequest);
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
