#pragma once

#include <string>

namespace vk {

// The form whose script travels, and the database that holds it.
struct FormLocation {
    std::string database;
    std::string category;
    std::string form;
};

}  // namespace vk
