// The language server with Commence: a folder pulled from the demo server
// gives each script its database and category, whose names the server
// completes and checks; and the category names as the schema source reads
// them.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "commence/category_schema_source.h"
#include "common/text_helpers.h"
#include "language_server.h"
#include "lsp_support.h"
#include "platform/registry.h"
#include "script_home.h"
#include "script_manifest.h"
#include "support/commence_fixture.h"

namespace vk::lsp {
namespace {

using nlohmann::json;
using test::CommenceFixture;

namespace fs = std::filesystem;

// One Demo Sales database and one pulled folder for every test here.
class PulledFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fixture_ = new CommenceFixture();
        folder_ = new fs::path(fixture_->Root() / "scripts");
        const int pulled =
            test::RunProgram(test::BuiltProgram("vellumkit-cli"),
                             {"pull", std::string(CommenceFixture::kDemoSales), folder_->string()});
        ASSERT_EQ(pulled, 0);
    }
    static void TearDownTestSuite() {
        delete folder_;
        delete fixture_;
        fixture_ = nullptr;
    }

    // The pulled file of a form.
    static fs::path FileOf(std::string_view category, std::string_view form) {
        const auto manifest = cli::ReadManifest(*folder_);
        const cli::ManifestEntry* entry = manifest ? manifest->Find(category, form) : nullptr;
        return entry ? *folder_ / entry->file : fs::path();
    }

    static CommenceFixture* fixture_;
    static fs::path* folder_;
};
CommenceFixture* PulledFolder::fixture_ = nullptr;
fs::path* PulledFolder::folder_ = nullptr;

TEST_F(PulledFolder, AScriptsHomeComesFromTheManifest) {
    const fs::path account = FileOf("Account", "Account");
    ASSERT_FALSE(account.empty());
    EXPECT_EQ(HomeFromManifest(account), (ScriptHome{"Demo Sales", "Account"}));
    EXPECT_EQ(HomeFromManifest(FileOf("Sales Opportunity", "Opportunity")),
              (ScriptHome{"Demo Sales", "Sales Opportunity"}));
    // A file the manifest does not list, and one outside any pulled folder.
    EXPECT_FALSE(HomeFromManifest(account.parent_path() / "Other.vbs").has_value());
    EXPECT_FALSE(HomeFromManifest(fixture_->Root() / "loose.vbs").has_value());
}

TEST(ScriptUri, NamesALocalFile) {
    EXPECT_EQ(PathOfUri("file:///tmp/a%20b/Form.vbs"), fs::path("/tmp/a b/Form.vbs"));
    EXPECT_EQ(PathOfUri("file://localhost/x.vbs"), fs::path("/x.vbs"));
    EXPECT_FALSE(PathOfUri("untitled:Untitled-1").has_value());
    EXPECT_FALSE(PathOfUri("file://server/share/x.vbs").has_value());
    EXPECT_FALSE(PathOfUri("file:///a%2").has_value());
    EXPECT_FALSE(PathOfUri("file:///a%00b").has_value());
}

std::vector<std::string> Labels(const json& answer) {
    std::vector<std::string> labels;
    for (const json& item : answer["result"]["items"]) labels.push_back(item["label"]);
    return labels;
}

