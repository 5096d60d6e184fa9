#pragma once

#include <ostream>

#include "platform/registry.h"

namespace vk::setup {

// Gives a new user a colour scheme, so that the first script shown is
// coloured: the program itself shows every class in the window text colour
// until colours are chosen. Writes only when the user has no "Color Settings"
// key at all; a user's own choice is never changed. False when it could not
// be written.
[[nodiscard]] bool InstallDefaultColours(Registry& registry, std::ostream& log);

}  // namespace vk::setup
