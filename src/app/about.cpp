#include "app/about.h"

namespace vk {

std::optional<ProgramVersion> CompiledVersion() {
#if defined(VK_VERSION_MAJOR) && defined(VK_VERSION_MINOR) && defined(VK_VERSION_PATCH) && \
    defined(VK_VERSION_TWEAK)
    // A version of fewer than four parts leaves the missing ones defined but
    // empty; "(+ 0)" then reads them as 0.
    return ProgramVersion{(VK_VERSION_MAJOR + 0), (VK_VERSION_MINOR + 0), (VK_VERSION_PATCH + 0),
                          (VK_VERSION_TWEAK + 0)};
#else
    return std::nullopt;
#endif
}

std::string BuildLine(const std::optional<ProgramVersion>& version) {
    if (!version) return "Unknown Build!";
    return "Build " + std::to_string(version->major) + '.' + std::to_string(version->minor) + '.' +
           std::to_string(version->release) + '.' + std::to_string(version->build);
}

std::string AboutText(const std::optional<ProgramVersion>& version) {
    std::string text = "Vellumkit for Commence\xAE";
    text += '\r';
    text += BuildLine(version);
    text += '\r';
    text += kNoticeLine;
    return text;
}

}  // namespace vk
