#include "commence/database_link.h"

#include "commence/commands.h"
#include "commence/conversation.h"
#include "commence/database_directory.h"

namespace vk {

namespace {

// Whether the name would not come back whole from an unquoted command line:
// the program re-joins the words after /DATABASE= with single blanks, and a
// quote would open a quoted part.
bool NeedsQuotes(std::string_view name) {
    return name.find_first_of("\"\t") != std::string_view::npos ||
           name.find("  ") != std::string_view::npos ||
           (!name.empty() && (name.front() == ' ' || name.back() == ' '));
}

// `"/DATABASE=<name>"` as the Windows command line quotes one argument: a
// quote becomes \", and backslashes before a quote or the closing quote are
// doubled.
std::string QuotedDatabaseArgument(std::string_view name) {
    std::string argument = "\"/DATABASE=";
    std::size_t backslashes = 0;
    for (const char c : name) {
        if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            argument.append(backslashes + 1, '\\');
            backslashes = 0;
        } else {
            backslashes = 0;
        }
        argument += c;
    }
    argument.append(backslashes, '\\');
    argument += '"';
    return argument;
}

}  // namespace

std::string DatabaseLaunchCommandLine(Registry& registry, std::string_view database) {
    std::string line = CommenceProgramPath(registry, DatabaseVersion(registry, database));
    line += " /QUIET ";
    if (NeedsQuotes(database)) {
        line += QuotedDatabaseArgument(database);
    } else {
        line += "/DATABASE=";
        line += database;
    }
    return line;
}

bool OpenDatabaseLink(DdeConversation& conversation, Registry& registry,
                      std::string_view database) {
    conversation.SetLaunchCommandLine(DatabaseLaunchCommandLine(registry, database));
    conversation.SetLink(commands::kService, database);
    return conversation.OpenLink();
}

}  // namespace vk
