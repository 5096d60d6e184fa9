#include "commence/database_directory.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "platform/ini_file.h"

namespace vk {
namespace {

constexpr std::string_view kProgramFile = "commence.exe";
constexpr std::string_view kVersionPrefix = "Commence ";

std::string JoinKey(std::string_view parent, std::string_view child) {
    std::string path(parent);
    path += '\\';
    path += child;
    return path;
}

std::vector<std::string> SubkeysOf(Registry& registry, Hive hive, const std::string& path) {
    const auto key = registry.OpenKey(hive, path);
    return key ? key->SubkeyNames() : std::vector<std::string>{};
}

// The "Path" value names a folder; on this platform a Windows-style
// backslash separator is read as a slash.
std::filesystem::path DataIniOf(std::string folder) {
    std::replace(folder.begin(), folder.end(), '\\', '/');
    return std::filesystem::path(folder) / "data.ini";
}

std::string VersionOf(const RegistryKey& database) {
    std::string version(kVersionPrefix);
    const auto folder = database.ReadString("Path");
    if (!folder) return version;
    const auto value = ReadIniString(DataIniOf(*folder), "OtherOptions", "Version");
    if (value) version += value->substr(0, 3);
    return version;
}

}  // namespace

bool WalkDatabases(Registry& registry, Hive hive,
                   const std::function<bool(const RegistryKey& database)>& visit) {
    const std::string root(kDatabasesKey);
    const std::vector<std::string> groups = SubkeysOf(registry, hive, root);
    for (auto group = groups.rbegin(); group != groups.rend(); ++group) {
        const std::string groupPath = JoinKey(root, *group);
        for (const std::string& name : SubkeysOf(registry, hive, groupPath)) {
            const auto database = registry.OpenKey(hive, JoinKey(groupPath, name));
            if (database && visit(*database)) return true;
        }
    }
    return false;
}

std::vector<std::string> DatabaseNames(Registry& registry) {
    std::vector<std::string> names;
    for (Hive hive : {Hive::CurrentUser, Hive::LocalMachine}) {
        WalkDatabases(registry, hive, [&names](const RegistryKey& database) {
            if (auto name = database.ReadString("Name")) names.push_back(std::move(*name));
            return false;
        });
    }
    return names;
}

std::string DatabaseVersion(Registry& registry, std::string_view database) {
    std::string version;
    for (Hive hive : {Hive::CurrentUser, Hive::LocalMachine}) {
        const bool found = WalkDatabases(registry, hive, [&](const RegistryKey& key) {
            if (key.ReadString("Name") != database) return false;
            version = VersionOf(key);
            return true;
        });
        if (found) break;
    }
    return version;
}

std::string CommenceProgramPath(Registry& registry, std::string_view version) {
    std::string program(kProgramFile);
    const std::string release(version.size() > 9 ? version.substr(9, 3) : std::string_view{});
    const auto settings = registry.OpenKey(
        Hive::CurrentUser, "Software\\Commence\\Commence\\" + release + "\\Settings");
    if (!settings) return program;
    // Without a "Program" folder the path would name the root folder; the
    // search path is the better guess then.
    const std::optional<std::string> folder = settings->ReadString("Program");
    if (!folder || folder->empty()) return program;
    return *folder + '\\' + program;
}

}  // namespace vk
