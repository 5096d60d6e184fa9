#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "cli_runner.h"
#include "platform/registry.h"
#include "settings/font.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace vk::test {
namespace {

// A registry of its own for each test, in a temp folder the tool also reads.
class CliFilesTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedEnv registryDir{"VELLUMKIT_REGISTRY_DIR", (dir.path() / "registry").string()};

    std::string Write(const std::string& name, const std::string& bytes) {
        const auto path = dir.path() / name;
        WriteFileBytes(path, bytes);
        return path.string();
    }
};

std::string Hex(uLong crc) {
    char text[9];
    std::snprintf(text, sizeof text, "%08lx", crc);
    return text;
}

uLong Zlib(std::string_view bytes) {
    return crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
}

TEST_F(CliFilesTest, ChecksumCoversTheCanonicalText) {
    const struct {
        const char* name;
        std::string file;
        std::string canonical;
    } cases[] = {
        {"empty file", "", ""},
        {"final line end", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"no final line end", "a\r\nb", "a\r\nb\r\n"},
        {"blank last line", "a\r\n\r\n", "a\r\n\r\n"},
        {"high bytes kept", "x = \"\x80\xe9\"", "x = \"\x80\xe9\"\r\n"},
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli({"checksum", Write("script.vbs", c.file)});
        EXPECT_EQ(r.exitCode, 0) << c.name << r.err;
        EXPECT_EQ(r.out, Hex(Zlib(c.canonical)) + "\n") << c.name;
    }
    const CliResult missing = RunCli({"checksum", (dir.path() / "none.vbs").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Cannot read"), std::string::npos) << missing.err;
}

TEST_F(CliFilesTest, ColourWritesTheRtfWithTheRegistryFonts) {
    {
        Registry registry(dir.path() / "registry");
        auto editor =
            registry.OpenKey(Hive::CurrentUser, std::string(kProgramKey) + "\\Editor", true);
        ASSERT_TRUE(editor);
        ASSERT_TRUE(editor->WriteString("Font name", "Arial"));
        ASSERT_TRUE(editor->WriteInteger("Font size", 12));
        TFont keyword;
        keyword.color = 0xFF0000;  // colour table entry 12
        keyword.style = kBold;
        SaveTokenStyle(registry, "Keyword", keyword);
    }
    const CliResult r = RunCli({"colour", "--rtf", Write("s.vbs", "Dim x")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0 Arial;}}\r\n"
              "{\\colortbl\\red0\\green0\\blue0;\\red128\\green0\\blue0;\\red0\\green128\\blue0;"
              "\\red128\\green128\\blue0;\\red0\\green0\\blue128;\\red128\\green0\\blue128;"
              "\\red0\\green128\\blue128;\\red128\\green128\\blue128;"
              "\\red192\\green192\\blue192;\\red255\\green0\\blue0;\\red0\\green255\\blue0;"
              "\\red255\\green255\\blue0;\\red0\\green0\\blue255;\\red255\\green0\\blue255;"
              "\\red0\\green255\\blue255;\\red255\\green255\\blue255;}\r\n"
              "\\deflang1033\\pard\\plain\\f0\\fs20 "
              "{\\f0\\fs24\\cf12 \\b Dim}{\\f0\\fs24\\cf  }{\\f0\\fs24\\cf x}\r\n\\par }");
    EXPECT_EQ(r.err, "");
}

TEST_F(CliFilesTest, ColourForATerminalUsesTheClassColoursAndStaysPlainWhenPiped) {
    {
        Registry registry(dir.path() / "registry");
        TFont keyword;
        keyword.color = 0xFF8000;  // blue 255, green 128, red 0
        keyword.style = kBold;
        SaveTokenStyle(registry, "Keyword", keyword);
        TFont comment;
        comment.color = 0x008000;
        comment.style = kItalic;
        SaveTokenStyle(registry, "Comment", comment);
    }
    const std::string script = "Dim x ' note\r\n";
    const std::string file = Write("s.vbs", script);
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {"forced colour",
         {"colour", "--colour", file},
         "\x1b[1;38;2;0;128;255mDim\x1b[0m x \x1b[3;38;2;0;128;0m' note\x1b[0m\r\n"},
        {"piped", {"colour", file}, script},
        {"no colour", {"colour", "--no-colour", file}, script},
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, 0) << c.name << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.name;
    }
}

TEST_F(CliFilesTest, DatabasesListsTheRegistryDirectory) {
    {
        Registry registry(dir.path() / "registry");
        const auto add = [&](Hive hive, const std::string& path, const std::string& name) {
            auto key = registry.OpenKey(hive, "Software\\Commence\\Databases\\" + path, true);
            ASSERT_TRUE(key);
            ASSERT_TRUE(key->WriteString("Name", name));
        };
        add(Hive::CurrentUser, "Local\\One", "Demo Sales");
        add(Hive::CurrentUser, "Local\\Two", "Field Service");
        add(Hive::LocalMachine, "Shared\\Three", "Archive");
    }
    const CliResult r = RunCli({"databases"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Demo Sales\nField Service\nArchive\n");
}

// Regression: an endless input was once read until memory ran out (outline
// and colour --rtf still did, at 4.2 GB after 34 s).
TEST_F(CliFilesTest, AScriptPastTheLimitIsRefusedBeforeItIsReadWhole) {
    for (const char* command : {"checksum", "checkin", "outline", "colour"}) {
        std::vector<std::string> args{command};
        if (std::string_view(command) == "checkin") args.insert(args.end(), {"Db", "Cat", "Form"});
        if (std::string_view(command) == "colour") args.push_back("--rtf");
        args.push_back("/dev/zero");
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_NE(r.err.find("larger than the 64 MiB a script may have"), std::string::npos)
            << command << ": " << r.err;
    }
}

#ifndef _WIN32
// A registry file that cannot be read stops every command that reads the
// registry, naming the file and what is wrong; the file is kept as it is.
// (Windows keeps the settings in its own registry, not in files.)
TEST_F(CliFilesTest, UnreadableRegistryFileIsNamedAndKept) {
    const auto registry = dir.path() / "registry";
    std::filesystem::create_directories(registry);
    const auto userHive = registry / "HKEY_CURRENT_USER.reg";
    const std::string spoiled = "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:12g\r\n";
    WriteFileBytes(userHive, spoiled);
    const std::string script = Write("script.vbs", "Sub Form_OnLoad()\r\nEnd Sub\r\n");
    const std::vector<std::vector<std::string>> commands = {
        {"databases"},
        {"forms", "Demo Sales", "Account"},
        {"checkout", "Demo Sales", "Account", "Account", "-o", (dir.path() / "out.vbs").string()},
        {"checkin", "Demo Sales", "Account", "Account", script},
        {"colour", "--rtf", script},
    };
    for (const auto& args : commands) {
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 1) << args[0];
        EXPECT_EQ(r.out, "") << args[0];
        EXPECT_NE(r.err.find(userHive.string() + ":3: "), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadFileBytes(userHive), spoiled);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.vbs"));
    EXPECT_EQ(RunCli({"checksum", script}).exitCode, 0) << "reads no registry";
    EXPECT_EQ(RunCli({"outline", script}).exitCode, 0) << "reads no registry";

    // A file that cannot be read at all is named with the reason too.
    std::filesystem::remove(userHive);
    std::filesystem::create_directory(userHive);
    const CliResult r = RunCli({"databases"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(userHive.string() + ": cannot be read: Is a directory"), std::string::npos)
        << r.err;
}
#endif

}  // namespace
}  // namespace vk::test
