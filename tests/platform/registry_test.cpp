#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

#include "support/test_support.h"

namespace vk {
namespace {

using test::ReadFileBytes;
using test::ScopedEnv;
using test::TempDir;
using test::WriteFileBytes;

std::filesystem::path UserHive(const TempDir& dir) { return dir.path() / "HKEY_CURRENT_USER.reg"; }

TEST(Registry, AwkwardNamesAndValuesSurviveAReload) {
    struct Row {
        const char* label;
        std::string key;
        std::string name;
        std::string text;
    };
    const std::vector<Row> rows = {
        {"quotes", "Q\"uoted\"", "say \"hi\"", "\"quoted\" text\""},
        {"backslashes", "Plain", "back\\slash\\", "C:\\Program Files\\x\\"},
        {"equals and brackets", "br]ack[et]", "a=b]c[", "[x]=\"y\""},
        {"windows-1252 bytes", "Caf\xE9 \x80", "na\xEFve \xFF", "\x80\x9F\xA0\xFF"},
        {"line breaks", "Lines", "multi", "one\r\ntwo\nthree\r"},
        {"empty text", "Empty", "nothing", ""},
        {"default value", "Default", "", "the default"},
        {"semicolon", "; not a comment", ";x", "; neither"},
    };
    std::vector<std::uint8_t> allBytes(256);
    for (int i = 0; i < 256; ++i) allBytes[i] = static_cast<std::uint8_t>(i);

    TempDir dir;
    {
        Registry registry(dir.path());
        for (const Row& row : rows) {
            auto key = registry.OpenKey(Hive::CurrentUser, "Software\\" + row.key, true);
            ASSERT_TRUE(key) << row.label;
            EXPECT_TRUE(key->WriteString(row.name, row.text)) << row.label;
        }
        auto key = registry.OpenKey(Hive::LocalMachine, "Software\\Bin", true);
        ASSERT_TRUE(key);
        EXPECT_TRUE(key->WriteBinary("all", allBytes));
        EXPECT_TRUE(key->WriteBinary("none", {}));
        EXPECT_TRUE(key->WriteInteger("max", 0xFFFFFFFF));
        EXPECT_TRUE(key->WriteInteger("zero", 0));
    }
    Registry reread(dir.path());
    EXPECT_EQ(reread.LoadError(Hive::CurrentUser), std::nullopt);
    for (const Row& row : rows) {
        auto key = reread.OpenKey(Hive::CurrentUser, "Software\\" + row.key);
        ASSERT_TRUE(key) << row.label;
        EXPECT_EQ(key->ReadString(row.name), row.text) << row.label;
    }
    auto key = reread.OpenKey(Hive::LocalMachine, "Software\\Bin");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadBinary("all"), allBytes);
    EXPECT_EQ(key->ReadBinary("none"), std::vector<std::uint8_t>{});
    EXPECT_EQ(key->ReadInteger("max"), 0xFFFFFFFFu);
    EXPECT_EQ(key->ReadInteger("zero"), 0u);
    // The hives are separate files.
    EXPECT_FALSE(reread.OpenKey(Hive::CurrentUser, "Software\\Bin"));
}

TEST(Registry, WritesRegedit4TextAndLeavesNoTemporaryFiles) {
    TempDir dir;
    {
        Registry registry(dir.path());
        auto key =
            registry.OpenKey(Hive::CurrentUser, "Software\\Thornmere\\Vellumkit\\Editor", true);
        ASSERT_TRUE(key);
        EXPECT_TRUE(key->WriteInteger("Tab width", 3));
        EXPECT_TRUE(key->WriteString("Font name", "Courier \"New\""));
        EXPECT_TRUE(key->WriteBinary("Colour", {0xff, 0x00, 0x10, 0x00, 0x01}));
        EXPECT_TRUE(key->WriteInteger("tab WIDTH", 0x1A2B));  // replaces, keeps the first spelling
    }
    EXPECT_EQ(ReadFileBytes(UserHive(dir)),
              "REGEDIT4\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software]\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\Thornmere]\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\Thornmere\\Vellumkit]\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\Thornmere\\Vellumkit\\Editor]\r\n"
              "\"Tab width\"=dword:00001a2b\r\n"
              "\"Font name\"=\"Courier \\\"New\\\"\"\r\n"
              "\"Colour\"=hex:ff,00,10,00,01\r\n"
              "\r\n");
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files,
              (std::vector<std::string>{"HKEY_CURRENT_USER.reg", "HKEY_CURRENT_USER.reg.lock"}));
}

