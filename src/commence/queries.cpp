#include "commence/queries.h"

#include "commence/commands.h"
#include "commence/conversation.h"
#include "commence/database_link.h"
#include "common/exceptions.h"
#include "common/text_helpers.h"
#include "platform/machine.h"

namespace vk {
namespace {

EDBNotReady NotReady(std::string_view database) {
    return EDBNotReady("The database " + std::string(database) + " is not ready");
}

// Opens a conversation with a running Commence only: the field, connection
// and item loads never start it.
bool OpenRunningLink(DdeConversation& conversation, std::string_view database) {
    conversation.SetLink(commands::kService, database);
    return conversation.OpenLink();
}

}  // namespace

std::vector<std::string> LoadCategoryNames(Registry& registry, std::string_view database) {
    DdeConversation conversation;
    if (!OpenDatabaseLink(conversation, registry, database)) throw NotReady(database);
    return SplitLines(conversation.RequestText(commands::GetCategoryNames()));
}

std::optional<std::vector<std::string>> LoadFormNames(Registry& registry, std::string_view database,
                                                      std::string_view category) {
    DdeConversation conversation;
    if (!OpenDatabaseLink(conversation, registry, database)) return std::nullopt;
    return SplitLines(conversation.RequestText(commands::GetFormNames(category)));
}

void LoadFieldsAndConnections(std::string_view database, std::string_view category,
                              std::vector<FieldListEntry>& list) {
    list.clear();
    DdeConversation conversation;
    if (!OpenRunningLink(conversation, database)) throw NotReady(database);

    const std::vector<std::string> fields =
        SplitLines(conversation.RequestText(commands::GetFieldNames(category)));
    for (const std::string& field : fields) {
        const int kind = FieldKindFromDefinition(
            SplitLines(conversation.RequestText(commands::GetFieldDefinition(category, field))));
        if (IsListedFieldKind(kind)) list.push_back({field, kind});
    }

    const std::string connections =
        conversation.RequestText(commands::GetConnectionNames(category, "\r\n", "\r\n"));
    if (!connections.empty()) {
        for (FieldListEntry& entry : ConnectionEntries(SplitLines(connections)))
            list.push_back(std::move(entry));
    }
}

void LoadItemNames(std::string_view database, std::string_view category,
                   std::vector<std::string>& list) {
    list.clear();
    DdeConversation conversation;
    if (!OpenRunningLink(conversation, database)) return;
    const std::string reply = conversation.RequestText(commands::GetItemNames(category));
    conversation.CloseLink();
    if (!reply.empty()) list = SplitLines(reply);
}

MachineNames ReadMachineNames() {
    // Kept whole: a Windows buffer of 16 characters would cut or lose a
    // longer Linux host or login name, and the saved tag should name them.
    return {Machine::ComputerName(), Machine::UserName()};
}

}  // namespace vk
