#pragma once

#include <filesystem>
#include <ostream>

#include "platform/registry.h"

namespace vk::setup {

// Installs the program's VBScript reference into `docDir` (files whose
// content differs from the reference's are replaced; other files are left)
// and registers the folder as the documentation's "InstallDir" in the local
// machine hive, only when no folder is registered there: a machine with
// other documentation keeps it.
//
// A user who has never chosen help systems gets "VBScript 3.1" enabled beside
// the default, so that F1 looks the reference up; the editor alone enables
// only a documentation that has no lookup here. A user's own choice (any
// "Syntax Help" key) is never changed. Reports each step on `log`; false when
// a step failed.
[[nodiscard]] bool InstallHelpReference(const std::filesystem::path& docDir, Registry& registry,
                                        std::ostream& log);

}  // namespace vk::setup
