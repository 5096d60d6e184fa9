// vellumkit-setup: creates the demo Commence databases and registers them,
// with the folder of commence.exe, in the registry, and installs the VBScript
// reference beside them. Safe to run again: it only adds what is absent (the
// reference's own files are brought up to date).
//
//   vellumkit-setup [--data-dir DIR] [--doc-dir DIR]

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "default_colours.h"
#include "demo_setup.h"
#include "help_setup.h"
#include "platform/machine.h"
#include "platform/registry.h"

namespace {

// commence.exe is built and installed beside this program.
std::filesystem::path ownFolder() {
    const auto self = vk::Machine::ProgramFile();
    return self.empty() ? std::filesystem::current_path() : self.parent_path();
}

int usage(int code) {
    (code == 0 ? std::cout : std::cerr)
        << "usage: vellumkit-setup [--data-dir DIR] [--doc-dir DIR]\n"
           "  --data-dir  folder of the demo databases\n"
           "  --doc-dir   folder of the VBScript reference (default: vbsdoc beside the data "
           "folder)\n";
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path dataDir = vk::setup::DefaultDataDir();
    std::filesystem::path docDir;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--data-dir" && i + 1 < argc)
            dataDir = argv[++i];
        else if (arg == "--doc-dir" && i + 1 < argc)
            docDir = argv[++i];
        else if (arg == "--help" || arg == "-h")
            return usage(0);
        else
            return usage(2);
    }
    dataDir = std::filesystem::absolute(dataDir);
    // Beside the databases by default, so that a setup for a test's data
    // folder keeps its reference there too.
    if (docDir.empty())
        docDir =
            (dataDir.has_filename() ? dataDir : dataDir.parent_path()).parent_path() / "vbsdoc";
    else
        docDir = std::filesystem::absolute(docDir);
    auto& registry = vk::Registry::Instance();
    for (const auto hive : {vk::Hive::CurrentUser, vk::Hive::LocalMachine}) {
        if (const auto error = registry.LoadError(hive)) {
            std::cerr << "The registry file cannot be read (" << *error
                      << "); nothing was changed\n";
            return 1;
        }
    }
    bool ok = vk::setup::InstallDemoDatabases(dataDir, ownFolder(), registry, std::cout);
    ok = vk::setup::InstallDefaultColours(registry, std::cout) && ok;
    ok = vk::setup::InstallHelpReference(docDir, registry, std::cout) && ok;
    return ok ? 0 : 1;
}
