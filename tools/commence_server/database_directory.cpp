#include "database_directory.h"

namespace vk::commence_server {

std::vector<DatabaseEntry> ListDatabases(Registry& registry, Hive hive) {
    std::vector<DatabaseEntry> entries;
    const auto root = registry.OpenKey(hive, kDatabasesKey);
    if (!root) return entries;
    const auto groups = root->SubkeyNames();
    for (auto group = groups.rbegin(); group != groups.rend(); ++group) {
        const std::string groupPath = std::string(kDatabasesKey) + "\\" + *group;
        const auto groupKey = registry.OpenKey(hive, groupPath);
        if (!groupKey) continue;
        for (const auto& sub : groupKey->SubkeyNames()) {
            const auto key = registry.OpenKey(hive, groupPath + "\\" + sub);
            if (!key) continue;
            auto name = key->ReadString("Name");
            if (!name) continue;
            entries.push_back({key->Path(), std::move(*name), key->ReadString("Path")});
        }
    }
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
