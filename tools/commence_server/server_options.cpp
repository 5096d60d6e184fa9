#include "server_options.h"

#include <charconv>

#include "common/text_helpers.h"

namespace vk::commence_server {
namespace {

bool startsWithOption(std::string_view arg, std::string_view option) {
    return arg.size() >= option.size() &&
           EqualsIgnoringAsciiCase(arg.substr(0, option.size()), option);
}

std::optional<ServerOptions> refuse(std::string* error, std::string reason) {
    if (error) *error = std::move(reason);
    return std::nullopt;
}

}  // namespace

std::optional<ServerOptions> ParseServerOptions(std::span<const std::string_view> args,
                                                std::string* error) {
    constexpr std::string_view kDatabase = "/DATABASE=";
    constexpr std::string_view kIdle = "/IDLE=";
    ServerOptions options;
    bool haveDatabase = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (EqualsIgnoringAsciiCase(arg, "/QUIET")) {
            options.quiet = true;
        } else if (startsWithOption(arg, kIdle)) {
            const std::string_view digits = arg.substr(kIdle.size());
            long long seconds = 0;
            const auto [end, ec] =
                std::from_chars(digits.data(), digits.data() + digits.size(), seconds);
            if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() ||
                seconds < 0)
                return refuse(error, "bad idle time: " + std::string(arg));
            options.idleLimit = std::chrono::seconds(seconds);
        } else if (startsWithOption(arg, kDatabase)) {
            options.database = std::string(arg.substr(kDatabase.size()));
            for (++i; i < args.size(); ++i) options.database.append(" ").append(args[i]);
            haveDatabase = true;
        } else {
            return refuse(error, "unknown option: " + std::string(arg));
        }
    }
    if (!haveDatabase || options.database.empty())
        return refuse(error, "no /DATABASE=<name> given");
    return options;
}

}  // namespace vk::commence_server
