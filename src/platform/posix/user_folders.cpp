#include "platform/user_folders.h"

#include <cstdlib>

#include "platform/posix/user_account.h"

namespace vk {

std::filesystem::path UserFolders::DataFolder() {
    namespace fs = std::filesystem;
    // A relative XDG_DATA_HOME is invalid and is ignored, as the XDG rules say.
    if (const char* data = ::getenv("XDG_DATA_HOME"); data && fs::path(data).is_absolute())
        return fs::path(data) / "vellumkit";
    fs::path home;
    if (const char* env = ::getenv("HOME"); env && *env) {
        home = env;
    } else if (const auto account = posix::CurrentUserAccount();
               account && !account->home.empty()) {
        home = account->home;
    } else {
        home = fs::current_path();
    }
    return home / ".local" / "share" / "vellumkit";
}

}  // namespace vk
