#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vk {

inline constexpr std::string_view kAboutTitle = "About Vellumkit";

// The program's notice line: status panel 0 before the first status message,
// and the last line of the About box.
inline constexpr std::string_view kNoticeLine = "Vellumkit - editor for Commence form scripts";

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int release = 0;
    int build = 0;
};

// The version compiled into the program, if the build gave one.
std::optional<ProgramVersion> CompiledVersion();

// "Build 0.1.0.1", or "Unknown Build!" without a version.
std::string BuildLine(const std::optional<ProgramVersion>& version);

// The About box text, Windows-1252, lines separated by CR:
// "Vellumkit for Commence(R)", the build line, the notice line.
std::string AboutText(const std::optional<ProgramVersion>& version = CompiledVersion());

}  // namespace vk
