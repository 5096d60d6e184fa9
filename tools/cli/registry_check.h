#pragma once

#include <iosfwd>

namespace vk {
class Registry;
}

namespace vk::cli {

// Whether the registry's files could be read. When one cannot, says on `err`
// which file and why, and that it is kept as it is: a command would
// otherwise act on defaults (no databases, default settings) as if all were
// well.
[[nodiscard]] bool RegistryReadable(const Registry& registry, std::ostream& err);

}  // namespace vk::cli
