#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "language/category_schema.h"

namespace vk {

class Registry;

// The field and connection names of categories, read from Commence with the
// requests the filter builder's lists use: every field GetFieldNames gives
// (of any kind, unlike the filter builder, which leaves out what it cannot
// filter by), and the connections with the categories they lead to, in the
// order Commence gives them. Each category is read
// once, when it is first asked for, and kept until it is forgotten: a caller
// forgets a category when its script is opened again or its category changes,
// so that a change made in Commence is seen then.
//
// Commence is started for the database when it does not answer. Without a
// database (unreachable, unknown, or the category missing from it) the schema
// is empty and Problem() says why; it is not asked again until forgotten.
class CategorySchemaSource {
public:
    explicit CategorySchemaSource(Registry& registry) : registry_(registry) {}

    [[nodiscard]] const language::CategorySchema& Schema(std::string_view database,
                                                         std::string_view category);
    // Why the last read of this category gave nothing; empty when it went well
    // or it was not read yet.
    [[nodiscard]] std::string Problem(std::string_view database, std::string_view category) const;

    void Forget(std::string_view database, std::string_view category);
    void ForgetAll() { entries_.clear(); }

    // How many times Commence was asked for a category's names.
    [[nodiscard]] std::size_t Reads() const noexcept { return reads_; }

private:
    [[nodiscard]] language::CategorySchema Read(std::string_view database,
                                                std::string_view category, std::string& problem);

    struct Entry {
        language::CategorySchema schema;
        std::string problem;
    };
    using Key = std::pair<std::string, std::string>;

    Registry& registry_;
    std::map<Key, Entry> entries_;
    std::size_t reads_ = 0;
};

}  // namespace vk
