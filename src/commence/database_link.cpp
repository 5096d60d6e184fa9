#include "commence/database_link.h"

#include "commence/commands.h"
#include "commence/conversation.h"
#include "commence/database_directory.h"

namespace vk {

std::string DatabaseLaunchCommandLine(Registry& registry, std::string_view database) {
    std::string line = CommenceProgramPath(registry, DatabaseVersion(registry, database));
    line += " /QUIET /DATABASE=";
    line += database;
    return line;
}

bool OpenDatabaseLink(DdeConversation& conversation, Registry& registry,
                      std::string_view database) {
    conversation.SetLaunchCommandLine(DatabaseLaunchCommandLine(registry, database));
    conversation.SetLink(commands::kService, database);
    return conversation.OpenLink();
}

}  // namespace vk
