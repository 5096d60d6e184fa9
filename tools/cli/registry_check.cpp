#include "registry_check.h"

#include <ostream>

#include "platform/registry.h"

namespace vk::cli {

bool RegistryReadable(const Registry& registry, std::ostream& err) {
    const auto errors = registry.LoadErrors();
    for (const auto& error : errors)
        err << "vellumkit-cli: the registry file cannot be read (it is kept as it is): " << error
            << '\n';
    return errors.empty();
}

}  // namespace vk::cli
