// vellumkit-lsp under a real client: Neovim's built-in LSP client, headless,
// on a script of a folder pulled from the demo server (the Lua script
// nvim/lsp_client.lua does the editing and writes what it saw).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "commence/category_schema_source.h"
#include "platform/registry.h"
#include "script_manifest.h"
#include "support/commence_fixture.h"

namespace vk::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::optional<fs::path> FindOnPath(std::string_view program) {
    const char* path = std::getenv("PATH");
    if (!path) return std::nullopt;
    std::string_view rest = path;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const fs::path candidate = fs::path(rest.substr(0, colon)) / std::string(program);
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) return candidate;
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return std::nullopt;
}

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

TEST(NeovimClient, DiagnosesCompletesAndRenamesAPulledScript) {
    const std::optional<fs::path> nvim = FindOnPath("nvim");
    if (!nvim)
        GTEST_SKIP() << "nvim is not installed, so vellumkit-lsp is not tried under a real client "
                        "(scripts/install-deps.sh installs Debian's neovim)";

    CommenceFixture fixture;
    const fs::path folder = fixture.Root() / "scripts";
    ASSERT_EQ(RunProgram(BuiltProgram("vellumkit-cli"),
                         {"pull", std::string(CommenceFixture::kDemoSales), folder.string()}),
              0);
    const auto manifest = cli::ReadManifest(folder);
    ASSERT_TRUE(manifest.has_value());
    const cli::ManifestEntry* entry = manifest->Find("Account", "Account");
    ASSERT_NE(entry, nullptr);
    const fs::path script = folder / entry->file;
    const std::string original = ReadFileBytes(script);

    // Neovim keeps its state, cache and logs in the test's folder.
    const fs::path home = fixture.Root() / "nvim-home";
    fs::create_directories(home);
    ScopedEnv config("XDG_CONFIG_HOME", (home / "config").string());
    ScopedEnv cache("XDG_CACHE_HOME", (home / "cache").string());
    ScopedEnv state("XDG_STATE_HOME", (home / "state").string());
    ScopedEnv server("VK_LSP", BuiltProgram("vellumkit-lsp").string());
    ScopedEnv vbsdoc("VK_VBSDOC", std::string(VK_SOURCE_DIR) + "/data/vbsdoc");
    ScopedEnv scriptEnv("VK_SCRIPT", script.string());
    const fs::path resultFile = home / "result.json";
    ScopedEnv result("VK_RESULT", resultFile.string());

    const fs::path lua = fs::path(VK_SOURCE_DIR) / "tests/lsp/nvim/lsp_client.lua";
    const ProcessId editor = StartProgram(
        *nvim, {"--headless", "--clean", "-n", "-i", "NONE", "-c", "luafile " + lua.string()},
        {{}, home / "nvim.out", {}});
    if (!WaitForExit(editor, std::chrono::seconds(120))) {
        Kill(editor);
        FAIL() << "Neovim did not finish within two minutes";
    }
    ASSERT_TRUE(fs::exists(resultFile)) << ReadFileBytes(home / "nvim.out");
    const json seen = json::parse(ReadFileBytes(resultFile));
    ASSERT_FALSE(seen.contains("failure"))
        << seen["failure"] << "\nsteps: " << seen["steps"].dump();
    ASSERT_FALSE(seen.contains("timeout")) << "steps: " << seen["steps"].dump();

    // The broken line's error, on its line.
    EXPECT_NE(std::find(seen["broken"]["messages"].begin(), seen["broken"]["messages"].end(),
                        "Expected ')'"),
              seen["broken"]["messages"].end())
        << seen["broken"].dump();

    // Exactly the category's fields as Commence lists them.
    Registry registry(fixture.RegistryDir());
    CategorySchemaSource schemas(registry);
    const auto& fields = schemas.Schema(CommenceFixture::kDemoSales, "Account").fields;
    ASSERT_FALSE(fields.empty());
    EXPECT_EQ(seen["fields"].get<std::set<std::string>>(),
              std::set<std::string>(fields.begin(), fields.end()));

    // Every reference renamed, and nothing else changed. Neovim shows the
    // CR LF file's lines without their CR.
    const std::string expected =
        Replaced(Replaced(original, "\r\n", "\n"), "mOriginalRegion", "mRegionAtLoad");
    std::string renamed = seen["renamed"].get<std::string>() + "\n";
    EXPECT_EQ(renamed, expected);
    EXPECT_EQ(renamed.find("mOriginalRegion"), std::string::npos);

    std::vector<double> times = seen["completion_ms"].get<std::vector<double>>();
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    RecordProperty("completion_round_trip_median_ms", std::to_string(median));
    std::cout << "completion round trip in Neovim over " << times.size() << " requests: median "
              << median << " ms, fastest " << times.front() << " ms, slowest " << times.back()
              << " ms\n";
}

}  // namespace
}  // namespace vk::test