TEST(Registry, ReadsHandWrittenFiles) {
    TempDir dir;
    WriteFileBytes(UserHive(dir),
                   "\n"
                   "REGEDIT4\n"
                   "; a comment\n"
                   "[hkey_current_user\\Deep\\Down\\Key]\n"
                   "  \"Long\" = hex:01,02,\\\n"
                   "    03,0a\n"
                   "\"Count\"=dword:ff\n"
                   "\"Path\"=\"C:\\Temp\"\n"
                   "\"Expand\"=hex(2):25,00\n"
                   "\"Sz\"=hex(1):61,62,00\n"
                   "\"Four\"=hex(4):01,00,00,00\n"
                   "@=\"default\"\n"
                   "[HKEY_CURRENT_USER\\deep\\down\\key]\n"
                   "\"Count\"=dword:00000002\n");
    Registry registry(dir.path());
    ASSERT_EQ(registry.LoadError(Hive::CurrentUser), std::nullopt);
    auto key = registry.OpenKey(Hive::CurrentUser, "DEEP\\down\\KEY");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadBinary("long"), (std::vector<std::uint8_t>{1, 2, 3, 10}));
    EXPECT_EQ(key->ReadInteger("Count"), 2u) << "a repeated section merges, the later value wins";
    EXPECT_EQ(key->ReadString("Path"), "C:\\Temp") << "a lone backslash is kept";
    EXPECT_EQ(key->ReadString("Sz"), "ab");
    EXPECT_EQ(key->ReadInteger("Four"), 1u);
    EXPECT_EQ(key->ReadString(""), "default");
    // Parents named only through a deeper key exist.
    auto deep = registry.OpenKey(Hive::CurrentUser, "Deep");
    ASSERT_TRUE(deep);
    EXPECT_EQ(deep->SubkeyNames(), std::vector<std::string>{"Down"});

    // A type this program does not use is kept when the file is rewritten.
    EXPECT_TRUE(key->WriteInteger("Other", 7));
    Registry reread(dir.path());
    auto again = reread.OpenKey(Hive::CurrentUser, "Deep\\Down\\Key");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->ReadInteger("Other"), 7u);
    EXPECT_NE(ReadFileBytes(UserHive(dir)).find("\"Expand\"=hex(2):25,00\r\n"), std::string::npos);
}

TEST(Registry, ValueOfAnotherTypeReadsAbsent) {
    TempDir dir;
    Registry registry(dir.path());
    auto key = registry.OpenKey(Hive::CurrentUser, "Types", true);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->WriteString("text", "12"));
    ASSERT_TRUE(key->WriteInteger("number", 12));
    ASSERT_TRUE(key->WriteBinary("bytes", {12, 0, 0, 0}));
    EXPECT_EQ(key->ReadInteger("text"), std::nullopt);
    EXPECT_EQ(key->ReadBinary("text"), std::nullopt);
    EXPECT_EQ(key->ReadString("number"), std::nullopt);
    EXPECT_EQ(key->ReadBinary("number"), std::nullopt);
    EXPECT_EQ(key->ReadInteger("bytes"), std::nullopt);
    EXPECT_EQ(key->ReadString("bytes"), std::nullopt);
    EXPECT_EQ(key->ReadString("missing"), std::nullopt);
    // Overwriting with another type changes the type.
    ASSERT_TRUE(key->WriteInteger("text", 5));
    EXPECT_EQ(key->ReadInteger("text"), 5u);
    EXPECT_EQ(key->ReadString("text"), std::nullopt);
}

