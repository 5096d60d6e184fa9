#include "commence/category_schema_source.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "commence/commands.h"
#include "commence/conversation.h"
#include "commence/database_link.h"
#include "commence/field_list.h"
#include "common/exceptions.h"
#include "common/text_helpers.h"

namespace vk {

const language::CategorySchema& CategorySchemaSource::Schema(std::string_view database,
                                                             std::string_view category) {
    Key key{std::string(database), std::string(category)};
    if (const auto found = entries_.find(key); found != entries_.end()) return found->second.schema;
    Entry& entry = entries_[std::move(key)];
    ++reads_;
    try {
        entry.schema = Read(database, category, entry.problem);
    } catch (const Exception& e) {
        entry.schema = {};
        entry.problem = e.what();
    }
    return entry.schema;
}

language::CategorySchema CategorySchemaSource::Read(std::string_view database,
                                                    std::string_view category,
                                                    std::string& problem) {
    // One conversation for the three requests; Commence is started for it
    // when it does not answer.
    DdeConversation conversation;
    if (!OpenDatabaseLink(conversation, registry_, database))
        throw EDBNotReady("The database " + std::string(database) + " is not ready");
    // An unanswered request is no empty list.
    const auto ask = [&](const std::string& item) {
        std::optional<std::string> reply = conversation.Request(item);
        if (!reply) throw EDDEFailed("Commence did not answer " + item);
        return std::move(*reply);
    };
    const std::vector<std::string> categories = SplitLines(ask(commands::GetCategoryNames()));
    if (std::find(categories.begin(), categories.end(), category) == categories.end()) {
        problem = "The category '" + std::string(category) + "' does not exist in the database '" +
                  std::string(database) + "'";
        return {};
    }
    language::CategorySchema schema;
    // Every field, of whatever kind: the filter builder's list leaves out
    // the kinds it cannot filter by (data files, images, Excel cells), which
    // a script still reads and writes.
    const std::string fields = ask(commands::GetFieldNames(category));
    if (!fields.empty()) schema.fields = SplitLines(fields);
    const std::string connections = ask(commands::GetConnectionNames(category, "\r\n", "\r\n"));
    if (!connections.empty())
        for (const FieldListEntry& item : ConnectionEntries(SplitLines(connections))) {
            const std::string_view name = ConnectionNameOf(item);
            schema.connections.push_back({std::string(name), item.text.substr(name.size() + 1)});
        }
    return schema;
}

std::string CategorySchemaSource::Problem(std::string_view database,
                                          std::string_view category) const {
    const auto found = entries_.find(Key{std::string(database), std::string(category)});
    return found == entries_.end() ? std::string() : found->second.problem;
}

void CategorySchemaSource::Forget(std::string_view database, std::string_view category) {
    entries_.erase(Key{std::string(database), std::string(category)});
}

}  // namespace vk
