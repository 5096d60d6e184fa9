#include "commence/category_schema_source.h"

#include <algorithm>
#include <vector>

#include "commence/field_list.h"
#include "commence/queries.h"
#include "common/exceptions.h"

namespace vk {

const language::CategorySchema& CategorySchemaSource::Schema(std::string_view database,
                                                             std::string_view category) {
    Key key{std::string(database), std::string(category)};
    if (const auto found = entries_.find(key); found != entries_.end()) return found->second.schema;
    Entry& entry = entries_[std::move(key)];
    ++reads_;
    try {
        // Starts Commence when it does not answer, and tells a category
        // that is not there from one without names.
        const std::vector<std::string> categories = LoadCategoryNames(registry_, database);
        if (std::find(categories.begin(), categories.end(), category) == categories.end()) {
            entry.problem = "The category '" + std::string(category) +
                            "' does not exist in the database '" + std::string(database) + "'";
            return entry.schema;
        }
        std::vector<FieldListEntry> list;
        LoadFieldsAndConnections(database, category, list);
        for (FieldListEntry& item : list) {
            const std::string_view connection = ConnectionNameOf(item);
            if (connection.empty()) {
                entry.schema.fields.push_back(std::move(item.text));
            } else {
                entry.schema.connections.push_back(
                    {std::string(connection), item.text.substr(connection.size() + 1)});
            }
        }
    } catch (const Exception& e) {
        entry.schema = {};
        entry.problem = e.what();
    }
    return entry.schema;
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