TEST(Registry, KeysAreFoundWithoutRegardToCaseAndListedInCreationOrder) {
    TempDir dir;
    {
        Registry registry(dir.path());
        for (const char* path :
             {"Root\\Beta", "ROOT\\alpha", "root\\Gamma\\Inner", "Root\\BETA\\x"})
            ASSERT_TRUE(registry.OpenKey(Hive::CurrentUser, path, true)) << path;
        EXPECT_FALSE(registry.OpenKey(Hive::CurrentUser, "Root\\Delta"));
        EXPECT_FALSE(registry.OpenKey(Hive::CurrentUser, "Root\\\\Beta", true));
        EXPECT_FALSE(registry.OpenKey(Hive::CurrentUser, "Root\\Be\nta", true));
    }
    Registry reread(dir.path());
    auto root = reread.OpenKey(Hive::CurrentUser, "rOOT");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->SubkeyNames(), (std::vector<std::string>{"Beta", "alpha", "Gamma"}));
    auto top = reread.OpenKey(Hive::CurrentUser, "");
    ASSERT_TRUE(top);
    EXPECT_EQ(top->SubkeyNames(), std::vector<std::string>{"Root"});
}

TEST(Registry, UnreadableFileIsReportedWithItsLineAndNeverOverwritten) {
    struct Row {
        const char* label;
        std::string text;
        int line;
    };
    const std::vector<Row> rows = {
        {"no header", "[HKEY_CURRENT_USER\\A]\r\n", 1},
        {"unterminated string", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"open\r\n", 4},
        {"bad dword", "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"ok\"=dword:1\r\n\"x\"=dword:12g\r\n",
         4},
        {"bad byte", "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=hex:01,,02\r\n", 3},
        {"other hive", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n", 2},
        {"value before key", "REGEDIT4\r\n\"x\"=dword:1\r\n", 2},
        {"key deletion", "REGEDIT4\r\n[-HKEY_CURRENT_USER\\A]\r\n", 2},
        {"torn hex list", "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=hex:01,\\\r\n", 3},
        {"stray text", "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\ngarbage\r\n", 3},
    };
    for (const Row& row : rows) {
        TempDir dir;
        WriteFileBytes(UserHive(dir), row.text);
        Registry registry(dir.path());
        const auto error = registry.LoadError(Hive::CurrentUser);
        ASSERT_TRUE(error) << row.label;
        EXPECT_NE(error->find("HKEY_CURRENT_USER.reg:" + std::to_string(row.line) + ": "),
                  std::string::npos)
            << row.label << ": " << *error;
        EXPECT_FALSE(registry.OpenKey(Hive::CurrentUser, "A")) << row.label;
        EXPECT_FALSE(registry.OpenKey(Hive::CurrentUser, "B", true)) << row.label;
        EXPECT_EQ(ReadFileBytes(UserHive(dir)), row.text) << row.label;
        // The other hive is unaffected.
        EXPECT_EQ(registry.LoadError(Hive::LocalMachine), std::nullopt);
        EXPECT_TRUE(registry.OpenKey(Hive::LocalMachine, "B", true)) << row.label;
    }
}

// Regression: a hive file of 0 bytes (cut short by a crash) was taken for no
// settings, without a word, and the first write replaced it; a FIFO in its
// place hung the program before any window.
TEST(Registry, AnEmptyFileOrOneThatIsNoRegularFileIsReportedAndKept) {
    const struct {
        const char* label;
        bool fifo;
        std::string error;
    } rows[] = {
        {"0 bytes", false, "cannot be read: it is empty, as a file cut short is"},
        {"a FIFO", true, "cannot be read: not a regular file"},
    };
    for (const auto& row : rows) {
        TempDir dir;
        if (row.fifo) {
            ASSERT_EQ(::mkfifo(UserHive(dir).c_str(), 0600), 0);
        } else {
            WriteFileBytes(UserHive(dir), "");
        }
        Registry registry(dir.path());
        const auto error = registry.LoadError(Hive::CurrentUser);
        ASSERT_TRUE(error) << row.label;
        EXPECT_EQ(*error, UserHive(dir).string() + ": " + row.error) << row.label;
        EXPECT_FALSE(registry.OpenKey(Hive::CurrentUser, "A", true)) << row.label;
        if (row.fifo) {
            EXPECT_TRUE(std::filesystem::is_fifo(UserHive(dir))) << row.label;
        } else {
            EXPECT_EQ(std::filesystem::file_size(UserHive(dir)), 0u) << row.label;
        }
    }
}

TEST(Registry, FileSpoiledAfterLoadingIsNotOverwrittenByAWrite) {
    TempDir dir;
    Registry registry(dir.path());
    auto key = registry.OpenKey(Hive::CurrentUser, "A", true);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->WriteInteger("before", 1));
    const std::string spoiled = "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:\r\n";
    WriteFileBytes(UserHive(dir), spoiled);
    EXPECT_FALSE(key->WriteInteger("after", 2));
    EXPECT_EQ(ReadFileBytes(UserHive(dir)), spoiled);
    ASSERT_TRUE(registry.LoadError(Hive::CurrentUser));
    EXPECT_EQ(key->ReadInteger("before"), std::nullopt) << "reads see an empty hive";

    // Once the file is mended, writes go through again.
    WriteFileBytes(UserHive(dir), "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:5\r\n");
    EXPECT_TRUE(key->WriteInteger("after", 2));
    EXPECT_EQ(registry.LoadError(Hive::CurrentUser), std::nullopt);
    EXPECT_EQ(key->ReadInteger("x"), 5u);
}

