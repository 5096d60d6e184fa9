// The code browser scans every script it is given, whatever it holds: the
// scan never crashes, and every entry it finds lies inside the text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "browser/script_scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const vk::ScanReport report = vk::ParseScript(text);
    for (const vk::ScanEntry& entry : report.entries)
        if (entry.offset < 0 || static_cast<std::size_t>(entry.offset) > text.size()) std::abort();
    return 0;
}
