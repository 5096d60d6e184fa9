#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace vk {

// Where Commence lists the databases of a machine, under both hives:
// "Software\Commence\Databases\<group>\<database>" with "Name" and "Path".
inline constexpr std::string_view kDatabasesKey = "Software\\Commence\\Databases";

// Visits each database key of one hive in directory order: the first-level
// keys from the last listed to the first, inside each the second-level keys
// from the first to the last. Keys that do not open are skipped. The visit
// returns true to stop the walk; WalkDatabases then returns true.
bool WalkDatabases(Registry& registry, Hive hive,
                   const std::function<bool(const RegistryKey& database)>& visit);

// Every database "Name" of the current user's hive, then of the local
// machine's, duplicates kept. Keys without a name are left out.
[[nodiscard]] std::vector<std::string> DatabaseNames(Registry& registry);

// "Commence " followed by the first three characters of the "Version" of
// [OtherOptions] in the database's data.ini ("Commence 4.0" for "4.0.3"), or
// "Commence " alone when the folder, file or value is missing. The name is
// matched exactly (case-sensitive), the current user's hive first; the first
// match wins. Empty when no database of that name is registered.
[[nodiscard]] std::string DatabaseVersion(Registry& registry, std::string_view database);

// The Commence program for a version string: the "Program" folder of
// "Software\Commence\Commence\<10th-12th characters>\Settings" (current
// user) followed by "\commence.exe", else (no such key, or no folder in it)
// the bare "commence.exe" for the program search path.
[[nodiscard]] std::string CommenceProgramPath(Registry& registry, std::string_view version);

}  // namespace vk
