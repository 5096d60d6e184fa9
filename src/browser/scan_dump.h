#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "browser/script_scanner.h"

namespace vk {

inline constexpr std::string_view kScanDumpFileName = "exception-ParseScript.txt";

// Where a scan stood when an unexpected error stopped it. Positions are into
// the lower-cased copy (the same as into the text); a missing one is empty.
struct ScanDumpState {
    std::string_view text;
    std::string_view lowered;
    std::optional<std::size_t> identifier;
    ScanKind kind = ScanKind::Sub;
    std::optional<std::size_t> colon;
    std::optional<std::size_t> bracket;
    std::optional<std::size_t> lineEnd;
    std::optional<std::size_t> delimiter;
    std::optional<std::size_t> blockBegin;
    std::optional<std::size_t> blockEnd;
    std::size_t nameOffset = 0;
    std::string name;
};

// The dump a user can mail to support: a time stamp line, the text, the
// error message and every position of the scan (as an address, in decimal and
// relative to the text start). `timestamp` heads the first line.
[[nodiscard]] std::string FormatScanDump(const ScanDumpState& state, std::string_view message,
                                         std::string_view timestamp);

// The current local date and time as the dump's first line shows it.
[[nodiscard]] std::string DumpTimestamp();

// The user's state folder for the program: $XDG_STATE_HOME/vellumkit, else
// ~/.local/state/vellumkit; empty when neither variable is set.
[[nodiscard]] std::filesystem::path UserStateFolder();

struct WrittenDump {
    std::filesystem::path path;
    // True when the program's folder could not be written and the dump went
    // to the state folder instead.
    bool inStateFolder = false;
};

// Writes the dump as kScanDumpFileName into `programFolder` (created or
// overwritten) and, where that folder cannot be written (an installed
// program), into `stateFolder`, created when missing. Empty when neither
// could be written: the dump is then lost, the error still goes on.
[[nodiscard]] std::optional<WrittenDump> WriteScanDump(std::string_view dump,
                                                       const std::filesystem::path& programFolder,
                                                       const std::filesystem::path& stateFolder);

}  // namespace vk
