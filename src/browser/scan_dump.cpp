#include "browser/scan_dump.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include "common/file_bytes.h"

namespace vk {
namespace {

constexpr std::string_view kSupportAddress = "support@thornmere.example";
constexpr std::string_view kEol = "\r\n";

const std::string& Dashes() {
    static const std::string dashes(78, '-');
    return dashes;
}

// "NAME %x (decimal %d, relative %d)" for a position: the address of its
// character, the same in decimal, and its offset from the text start.
std::string PositionLine(std::string_view label, std::string_view lowered,
                         std::optional<std::size_t> pos) {
    std::uintmax_t address = 0;
    std::uintmax_t relative = 0;
    if (pos) {
        address = reinterpret_cast<std::uintptr_t>(lowered.data()) + *pos;
        relative = *pos;
    }
    char line[160];
    std::snprintf(line, sizeof line, "%.*s%jx (decimal %ju, relative %ju)",
                  static_cast<int>(label.size()), label.data(), address, address, relative);
    return line;
}

}  // namespace

std::string FormatScanDump(const ScanDumpState& s, std::string_view message,
                           std::string_view timestamp) {
    std::string out;
    out.reserve(s.text.size() + s.lowered.size() + 1024);
    auto line = [&out](std::string_view text) {
        out += text;
        out += kEol;
    };
    line(std::string(timestamp) + " | e-mail this debug output to " + std::string(kSupportAddress));
    line(Dashes());
    line(s.text);
    line(Dashes());
    line(message);
    line(Dashes());
    line(PositionLine("Current scan position: ", s.lowered, 0));
    line(s.lowered);
    line(Dashes());
    line(PositionLine("ptrNextIdentifier ", s.lowered, s.identifier));
    line("Identifier Type: " + std::string(KindName(s.kind)));
    line(PositionLine("ptrNextColon\t", s.lowered, s.colon));
    line(PositionLine("ptrNextBracket\t", s.lowered, s.bracket));
    line(PositionLine("ptrNextCRLF\t", s.lowered, s.lineEnd));
    line(PositionLine("ptrNextDelimiter\t", s.lowered, s.delimiter));
    line(PositionLine("ptrBlockBegin\t", s.lowered, s.blockBegin));
    line(PositionLine("ptrBlockEnd\t", s.lowered, s.blockEnd));
    line("Identifier length " + std::to_string(s.name.size()));
    line("Identifier offset " + std::to_string(s.nameOffset));
    line("Identifier name " + s.name);
    return out;
}

std::string DumpTimestamp() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[64];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0) return {};
    return text;
}

std::filesystem::path UserStateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state != '\0')
        return std::filesystem::path(state) / "vellumkit";
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return std::filesystem::path(home) / ".local" / "state" / "vellumkit";
    return {};
}

std::optional<WrittenDump> WriteScanDump(std::string_view dump,
                                         const std::filesystem::path& programFolder,
                                         const std::filesystem::path& stateFolder) {
    if (!programFolder.empty() && WriteWholeFileAtomically(programFolder / kScanDumpFileName, dump))
        return WrittenDump{programFolder / kScanDumpFileName, false};
    if (stateFolder.empty()) return std::nullopt;
    std::error_code ignored;
    std::filesystem::create_directories(stateFolder, ignored);
    if (WriteWholeFileAtomically(stateFolder / kScanDumpFileName, dump))
        return WrittenDump{stateFolder / kScanDumpFileName, true};
    return std::nullopt;
}

}  // namespace vk
