#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vk::lsp {

// The path a file: URI names; nothing for another scheme or a malformed
// URI. "file:///home/a%20b/x.vbs" gives /home/a b/x.vbs, and on Windows
// "file:///C:/x.vbs" gives C:/x.vbs.
[[nodiscard]] std::optional<std::filesystem::path> PathOfUri(std::string_view uri);

// Where a script's field and connection names live.
struct ScriptHome {
    std::string database;  // Windows-1252, as Commence names it
    std::string category;
    bool operator==(const ScriptHome&) const = default;
};

// The database and category of a script file from the manifest of the folder
// `vellumkit-cli pull` made, looked for in the file's folder and the folders
// above it. Nothing when no manifest there lists the file; `problem` says why
// when a manifest is there but cannot be read.
[[nodiscard]] std::optional<ScriptHome> HomeFromManifest(const std::filesystem::path& file,
                                                         std::string* problem = nullptr);

}  // namespace vk::lsp