TEST(Registry, TwoInstancesOnOneFolderKeepEachOthersValues) {
    TempDir dir;
    Registry first(dir.path());
    Registry second(dir.path());
    auto a = first.OpenKey(Hive::CurrentUser, "Shared", true);
    auto b = second.OpenKey(Hive::CurrentUser, "Shared", true);
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(a->WriteInteger("from first", 1));
    ASSERT_TRUE(b->WriteString("from second", "2"));  // `second` never loaded the first's value
    ASSERT_TRUE(a->WriteInteger("first again", 3));

    EXPECT_EQ(a->ReadString("from second"), "2") << "a write re-reads the hive";
    second.Reload();
    EXPECT_EQ(b->ReadInteger("first again"), 3u);
    Registry third(dir.path());
    auto c = third.OpenKey(Hive::CurrentUser, "Shared");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->ReadInteger("from first"), 1u);
    EXPECT_EQ(c->ReadString("from second"), "2");
    EXPECT_EQ(c->ReadInteger("first again"), 3u);
}

TEST(Registry, ConcurrentWritersThroughSeparateInstancesLoseNothing) {
    TempDir dir;
    constexpr int kWriters = 3;
    constexpr int kValuesEach = 40;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&dir, w] {
            Registry registry(dir.path());
            auto key = registry.OpenKey(Hive::CurrentUser, "Busy\\W" + std::to_string(w), true);
            if (!key) return;
            for (int i = 0; i < kValuesEach; ++i)
                (void)key->WriteInteger("v" + std::to_string(i), static_cast<std::uint32_t>(i));
        });
    }
    for (auto& writer : writers) writer.join();
    Registry registry(dir.path());
    ASSERT_EQ(registry.LoadError(Hive::CurrentUser), std::nullopt);
    for (int w = 0; w < kWriters; ++w) {
        auto key = registry.OpenKey(Hive::CurrentUser, "Busy\\W" + std::to_string(w));
        ASSERT_TRUE(key) << w;
        for (int i = 0; i < kValuesEach; ++i)
            EXPECT_EQ(key->ReadInteger("v" + std::to_string(i)), static_cast<std::uint32_t>(i))
                << "writer " << w << " value " << i;
    }
}

