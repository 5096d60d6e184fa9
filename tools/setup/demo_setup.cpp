#include "demo_setup.h"

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "database_directory.h"
#include "demo_data.h"
#include "store.h"

namespace vk::setup {
namespace {

using commence_server::CommenceStore;
using commence_server::StoreFailure;

constexpr DemoDatabase kDemoDatabases[] = {
    {"Demo Sales", "3.0.1", "demo_sales"},
    {"Field Service", "3.0.2", "field_service"},
};

// The group key under which the setup registers its databases.
constexpr std::string_view kGroup = "Vellumkit";

// A database holds the user's data: what the setup makes is the user's alone,
// as the sockets that serve it are.
constexpr auto kPrivateFolder = std::filesystem::perms::owner_all;
constexpr auto kPrivateFile =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

// Creates the folder and its missing parents, each new one private.
void createPrivateFolders(const std::filesystem::path& folder, std::error_code& ec) {
    if (std::filesystem::exists(folder, ec) || ec) return;
    const auto parent = folder.parent_path();
    if (!parent.empty() && parent != folder) createPrivateFolders(parent, ec);
    // Made empty, so nothing is readable before it is closed.
    if (!ec) std::filesystem::create_directory(folder, ec);
    if (!ec) std::filesystem::permissions(folder, kPrivateFolder, ec);
}

bool writeDataIni(const std::filesystem::path& file, std::string_view version) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    std::error_code ec;
    std::filesystem::permissions(file, kPrivateFile, ec);
    if (ec) return false;
    out << "[OtherOptions]\r\nVersion=" << version << "\r\n";
    out.close();
    return !out.fail();
}

bool createDatabase(const DemoDatabase& demo, const std::filesystem::path& folder,
                    std::ostream& log) {
    std::error_code ec;
    createPrivateFolders(folder, ec);
    if (ec) {
        log << "Cannot create " << folder.string() << ": " << ec.message() << "\n";
        return false;
    }
    const auto ini = folder / "data.ini";
    if (!std::filesystem::exists(ini, ec) && !writeDataIni(ini, demo.version)) {
        log << "Cannot write " << ini.string() << "\n";
        return false;
    }
    const auto file = folder / std::string(CommenceStore::kFileName);
    if (std::filesystem::exists(file, ec)) {
        log << "Kept the database " << demo.name << " in " << folder.string() << "\n";
        return true;
    }
    const auto data = DemoDataFile(demo.dataFile);
    const auto finish = DemoDataFile("finish");
    if (!data || !finish) {
        log << "The demo data for " << demo.name << " is missing from this program\n";
        return false;
    }
    try {
        CommenceStore::Create(file, std::string(*data) + "\n" + std::string(*finish));
    } catch (const StoreFailure& failure) {
        log << "Cannot create the database " << demo.name << ": " << failure.what() << "\n";
        return false;
    }
    log << "Created the database " << demo.name << " in " << folder.string() << "\n";
    return true;
}

bool isRegistered(Registry& registry, std::string_view name) {
    for (const Hive hive : {Hive::CurrentUser, Hive::LocalMachine})
        for (const auto& entry : commence_server::ListDatabases(registry, hive))
            if (entry.name == name) return true;
    return false;
}

bool registerDatabase(Registry& registry, const DemoDatabase& demo,
                      const std::filesystem::path& folder, std::ostream& log) {
    if (isRegistered(registry, demo.name)) {
        log << "Kept the registration of " << demo.name << "\n";
        return true;
    }
    // A key of that name holding another database is left alone.
    std::string path = std::string(commence_server::kDatabasesKey) + "\\" + std::string(kGroup) +
                       "\\" + std::string(demo.name);
    for (int n = 2; registry.OpenKey(Hive::CurrentUser, path); ++n)
        path = std::string(commence_server::kDatabasesKey) + "\\" + std::string(kGroup) + "\\" +
               std::string(demo.name) + " (" + std::to_string(n) + ")";
    auto key = registry.OpenKey(Hive::CurrentUser, path, true);
    if (!key || !key->WriteString("Name", demo.name) ||
        !key->WriteString("Path", folder.string())) {
        log << "Cannot register " << demo.name << " in the registry\n";
        return false;
    }
    log << "Registered " << demo.name << "\n";
    return true;
}

bool registerProgram(Registry& registry, std::string_view version,
                     const std::filesystem::path& programDir, std::ostream& log) {
    const std::string path =
        "Software\\Commence\\Commence\\" + std::string(version.substr(0, 3)) + "\\Settings";
    auto key = registry.OpenKey(Hive::CurrentUser, path, true);
    if (!key) {
        log << "Cannot open " << path << " in the registry\n";
        return false;
    }
    if (key->ReadString("Program")) {
        log << "Kept the Commence " << version.substr(0, 3) << " program folder\n";
        return true;
    }
    if (!key->WriteString("Program", programDir.string())) {
        log << "Cannot record the program folder under " << path << "\n";
        return false;
    }
    log << "Recorded " << programDir.string() << " as the Commence " << version.substr(0, 3)
        << " program folder\n";
    return true;
}

}  // namespace

bool InstallDemoDatabases(const std::filesystem::path& dataDir,
                          const std::filesystem::path& programDir, Registry& registry,
                          std::ostream& log) {
    bool ok = true;
    std::set<std::string_view> versions;
    for (const auto& demo : kDemoDatabases) {
        const auto folder = dataDir / std::string(demo.name);
        if (!createDatabase(demo, folder, log)) {
            ok = false;
            continue;
        }
        ok = registerDatabase(registry, demo, folder, log) && ok;
        const std::string_view version = demo.version.substr(0, 3);
        if (versions.insert(version).second)
            ok = registerProgram(registry, demo.version, programDir, log) && ok;
    }
    return ok;
}

std::filesystem::path DefaultDataDir() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/')
        return std::filesystem::path(data) / "vellumkit" / "databases";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : ".") / ".local" / "share" / "vellumkit" /
           "databases";
}

}  // namespace vk::setup
