#include "platform/posix/user_account.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace vk::posix {

std::optional<UserAccount> CurrentUserAccount() {
    const long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return std::nullopt;
    return UserAccount{found->pw_name ? found->pw_name : "", found->pw_dir ? found->pw_dir : ""};
}

}  // namespace vk::posix
