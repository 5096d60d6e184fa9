#pragma once

#include <optional>
#include <string>

namespace vk::posix {

// The effective user's entry in the password file: the login name and the
// home folder (each empty when the entry leaves it out).
struct UserAccount {
    std::string name;
    std::string home;
};

// Nothing when the user has no entry (a container's arbitrary uid).
[[nodiscard]] std::optional<UserAccount> CurrentUserAccount();

}  // namespace vk::posix
