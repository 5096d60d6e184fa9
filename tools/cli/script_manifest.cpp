#include "script_manifest.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>
#include <system_error>
#include <utility>
#include <vector>

#include "common/exceptions.h"
#include "common/file_bytes.h"
#include "common/script_limits.h"
#include "common/text_helpers.h"
#include "common/windows_1252.h"
#include "document/script_checksum.h"
#include "script_file_names.h"

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

namespace {

// Why an entry of the "scripts" list is not one; nothing when it is.
std::optional<std::string> EntryProblem(const Json& s, ManifestEntry& entry) {
    if (!s.is_object()) return "is not an object";
    const auto text = [&](const char* key, std::string& into) -> std::optional<std::string> {
        if (!s.contains(key) || !s[key].is_string() || s[key].get_ref<const std::string&>().empty())
            return "has no \"" + std::string(key) + "\" text";
        into = s[key].get<std::string>();
        return std::nullopt;
    };
    std::string category, form, checksum;
    for (const auto& [key, into] :
         {std::pair{"category", &category}, std::pair{"form", &form},
          std::pair{"file", &entry.file}, std::pair{"checksum", &checksum}})
        if (auto problem = text(key, *into)) return problem;
    entry.category = Utf8ToWindows1252(category);
    entry.form = Utf8ToWindows1252(form);
    const auto sum = ParseChecksum(checksum);
    if (!sum) return "has a checksum that is not eight lowercase hexadecimal digits";
    // A JSON number without sign, fraction or exponent only: true, 1.0 or a
    // float too large for any integer are no sizes.
    if (!s.contains("size") || !s["size"].is_number_unsigned() ||
        s["size"].get<std::uint64_t>() > kMaxScriptBytes)
        return "has a size that is no whole number from 0 to " + std::to_string(kMaxScriptBytes);
    entry.print = {*sum, s["size"].get<std::uint64_t>()};
    if (!IsInsideFolder(entry.file))
        return "names the file \"" + entry.file + "\", which is outside the folder";
    return std::nullopt;
}

// The file is the one the names give, so that no script lands in another
// form: "CATEGORY/FORM.vbs" as a pull writes it.
std::optional<std::string> FileProblem(const ManifestEntry& entry) {
    const std::filesystem::path file(entry.file);
    const std::string stem = file.filename().string();
    const std::vector<std::filesystem::path> parts(file.begin(), file.end());
    if (parts.size() != 2 || !stem.ends_with(kScriptExtension) ||
        DecodeName(parts[0].string()) != entry.category ||
        DecodeName(std::string_view(stem).substr(0, stem.size() - kScriptExtension.size())) !=
            entry.form)
        return "names the file \"" + entry.file + "\", which is not the file of its form";
    return std::nullopt;
}

// Names an entry in a message: 'the script entry 3 ("Account", "Main")'.
std::string EntryName(std::size_t index, const ManifestEntry& entry) {
    std::string name = "the script entry " + std::to_string(index + 1);
    if (!entry.category.empty() && !entry.form.empty())
        name += " (\"" + Windows1252ToUtf8(entry.category) + "\", \"" +
                Windows1252ToUtf8(entry.form) + "\")";
    return name;
}

}  // namespace

std::optional<Manifest> ParseManifest(std::string_view text, std::string* error) {
    const auto fail = [&](const std::string& why) -> std::optional<Manifest> {
        if (error) *error = why;
        return std::nullopt;
    };
    const Json root = Json::parse(text.begin(), text.end(), nullptr, false);
    if (root.is_discarded() || !root.is_object()) return fail("not a JSON object");
    // Compared as JSON, so that "1", 1.0, true or 4294967297 are not 1.
    if (!root.contains("version") || !root["version"].is_number_integer() ||
        root["version"] != Json(kFormatVersion))
        return fail("an unknown version (this program reads version " +
                    std::to_string(kFormatVersion) + ")");
    if (!root.contains("database") || !root["database"].is_string() || !root.contains("scripts") ||
        !root["scripts"].is_array())
        return fail("no database or no scripts");
    Manifest manifest;
    manifest.database = Utf8ToWindows1252(root["database"].get<std::string>());
    // Each form has one file and each file one form: two entries on one file
    // would store one script into both forms. Files compare ignoring case,
    // as they do on Windows.
    std::map<std::pair<std::string, std::string>, std::size_t> forms;
    std::map<std::string, std::size_t> files;
    for (const Json& s : root["scripts"]) {
        const std::size_t index = manifest.entries.size();
        ManifestEntry entry;
        if (const auto problem = EntryProblem(s, entry))
            return fail(EntryName(index, entry) + " " + *problem);
        if (const auto [at, added] = forms.emplace(std::pair{entry.category, entry.form}, index);
            !added)
            return fail(EntryName(index, entry) + " names the same form as entry " +
                        std::to_string(at->second + 1));
        if (const auto [at, added] = files.emplace(FoldAsciiCase(entry.file), index); !added)
            return fail(EntryName(index, entry) + " names the same file as entry " +
                        std::to_string(at->second + 1));
        if (const auto problem = FileProblem(entry))
            return fail(EntryName(index, entry) + " " + *problem);
        manifest.entries.push_back(std::move(entry));
    }
    return manifest;
}

std::optional<Manifest> ReadManifest(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / kManifestName;
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(file, ec))) return std::nullopt;
    std::string why;
    const auto bytes = ReadRegularFile(file, &why, kMaxManifestBytes);
    if (!bytes) throw Exception("Cannot read " + file.string() + ": " + why);
    auto manifest = ParseManifest(*bytes, &why);
    if (!manifest)
        throw EBadManifest(file.string() + " is not a manifest this program can act on: " + why);
    return manifest;
}

void WriteManifest(const std::filesystem::path& folder, const Manifest& manifest) {
    const std::filesystem::path file = folder / kManifestName;
    std::string why;
    if (!WriteWholeFileAtomically(file, FormatManifest(manifest), &why))
        throw Exception("Cannot write " + file.string() + ": " + why);
}

}  // namespace vk::cli
