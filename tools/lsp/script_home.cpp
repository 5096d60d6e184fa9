#include "script_home.h"

#include <system_error>

#include "common/exceptions.h"
#include "common/text_helpers.h"
#include "script_manifest.h"

namespace vk::lsp {
namespace {

namespace fs = std::filesystem;

// A pulled folder lies a category folder above its scripts; a few more
// levels cover a folder kept inside a project.
constexpr int kMaxLevels = 16;

}  // namespace

std::optional<fs::path> PathOfUri(std::string_view uri) {
    constexpr std::string_view kScheme = "file://";
    if (uri.size() < kScheme.size() ||
        !EqualsIgnoringAsciiCase(uri.substr(0, kScheme.size()), kScheme))
        return std::nullopt;
    std::string_view rest = uri.substr(kScheme.size());
    // file://host/path: only the local host is ours.
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && !EqualsIgnoringAsciiCase(host, "localhost")) return std::nullopt;
    rest = rest.substr(slash);
    std::string decoded;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%') {
            if (i + 2 >= rest.size()) return std::nullopt;
            const int high = HexDigitValue(rest[i + 1]), low = HexDigitValue(rest[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            const char c = static_cast<char>(high * 16 + low);
            if (c == '\0') return std::nullopt;
            decoded += c;
            i += 2;
        } else if (rest[i] == '?' || rest[i] == '#') {
            break;
        } else {
            decoded += rest[i];
        }
    }
#ifdef _WIN32
    // "/C:/dir" is the drive path C:/dir.
    if (decoded.size() >= 3 && decoded[0] == '/' && decoded[2] == ':') decoded.erase(0, 1);
    std::u8string text(decoded.begin(), decoded.end());
    return fs::path(text);
#else
    return fs::path(decoded);
#endif
}

std::optional<ScriptHome> HomeFromManifest(const fs::path& file, std::string* problem) {
    const fs::path target = file.lexically_normal();
    fs::path folder = target.parent_path();
    for (int level = 0; level < kMaxLevels && !folder.empty(); ++level) {
        std::error_code ec;
        if (fs::is_regular_file(folder / std::string(cli::kManifestName), ec)) {
            try {
                const std::optional<cli::Manifest> manifest = cli::ReadManifest(folder);
                if (manifest) {
                    const std::string relative = target.lexically_relative(folder).generic_string();
                    for (const cli::ManifestEntry& entry : manifest->entries)
                        if (entry.file == relative)
                            return ScriptHome{manifest->database, entry.category};
                }
            } catch (const Exception& e) {
                if (problem) *problem = e.what();
            }
            return std::nullopt;  // the nearest manifest decides
        }
        const fs::path parent = folder.parent_path();
        if (parent == folder) break;
        folder = parent;
    }
    return std::nullopt;
}

}  // namespace vk::lsp
