#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/exceptions.h"
#include "document/script_checksum.h"

namespace vk::cli {

// A manifest records the print of what was last pulled or pushed, the same
// print the editor and the local history compare with.
using vk::PrintOf;
using vk::ScriptPrint;

// One script of a pulled folder.
struct ManifestEntry {
    std::string category;  // Windows-1252, as Commence names it
    std::string form;
    std::string file;  // relative to the folder, '/' between the parts
    ScriptPrint print;
};

// A script folder's record of what it holds: the database it came from and,
// per script, the print of what was last pulled or stored.
struct Manifest {
    std::string database;
    std::vector<ManifestEntry> entries;

    [[nodiscard]] const ManifestEntry* Find(std::string_view category, std::string_view form) const;
    // Adds the entry, or replaces the one for its category and form.
    void Set(ManifestEntry entry);
};

// A folder's manifest that is there but is no manifest to act on (a wrong
// type, a value out of range, two entries for one file or one form); the
// message names the file and the entry.
class EBadManifest : public Exception {
public:
    using Exception::Exception;
};

// The extension of every script file of a folder.
inline constexpr std::string_view kScriptExtension = ".vbs";

// The manifest's file name inside the folder. It starts with a dot, which no
// category's folder name does.
inline constexpr std::string_view kManifestName = ".vellumkit-manifest.json";

[[nodiscard]] std::string FormatManifest(const Manifest& manifest);

// The manifest a text holds; nothing, with `error` saying why, when it is not
// one.
[[nodiscard]] std::optional<Manifest> ParseManifest(std::string_view text, std::string* error);

// The folder's manifest; nothing when it has none. Throws EBadManifest when
// one is there but is not one, vk::Exception when it cannot be read (it must
// be a regular file).
[[nodiscard]] std::optional<Manifest> ReadManifest(const std::filesystem::path& folder);

// Replaces the folder's manifest atomically: a reader or a crash sees the old
// one or the new one whole. Throws vk::Exception when it cannot be written.
void WriteManifest(const std::filesystem::path& folder, const Manifest& manifest);

}  // namespace vk::cli
