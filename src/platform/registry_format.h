#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry_hive.h"

namespace vk {

// Why a hive file could not be read: the 1-based line and what is wrong there.
struct RegParseError {
    int line = 0;
    std::string reason;
};

struct RegParseResult {
    RegHive hive;
    std::optional<RegParseError> error;  // set: `hive` is empty
};

// Reads a hive file in REGEDIT4 form whose sections all lie below `rootName`
// ("HKEY_CURRENT_USER"):
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Thornmere\Vellumkit\Editor]
//   "Tab width"=dword:00000003
//   "Font name"="Courier New"
//   "Colour"=hex:ff,00,00,00,01
//
// Text is single-byte; bytes 0x80-0xFF are taken as they stand. Lines may end
// in LF or CR LF; blank lines and ';' comments are skipped; a hex list may go
// on over lines ending in a backslash. An empty file is an empty hive.
// Deletion entries ("[-key]", "name"=-) belong to import scripts, not to a
// stored hive, and are refused.
[[nodiscard]] RegParseResult ParseRegFile(std::string_view text, std::string_view rootName);

// Writes the hive in the form ParseRegFile reads, with CR LF line ends. A
// string holding a line break or NUL is written as hex(1) bytes, since a
// quoted string cannot span lines.
[[nodiscard]] std::string FormatRegFile(const RegHive& hive, std::string_view rootName);

}  // namespace vk
