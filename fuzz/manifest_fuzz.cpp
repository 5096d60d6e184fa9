// A folder's manifest is a file anyone can edit: whatever it holds is read
// without a crash, and what is accepted is a manifest whose every entry is
// usable (one file per form, one form per file, each file its form's).
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "script_manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string why;
    const auto manifest = vk::cli::ParseManifest(text, &why);
    if (!manifest) return 0;
    std::set<std::string> files;
    for (const vk::cli::ManifestEntry& entry : manifest->entries)
        if (!files.insert(entry.file).second || entry.file.empty()) std::abort();
    // What is written reads back to the same.
    const auto again = vk::cli::ParseManifest(vk::cli::FormatManifest(*manifest), &why);
    if (!again || again->entries.size() != manifest->entries.size()) std::abort();
    return 0;
}
