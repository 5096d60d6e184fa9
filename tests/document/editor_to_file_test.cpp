// EditorToFile against the real Commence-compatible server.
#include "document/editor_to_file.h"

#include <gtest/gtest.h>

#include "common/status_sink.h"
#include "document/checksum_check.h"
#include "platform/registry.h"
#include "support/commence_fixture.h"
#include "support/test_support.h"

namespace vk {
namespace {

using test::CommenceFixture;
using Lines = std::vector<std::string>;

class RecordingStatus final : public StatusSink {
public:
    void SetStatus(std::string_view text, int level) override {
        entries.emplace_back(std::string(text), level);
    }
    std::vector<std::pair<std::string, int>> entries;
};

class EditorToFileTest : public ::testing::Test {
protected:
    CommenceFixture commence;
    test::ScopedEnv tmp{"TMPDIR", commence.Root().string()};
    Registry registry{commence.RegistryDir()};
    RecordingStatus status;

    ScriptSaveContext Context(std::string database) const {
        return {std::move(database), "Account", "Account", "PC", "login", {true, true, true}};
    }

    // Writes the file, checks where it went and what the status line showed,
    // and returns its bytes.
    std::string WriteAndRead(ScriptLines& lines, const ScriptSaveContext& context) {
        const std::filesystem::path file = EditorToFile(lines, registry, context, status);
        EXPECT_EQ(file.parent_path(), commence.Root());
        EXPECT_EQ(file.filename().string().rfind("VBS", 0), 0u) << file;
        EXPECT_EQ(status.entries, (std::vector<std::pair<std::string, int>>{
                                      {"Writing script to file", 0}, {"", 1}}));
        const std::string bytes = test::ReadFileBytes(file);
        std::filesystem::remove(file);
        return bytes;
    }
};

TEST_F(EditorToFileTest, RefreshesTheTagsAndWritesTheCanonicalText) {
    commence.StartServer(CommenceFixture::kDemoSales);
    MemoryScriptLines lines(Lines{"Option Explicit", "Dim a"});
    const std::string bytes =
        WriteAndRead(lines, Context(std::string(CommenceFixture::kDemoSales)));

    EXPECT_EQ(bytes, lines.CanonicalText());
    ASSERT_EQ(lines.LineCount(), 5);
    EXPECT_EQ(lines.Line(2), "'#Category Account, Account");
    EXPECT_EQ(lines.Line(3).rfind("'#Saved ", 0), 0u);
    EXPECT_NE(lines.Line(3).find(" on \\\\PC by Dana Whitfield"), std::string::npos)
        << lines.Line(3);
    EXPECT_EQ(VerifyChecksum(bytes).outcome, ChecksumVerdict::Outcome::Correct);
}

TEST_F(EditorToFileTest, WithoutCommenceTheFileKeepsTheTagsAsTheyStand) {
    // No database of that name is registered, so Commence cannot be started.
    MemoryScriptLines lines(Lines{"x = 1", "'#CRC32 00000000"});
    const std::string bytes = WriteAndRead(lines, Context("Nowhere"));
    EXPECT_EQ(bytes, "x = 1\r\n'#CRC32 00000000\r\n");
    EXPECT_EQ(lines.LineCount(), 2);
}

}  // namespace
}  // namespace vk