TEST_F(PulledFolder, TheServerCompletesAndChecksTheCategorysNames) {
    const fs::path file = FileOf("Account", "Account");
    const std::string uri = "file://" + file.generic_string();
    const std::string text =
        test::ReadFileBytes(file) +
        "Sub Extra()\r\n"
        "    x = Form.Field(\"Re\r\n"
        "    Set m = Form.Connection(\"\r\n"
        "    y = Form.Connection(\"Managed by\", \"Employee\").FieldValue(\"\r\n"
        "    z = Field(\"Regoin\").Value\r\n"
        "End Sub\r\n";
    const std::uint32_t line =
        static_cast<std::uint32_t>(std::count(text.begin(), text.end(), '\n')) - 5;

    std::vector<std::string> pieces(1);
    const auto send = [&](const json& message) { pieces.back() += test::Framed(message); };
    send(test::Initialize());
    send(test::Open(uri, text));
    pieces.emplace_back();  // the diagnostics go out before what follows
    send(test::Request(2, "textDocument/completion", test::At(uri, line, 22)));
    send(test::Request(3, "textDocument/completion", test::At(uri, line + 1, 29)));
    send(test::Request(4, "textDocument/completion", test::At(uri, line + 2, 62)));
    send(test::Request(5, "shutdown"));
    send(test::Notification("exit"));
    test::TextSource source(pieces, 1 << 20);
    test::TextSink sink;
    Registry registry(fixture_->RegistryDir());
    ASSERT_EQ(Serve(source, sink, registry), 0);
    const std::vector<json> messages = test::Messages(sink.text);
    const auto answer = [&](int id) -> const json& {
        return *std::find_if(messages.begin(), messages.end(),
                             [&](const json& m) { return m.contains("id") && m["id"] == id; });
    };

    // The category's real fields that begin with "Re", then those that hold it.
    const std::vector<std::string> fields = Labels(answer(2));
    ASSERT_GE(fields.size(), 2u);
    EXPECT_EQ(fields[0], "Region");
    for (const std::string& field : fields)
        EXPECT_NE(FoldAsciiCase(field).find("re"), std::string::npos) << field;
    EXPECT_NE(std::find(fields.begin(), fields.end(), "Address"), fields.end());

    // Connections come with the category each leads to.
    std::vector<std::string> connections;
    for (const json& item : answer(3)["result"]["items"])
        connections.push_back(item["label"].get<std::string>() + " -> " +
                              item["detail"].get<std::string>());
    EXPECT_NE(std::find(connections.begin(), connections.end(), "Managed by -> Employee"),
              connections.end())
        << testing::PrintToString(connections);

    const std::vector<std::string> employee = Labels(answer(4));
    EXPECT_NE(std::find(employee.begin(), employee.end(), "Initials"), employee.end());

    // The live check of the names: the misspelt field on the last line.
    const auto published = std::find_if(messages.begin(), messages.end(), [](const json& m) {
        return m.value("method", "") == "textDocument/publishDiagnostics";
    });
    ASSERT_NE(published, messages.end());
    std::vector<std::string> unknown;
    for (const json& d : (*published)["params"]["diagnostics"])
        if (d["code"] == "unknown-name")
            unknown.push_back(std::to_string(d["range"]["start"]["line"].get<int>()) + ": " +
                              d["message"].get<std::string>());
    EXPECT_EQ(unknown, (std::vector<std::string>{
                           std::to_string(line + 3) +
                           ": The field 'Regoin' does not exist in the category 'Account'"}));
}

TEST_F(PulledFolder, TheSchemaSourceReadsACategoryOnce) {
    Registry registry(fixture_->RegistryDir());
    CategorySchemaSource source(registry);
    const language::CategorySchema& account = source.Schema(CommenceFixture::kDemoSales, "Account");
    // Every field, those the filter builder cannot filter by too (an image,
    // a data file).
    for (const char* field : {"Region", "Logo", "Contract File"})
        EXPECT_NE(std::find(account.fields.begin(), account.fields.end(), field),
                  account.fields.end())
            << field;
    EXPECT_NE(std::find(account.connections.begin(), account.connections.end(),
                        language::ConnectionName{"Managed by", "Employee"}),
              account.connections.end());
    (void)source.Schema(CommenceFixture::kDemoSales, "Account");
    EXPECT_EQ(source.Reads(), 1u);
    source.Forget(CommenceFixture::kDemoSales, "Account");
    (void)source.Schema(CommenceFixture::kDemoSales, "Account");
    EXPECT_EQ(source.Reads(), 2u);

    // Without the category, or the database, the names are empty and the
    // problem is told.
    EXPECT_TRUE(source.Schema(CommenceFixture::kDemoSales, "Nothing").fields.empty());
    EXPECT_NE(source.Problem(CommenceFixture::kDemoSales, "Nothing").find("does not exist"),
              std::string::npos);
    EXPECT_TRUE(source.Schema("No Such Database", "Account").fields.empty());
    EXPECT_NE(source.Problem("No Such Database", "Account"), "");
}

}  // namespace
}  // namespace vk::lsp
