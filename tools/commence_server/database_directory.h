#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commence/database_directory.h"
#include "platform/registry.h"

namespace vk::commence_server {

using vk::kDatabasesKey;

struct DatabaseEntry {
    std::string key;  // the full key path
    std::string name;
    std::optional<std::string> path;
};

// The databases registered in one hive, in the order Commence clients walk
// them: first-level keys from the last to the first, second-level keys from
// the first to the last.
[[nodiscard]] std::vector<DatabaseEntry> ListDatabases(Registry& registry, Hive hive);

// The folder of the database with exactly this name (case matters), looked up
// in the current user's hive and then the local machine's.
[[nodiscard]] std::optional<std::filesystem::path> FindDatabaseFolder(Registry& registry,
                                                                      std::string_view name);

}  // namespace vk::commence_server
