#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace vk {
namespace {

TEST(IniFile, FindsValuesAsTheWindowsReaderDoes) {
    const IniFile ini(
        "\xEF\xBB\xBF; Commence database\r\n"
        "[General]\r\n"
        "Name=Sales\r\n"
        "Version=wrong section\r\n"
        "[ OtherOptions ]\r\n"
        "  Version =  3.0  \r\n"
        "Version=second one\r\n"
        "Path=\"C:\\Data\\Sales\"\r\n"
        "Quoted='a'b'\r\n"
        "Half=\"open\r\n"
        "Empty=\r\n"
        "no equals sign here\r\n"
        "Key=a=b\n"
        "[otheroptions]\n"
        "Late=found\n"
        "Caf\xE9=\xE9t\xE9\n");
    struct Row {
        const char* label;
        const char* section;
        const char* key;
        std::optional<std::string> value;
    };
    const std::vector<Row> rows = {
        {"trimmed, first match wins", "OtherOptions", "Version", "3.0"},
        {"any case", "OTHEROPTIONS", "version", "3.0"},
        {"other section", "General", "Version", "wrong section"},
        {"quotes stripped", "OtherOptions", "Path", "C:\\Data\\Sales"},
        {"outer quotes only", "OtherOptions", "Quoted", "a'b"},
        {"unmatched quote kept", "OtherOptions", "Half", "\"open"},
        {"empty value", "OtherOptions", "Empty", ""},
        {"value holding =", "OtherOptions", "Key", "a=b"},
        {"repeated section", "OtherOptions", "Late", "found"},
        {"windows-1252 bytes", "OtherOptions", "Caf\xE9", "\xE9t\xE9"},
        {"missing key", "OtherOptions", "Name", std::nullopt},
        {"missing section", "Nowhere", "Version", std::nullopt},
        {"comment is no key", "General", "; Commence database", std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(ini.Value(row.section, row.key), row.value) << row.label;
}

TEST(IniFile, ReadsAFileAndReportsAMissingOne) {
    test::TempDir dir;
    const auto file = dir.path() / "data.ini";
    test::WriteFileBytes(file, "[OtherOptions]\nVersion=4.1\n");
    EXPECT_EQ(ReadIniString(file, "OtherOptions", "Version"), "4.1");
    EXPECT_EQ(ReadIniString(dir.path() / "none.ini", "OtherOptions", "Version"), std::nullopt);
    EXPECT_FALSE(IniFile::Read(dir.path() / "none.ini"));
}

}  // namespace
}  // namespace vk
