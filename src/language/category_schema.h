#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vk::language {

// A connection of a category: its name and the category it leads to.
struct ConnectionName {
    std::string name;
    std::string category;
    bool operator==(const ConnectionName&) const = default;
};

// The names a form script of one category passes to the form object, as
// the database has them (Windows-1252). Empty without a database.
struct CategorySchema {
    std::vector<std::string> fields;
    std::vector<ConnectionName> connections;
    bool operator==(const CategorySchema&) const = default;
};

// Another category's schema by its name, for the fields of a connected
// category; nullptr when it is not known.
using SchemaLookup = std::function<const CategorySchema*(std::string_view category)>;

}  // namespace vk::language
