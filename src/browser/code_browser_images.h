#pragma once

#include <QIcon>
#include <vector>

namespace vk {

// The code browser's image list `ilCodeBrowser`: sixteen small pictures drawn
// by the program. The settings "Icon code", "Icon no code" and "Icon no end"
// are indexes into it (by default 1, a green block with lines; 8, an empty
// block; 13, a red block open at the bottom); the configuration dialog shows
// the same list.
[[nodiscard]] std::vector<QIcon> MakeCodeBrowserImages();

}  // namespace vk
