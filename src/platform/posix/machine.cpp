#include "platform/machine.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <ctime>
#include <vector>

#include "platform/posix/user_account.h"

namespace vk {

namespace {

std::string Formatted(const char* format, const std::tm& tm) {
    char buffer[128];
    const std::size_t length = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, length);
}

std::string NameFromPasswordFile() {
    const auto account = posix::CurrentUserAccount();
    return account ? account->name : std::string();
}

}  // namespace

std::string Machine::ComputerName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    std::string host(name);
    return host.substr(0, host.find('.'));
}

std::filesystem::path Machine::ProgramFile() {
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : self;
}

std::string Machine::UserName() {
    char login[LOGIN_NAME_MAX + 1] = {};
    // getlogin_r needs a controlling terminal; a program started from a
    // desktop has none, so fall back to the account of the process.
    if (::getlogin_r(login, sizeof login) == 0 && login[0]) return login;
    if (std::string name = NameFromPasswordFile(); !name.empty()) return name;
    const char* user = ::getenv("USER");
    return user ? user : "";
}

std::string Machine::FormatShortDateLongTime(std::time_t when) {
    // Pick up a changed time zone, as localtime_r alone need not.
    ::tzset();
    std::tm local{};
    if (!::localtime_r(&when, &local)) return {};
    std::string text = Formatted("%x", local);
    if (local.tm_hour != 0 || local.tm_min != 0 || local.tm_sec != 0)
        text += ' ' + Formatted("%X", local);
    return text;
}

}  // namespace vk
