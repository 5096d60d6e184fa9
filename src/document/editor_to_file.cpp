#include "document/editor_to_file.h"

#include <ctime>
#include <fstream>

#include "commence/conversation.h"
#include "commence/database_link.h"
#include "common/exceptions.h"
#include "common/status_sink.h"
#include "document/script_lines.h"
#include "document/tag_lines.h"
#include "platform/machine.h"
#include "platform/temp_files.h"

namespace vk {
namespace {

constexpr std::string_view kTempPrefix = "VBS";

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        TempFiles::DeleteFile(path);
        throw Exception("Cannot write the script to " + path);
    }
}

}  // namespace

std::optional<std::string> FreshSavedTag(Registry& registry, const ScriptSaveContext& context) {
    DdeConversation link;
    if (!OpenDatabaseLink(link, registry, context.database)) return std::nullopt;
    const std::string preference = link.RequestText(kGetPreferenceUserName);
    const std::string lastError = link.RequestText(kGetLastError);
    const std::string name = SavedTagUserName(preference, lastError, context.userName);
    return SavedTagLine(Machine::FormatShortDateLongTime(std::time(nullptr)), context.computerName,
                        name);
}

std::string EditorToFile(ScriptLines& lines, Registry& registry, const ScriptSaveContext& context,
                         StatusSink& status) {
    status.SetStatus("Writing script to file", 0);
    {
        DdeConversation link;
        TagRefreshInputs inputs;
        inputs.settings = context.settings;
        inputs.linkOpen = OpenDatabaseLink(link, registry, context.database);
        inputs.categoryTag = CategoryTagLine(context.category, context.form);
        inputs.savedTag = [&] { return FreshSavedTag(registry, context); };
        RefreshTags(lines, inputs);
    }
    const auto file = TempFiles::CreateTempFile(kTempPrefix);
    if (!file) throw Exception("Cannot create a temporary file in " + TempFiles::Folder().string());
    WriteWholeFile(*file, lines.CanonicalText());
    status.SetStatus("", 1);
    return *file;
}

}  // namespace vk
