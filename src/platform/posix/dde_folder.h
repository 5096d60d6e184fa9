#pragma once

// How the folder for this user's DDE sockets is chosen; DdeSocketFolder()
// applies it to the real places.

#include <filesystem>

#include "platform/dde.h"

namespace vk::dde {

// `runtimeDir` ($XDG_RUNTIME_DIR, may be null or relative: then unset) holds
// the folder "vellumkit-dde" when set: it is private to the user by its
// nature. Without it, `shared` (/tmp/vellumkit-dde-<uid>) is used, where
// another user can get in first: it is refused unless it is a real folder of
// this user's closed to everybody else, and then `fallback`, which lies in
// the user's own home, is used instead and the refusal says so.
[[nodiscard]] DdeSocketFolderChoice ChooseSocketFolder(const char* runtimeDir,
                                                       const std::filesystem::path& shared,
                                                       const std::filesystem::path& fallback);

}  // namespace vk::dde
