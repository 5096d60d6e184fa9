#pragma once

#include <optional>
#include <string_view>

namespace vk::setup {

// The demo data files built into the program, by file stem ("demo_sales"
// for demo/demo_sales.sql).
[[nodiscard]] std::optional<std::string_view> DemoDataFile(std::string_view stem);

}  // namespace vk::setup
