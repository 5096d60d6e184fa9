#pragma once

#include <cstddef>

namespace vk {

// Long name menus show this many names per column.
inline constexpr std::size_t kMenuColumnLength = 20;

// Items 0, 20, 40 ... start a new menu column.
[[nodiscard]] constexpr bool StartsMenuColumn(std::size_t index) noexcept {
    return index % kMenuColumnLength == 0;
}

}  // namespace vk
