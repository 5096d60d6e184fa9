#include "database_directory.h"

namespace vk::commence_server {

std::vector<DatabaseEntry> ListDatabases(Registry& registry, Hive hive) {
    std::vector<DatabaseEntry> entries;
    WalkDatabases(registry, hive, [&entries](const RegistryKey& key) {
        if (auto name = key.ReadString("Name"))
            entries.push_back({key.Path(), std::move(*name), key.ReadString("Path")});
        return false;
    });
    return entries;
}

std::optional<std::filesystem::path> FindDatabaseFolder(Registry& registry, std::string_view name) {
    for (const Hive hive : {Hive::CurrentUser, Hive::LocalMachine}) {
        for (const auto& entry : ListDatabases(registry, hive)) {
            if (entry.name != name) continue;
            // The first entry with the name decides, as it does for clients.
            if (!entry.path || entry.path->empty()) return std::nullopt;
            // Paths written on Windows use backslashes.
            std::string folder = *entry.path;
            for (char& c : folder)
                if (c == '\\') c = '/';
            return std::filesystem::path(folder);
        }
    }
    return std::nullopt;
}

}  // namespace vk::commence_server