TEST(Registry, BatchWritesOnceAndMergesWithWritesMadeMeanwhile) {
    TempDir dir;
    Registry registry(dir.path());
    Registry other(dir.path());
    {
        RegistryBatch batch = registry.BeginBatch(Hive::CurrentUser);
        auto key = registry.OpenKey(Hive::CurrentUser, "Batch\\Inner", true);
        ASSERT_TRUE(key);
        EXPECT_TRUE(key->WriteInteger("a", 1));
        EXPECT_TRUE(key->WriteString("b", "two"));
        EXPECT_EQ(key->ReadInteger("a"), 1u) << "held-back writes are read back";
        EXPECT_FALSE(std::filesystem::exists(UserHive(dir))) << "nothing written yet";

        auto meanwhile = other.OpenKey(Hive::CurrentUser, "Batch", true);
        ASSERT_TRUE(meanwhile);
        ASSERT_TRUE(meanwhile->WriteInteger("c", 3));
        EXPECT_TRUE(batch.Commit());
    }
    Registry reread(dir.path());
    auto inner = reread.OpenKey(Hive::CurrentUser, "Batch\\Inner");
    auto outer = reread.OpenKey(Hive::CurrentUser, "Batch");
    ASSERT_TRUE(inner && outer);
    EXPECT_EQ(inner->ReadInteger("a"), 1u);
    EXPECT_EQ(inner->ReadString("b"), "two");
    EXPECT_EQ(outer->ReadInteger("c"), 3u);

    // Alone on the file, the batch is stored too.
    {
        RegistryBatch alone = registry.BeginBatch(Hive::CurrentUser);
        ASSERT_TRUE(registry.OpenKey(Hive::CurrentUser, "Batch", true)->WriteInteger("e", 5));
    }
    EXPECT_EQ(Registry(dir.path()).OpenKey(Hive::CurrentUser, "Batch")->ReadInteger("e"), 5u);

    // A hive spoiled before the batch ends is left alone and the batch fails.
    const std::string spoiled = "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:\r\n";
    RegistryBatch batch = registry.BeginBatch(Hive::CurrentUser);
    auto key = registry.OpenKey(Hive::CurrentUser, "Batch", true);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->WriteInteger("d", 4));
    WriteFileBytes(UserHive(dir), spoiled);
    EXPECT_FALSE(batch.Commit());
    EXPECT_EQ(ReadFileBytes(UserHive(dir)), spoiled);
}

TEST(Registry, DefaultFolderFollowsTheEnvironment) {
    struct Row {
        const char* label;
        std::optional<std::string> registryDir, configHome, home;
        std::filesystem::path expected;
    };
    const std::vector<Row> rows = {
        {"explicit folder", "/r/dir", "/cfg", "/home/u", "/r/dir"},
        {"xdg config", std::nullopt, "/cfg", "/home/u", "/cfg/vellumkit"},
        {"empty variables are unset", "", "", "/home/u", "/home/u/.config/vellumkit"},
        {"relative xdg config is ignored", std::nullopt, "cfg", "/home/u",
         "/home/u/.config/vellumkit"},
    };
    for (const Row& row : rows) {
        ScopedEnv registryDir("VELLUMKIT_REGISTRY_DIR", row.registryDir);
        ScopedEnv configHome("XDG_CONFIG_HOME", row.configHome);
        ScopedEnv home("HOME", row.home);
        EXPECT_EQ(Registry::DefaultFolder(), row.expected) << row.label;
    }
}

}  // namespace
}  // namespace vk
