#pragma once

#include <filesystem>
#include <ostream>
#include <string_view>

#include "platform/registry.h"

namespace vk::setup {

// A database the setup provides, built from a demo data file.
struct DemoDatabase {
    std::string_view name;      // the database name, also the DDE topic
    std::string_view version;   // data.ini [OtherOptions] Version
    std::string_view dataFile;  // stem of the demo data file
};

// Creates the demo databases under `dataDir` (one folder each, named like
// the database) where they are absent, registers each in the current user's
// database directory unless a database of that name is registered in either
// hive, and records `programDir` as the Commence program folder of each
// version unless one is recorded. Existing files and registry values are
// never changed. Reports each step on `log`; returns false when a step failed
// (the others are still carried out).
[[nodiscard]] bool InstallDemoDatabases(const std::filesystem::path& dataDir,
                                        const std::filesystem::path& programDir, Registry& registry,
                                        std::ostream& log);

// The folder for the demo databases: $XDG_DATA_HOME/vellumkit/databases, else
// $HOME/.local/share/vellumkit/databases.
[[nodiscard]] std::filesystem::path DefaultDataDir();

}  // namespace vk::setup
