#include "script_manifest.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <system_error>

#include "common/exceptions.h"
#include "common/file_bytes.h"
#include "common/windows_1252.h"
#include "document/script_checksum.h"

namespace vk::cli {
namespace {

using Json = nlohmann::ordered_json;

constexpr int kFormatVersion = 1;

// A manifest far larger than any folder of scripts needs is not read whole.
constexpr std::size_t kMaxManifestBytes = 64u << 20;

std::optional<std::uint32_t> ParseChecksum(const std::string& hex) {
    if (hex.size() != 8 || hex.find_first_not_of("0123456789abcdef") != std::string::npos)
        return std::nullopt;
    return static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
}

// The file path must stay inside the folder: relative, no "..", no empty part.
// A root of any kind is refused (on Windows "/etc" is the current drive's, and
// "C:x" a drive's current folder), and so is a colon, which names a drive or
// a file's data stream there and which the tool's own names never hold.
bool IsInsideFolder(const std::string& file) {
    const std::filesystem::path path(file);
    if (file.empty() || path.has_root_path() || file.find_first_of("\\:") != std::string::npos)
        return false;
    return std::none_of(path.begin(), path.end(), [](const std::filesystem::path& part) {
        return part.empty() || part == "." || part == "..";
    });
}

}  // namespace

const ManifestEntry* Manifest::Find(std::string_view category, std::string_view form) const {
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const ManifestEntry& e) {
        return e.category == category && e.form == form;
    });
    return it == entries.end() ? nullptr : &*it;
}

void Manifest::Set(ManifestEntry entry) {
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const ManifestEntry& e) {
        return e.category == entry.category && e.form == entry.form;
    });
    if (it == entries.end())
        entries.push_back(std::move(entry));
    else
        *it = std::move(entry);
}

std::string FormatManifest(const Manifest& manifest) {
    Json scripts = Json::array();
    for (const ManifestEntry& e : manifest.entries) {
        scripts.push_back({{"category", Windows1252ToUtf8(e.category)},
                           {"form", Windows1252ToUtf8(e.form)},
                           {"file", e.file},
                           {"checksum", FormatChecksum(e.print.checksum)},
                           {"size", e.print.size}});
    }
    const Json root{{"version", kFormatVersion},
                    {"database", Windows1252ToUtf8(manifest.database)},
                    {"scripts", std::move(scripts)}};
    return root.dump(2) + "\n";
}

std::optional<Manifest> ParseManifest(std::string_view text, std::string* error) {
    const auto fail = [&](const std::string& why) -> std::optional<Manifest> {
        if (error) *error = why;
        return std::nullopt;
    };
    const Json root = Json::parse(text.begin(), text.end(), nullptr, false);
    if (root.is_discarded() || !root.is_object()) return fail("not a JSON object");
    if (root.value("version", 0) != kFormatVersion) return fail("an unknown version");
    if (!root.contains("database") || !root["database"].is_string() || !root.contains("scripts") ||
        !root["scripts"].is_array())
        return fail("no database or no scripts");
    Manifest manifest;
    manifest.database = Utf8ToWindows1252(root["database"].get<std::string>());
    for (const Json& s : root["scripts"]) {
        const auto text = [&](const char* key) -> std::optional<std::string> {
            if (!s.is_object() || !s.contains(key) || !s[key].is_string()) return std::nullopt;
            return s[key].get<std::string>();
        };
        const auto category = text("category");
        const auto form = text("form");
        const auto file = text("file");
        const auto checksum = text("checksum");
        if (!category || !form || !file || !checksum || !s.contains("size") ||
            !s["size"].is_number_unsigned())
            return fail("a script entry lacks a name, file, checksum or size");
        const auto sum = ParseChecksum(*checksum);
        if (!sum) return fail("a checksum is not eight hexadecimal digits");
        if (!IsInsideFolder(*file)) return fail("the file \"" + *file + "\" is outside the folder");
        manifest.entries.push_back({Utf8ToWindows1252(*category),
                                    Utf8ToWindows1252(*form),
                                    *file,
                                    {*sum, s["size"].get<std::uint64_t>()}});
    }
    return manifest;
}

std::optional<Manifest> ReadManifest(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / kManifestName;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec) && !ec) return std::nullopt;
    std::string why;
    const auto bytes = ReadWholeFile(file, &why, kMaxManifestBytes);
    if (!bytes) throw Exception("Cannot read " + file.string() + ": " + why);
    auto manifest = ParseManifest(*bytes, &why);
    if (!manifest) throw Exception("Cannot read " + file.string() + ": " + why);
    return manifest;
}

void WriteManifest(const std::filesystem::path& folder, const Manifest& manifest) {
    const std::filesystem::path file = folder / kManifestName;
    std::string why;
    if (!WriteWholeFileAtomically(file, FormatManifest(manifest), &why))
        throw Exception("Cannot write " + file.string() + ": " + why);
}

}  // namespace vk::cli
