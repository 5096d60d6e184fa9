#include "help_setup.h"

#include "common/file_bytes.h"
#include "embedded_files.h"
#include "help/syntax_list.h"
#include "settings/settings.h"

namespace vk::setup {
namespace {

constexpr std::string_view kSyntaxHelpKey =
    "Software\\Thornmere\\Vellumkit\\Help Files\\Syntax Help";

bool WriteReference(const std::filesystem::path& docDir, std::ostream& log) {
    std::error_code ec;
    std::filesystem::create_directories(docDir, ec);
    if (ec) {
        log << "Cannot create " << docDir.string() << ": " << ec.message() << "\n";
        return false;
    }
    int written = 0;
    for (const EmbeddedFile& file : HelpReferenceFiles()) {
        if (file.name.empty()) continue;
        const auto path = docDir / file.name;
        if (ReadWholeFile(path) == std::optional<std::string>(file.bytes)) continue;
        std::string error;
        if (!WriteWholeFileAtomically(path, file.bytes, &error)) {
            log << "Cannot write " << path.string() << ": " << error << "\n";
            return false;
        }
        ++written;
    }
    log << "VBScript reference in " << docDir.string() << " (" << written << " files written)\n";
    return true;
}

bool RegisterReference(const std::filesystem::path& docDir, Registry& registry, std::ostream& log) {
    const std::string registered = GetHelpInstallDir(registry);
    if (!registered.empty()) {
        log << "VBScript documentation already registered: " << registered << "\n";
        return true;
    }
    auto key = registry.OpenKey(Hive::LocalMachine, kHelpInstallKey, true);
    if (!key || !key->WriteString(kHelpInstallValue, docDir.string())) {
        log << "Cannot register the VBScript reference\n";
        return false;
    }
    log << "Registered the VBScript reference\n";
    return true;
}

// The help file list as the editor reads it when nothing is stored, with the
// lookup in the reference enabled as well.
bool EnableReferenceLookup(Registry& registry, std::ostream& log) {
    if (registry.OpenKey(Hive::CurrentUser, kSyntaxHelpKey)) return true;
    auto batch = registry.BeginBatch(Hive::CurrentUser);
    auto help = registry.OpenKey(Hive::CurrentUser, kSyntaxHelpKey, true);
    bool ok = help && help->WriteInteger("Disable VBS Help", 0);
    // The default order: the table in reverse, position 0 first.
    std::uint32_t order = 0;
    for (auto name = kHelpFileNames.rbegin(); name != kHelpFileNames.rend(); ++name, ++order) {
        const bool enabled = order == 0 || *name == "VBScript 3.1";
        auto entry = registry.OpenKey(
            Hive::CurrentUser, std::string(kSyntaxHelpKey) + "\\" + std::string(*name), true);
        ok = ok && entry && entry->WriteInteger("Order", order) &&
             entry->WriteInteger("Enabled", enabled ? 1 : 0);
    }
    ok = batch.Commit() && ok;
    log << (ok ? "Enabled the VBScript reference for Syntax Help (F1)\n"
               : "Cannot enable the VBScript reference for Syntax Help\n");
    return ok;
}

}  // namespace

bool InstallHelpReference(const std::filesystem::path& docDir, Registry& registry,
                          std::ostream& log) {
    if (!WriteReference(docDir, log)) return false;
    const bool registered = RegisterReference(docDir, registry, log);
    return EnableReferenceLookup(registry, log) && registered;
}

}  // namespace vk::setup
