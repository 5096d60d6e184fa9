// The mapping between Commence names and the files of a pulled folder, and
// the manifest that records them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "script_file_names.h"
#include "script_manifest.h"

namespace vk::cli {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return text;
}

TEST(ScriptFileNamesTest, NamesBecomeSafeFileNamesAndReadBack) {
    const struct {
        const char* label;
        std::string name;
        std::string file;
    } cases[] = {
        {"plain", "Account", "Account"},
        {"blanks and marks inside", "Account (Short), v1.2", "Account (Short), v1.2"},
        {"blanks at both ends", " Notes ", "%20Notes%20"},
        {"double quotes", "Quote \"Express\"", "Quote %22Express%22"},
        {"single quote kept", "Dana's", "Dana's"},
        {"slash and backslash", "A/B\\C", "A%2FB%5CC"},
        {"dot", ".", "%2E"},
        {"dot dot", "..", "%2E%2E"},
        {"leading dot", ".hidden", "%2Ehidden"},
        {"trailing dot", "end.", "end%2E"},
        {"characters Windows refuses", "a<b>c:d|e?f*", "a%3Cb%3Ec%3Ad%7Ce%3Ff%2A"},
        {"percent and tilde", "100% ~ok", "100%25 %7Eok"},
        {"control characters", "a\tb\r\n", "a%09b%0D%0A"},
        {"Windows-1252 letters", "Caf\xE9", "Caf%E9"},
        {"reserved device name", "CON", "%43ON"},
        {"reserved name in lower case, before a dot", "nul.txt", "%6Eul.txt"},
        {"reserved name before blanks", "aux  .x", "%61ux  .x"},
        {"numbered device", "com1", "%63om1"},
        {"longer names are not devices", "Console", "Console"},
        {"two digits are not a device", "LPT10", "LPT10"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeName(c.name), c.file) << c.label;
        EXPECT_EQ(DecodeName(c.file), c.name) << c.label;
    }
}

TEST(ScriptFileNamesTest, CaseTwinsGetDistinctFilesOnACaseBlindFileSystem) {
    const std::vector<std::string> names = {"Notes", "NOTES", "notes", "Other", "A/b", "a/B"};
    const std::vector<std::string> files = EncodeNames(names);
    EXPECT_EQ(files, (std::vector<std::string>{"Notes~1", "NOTES~f1", "notes~0", "Other", "A%2Fb~1",
                                               "a%2FB~2"}));
    std::set<std::string> folded;
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_TRUE(folded.insert(Lower(files[i])).second) << files[i] << " clashes";
        EXPECT_EQ(DecodeName(files[i]), names[i]) << files[i];
    }
    EXPECT_EQ(EncodeNames({"Notes", "Notes"}), (std::vector<std::string>{"Notes", "Notes"}))
        << "a repeated name is not its own twin";
}

TEST(ScriptFileNamesTest, FileNamesNoNameMapsToAreNotRead) {
    const struct {
        const char* label;
        std::string file;
    } cases[] = {
        {"empty", ""},
        {"escape cut short", "a%2"},
        {"escape not hexadecimal", "a%zz"},
        {"escape in lower case", "a%2f"},
        {"escaped byte that needs none", "%41ccount"},
        {"separator left bare", "a/b"},
        {"bare dot dot", ".."},
        {"bare device name", "CON"},
        {"case suffix that does not fit", "Notes~2"},
        {"case suffix not hexadecimal", "Notes~x"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeName(c.file), std::nullopt) << c.label;
}

TEST(ScriptManifestTest, KeepsNamesChecksumsAndSizes) {
    Manifest manifest{"Demo Sales", {}};
    manifest.Set({"Caf\xE9", "Quote \"X\"", "Caf%E9/Quote %22X%22.vbs", PrintOf("Dim a\r\n")});
    manifest.Set({"Account", "Account", "Account/Account.vbs", PrintOf(std::string("a\0b", 3))});
    manifest.Set({"Account", "Account", "Account/Account.vbs", PrintOf("new")});
    ASSERT_EQ(manifest.entries.size(), 2u) << "Set replaces the entry of the same script";

    std::string why;
    const auto back = ParseManifest(FormatManifest(manifest), &why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(back->database, "Demo Sales");
    ASSERT_EQ(back->entries.size(), 2u);
    const ManifestEntry* cafe = back->Find("Caf\xE9", "Quote \"X\"");
    ASSERT_NE(cafe, nullptr);
    EXPECT_EQ(cafe->file, "Caf%E9/Quote %22X%22.vbs");
    EXPECT_EQ(cafe->print, PrintOf("Dim a\r\n"));
    EXPECT_EQ(back->Find("Account", "Account")->print, PrintOf("new"));
    EXPECT_NE(PrintOf(std::string("a\0b", 3)), PrintOf(std::string("a\0c", 3)))
        << "a change after a NUL byte still shows";
    EXPECT_EQ(PrintOf("123456789").checksum, 0xcbf43926u);
}

TEST(ScriptManifestTest, ManifestsThatPointOutsideTheFolderAreRefused) {
    const auto manifestWith = [](const std::string& file, const std::string& checksum) {
        return R"({"version": 1, "database": "D", "scripts": [{"category": "C", "form": "F",
                  "file": ")" +
               file + R"(", "checksum": ")" + checksum + R"(", "size": 3}]})";
    };
    ASSERT_TRUE(ParseManifest(manifestWith("C/F.vbs", "0000001a"), nullptr));
    const struct {
        const char* label;
        std::string text;
    } cases[] = {
        {"parent folder", manifestWith("../F.vbs", "0000001a")},
        {"parent inside the path", manifestWith("C/../../F.vbs", "0000001a")},
        {"absolute path", manifestWith("/etc/F.vbs", "0000001a")},
        {"backslash", manifestWith("C\\\\F.vbs", "0000001a")},
        {"drive", manifestWith("C:F.vbs", "0000001a")},
        {"data stream", manifestWith("C/F.vbs:hidden", "0000001a")},
        {"checksum too short", manifestWith("C/F.vbs", "1a")},
        {"not JSON", "{"},
        {"unknown version", R"({"version": 9, "database": "D", "scripts": []})"},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_FALSE(ParseManifest(c.text, &why)) << c.label;
        EXPECT_FALSE(why.empty()) << c.label;
    }
}

// Regression: a version of "1", [1] or null ended in a raw library error,
// 3.3e20 in an undefined conversion, and true, 1.0 and 4294967297 were taken
// as version 1; two entries on one file, or swapped files, stored scripts
// into the wrong forms.
TEST(ScriptManifestTest, AManifestIsCheckedWholeAndTheEntryNamed) {
    const auto entry = [](const std::string& form, const std::string& file,
                          const std::string& size = "3") {
        return R"({"category": "C", "form": ")" + form + R"(", "file": ")" + file +
               R"(", "checksum": "0000001a", "size": )" + size + "}";
    };
    const auto manifest = [](const std::string& version, const std::string& scripts) {
        return R"({"version": )" + version + R"(, "database": "D", "scripts": [)" + scripts + "]}";
    };
    const std::string one = entry("F", "C/F.vbs");
    ASSERT_TRUE(ParseManifest(manifest("1", one), nullptr));
    const struct {
        const char* label;
        std::string text;
        std::string why;
    } cases[] = {
        {"version as text", manifest("\"1\"", one), "an unknown version"},
        {"version as a list", manifest("[1]", one), "an unknown version"},
        {"version null", manifest("null", one), "an unknown version"},
        {"version beyond any integer", manifest("3.3e20", one), "an unknown version"},
        {"version true", manifest("true", one), "an unknown version"},
        {"version 1.0", manifest("1.0", one), "an unknown version"},
        {"version that wraps round to 1", manifest("4294967297", one), "an unknown version"},
        {"size beyond any integer", manifest("1", entry("F", "C/F.vbs", "3.3e20")),
         "the script entry 1 (\"C\", \"F\") has a size that is no whole number"},
        {"size below zero", manifest("1", entry("F", "C/F.vbs", "-1")), "has a size"},
        {"size true", manifest("1", entry("F", "C/F.vbs", "true")), "has a size"},
        {"size past any script", manifest("1", entry("F", "C/F.vbs", "67108865")), "has a size"},
        {"no form", manifest("1", entry("", "C/F.vbs")), "the script entry 1 has no \"form\""},
        {"one form twice", manifest("1", one + "," + one),
         "the script entry 2 (\"C\", \"F\") names the same form as entry 1"},
        {"two forms on one file", manifest("1", one + "," + entry("G", "C/F.vbs")),
         "the script entry 2 (\"C\", \"G\") names the same file as entry 1"},
        {"two files that differ only in case", manifest("1", one + "," + entry("G", "c/f.vbs")),
         "names the same file as entry 1"},
        {"swapped files", manifest("1", entry("F", "C/G.vbs") + "," + entry("G", "C/F.vbs")),
         "the script entry 1 (\"C\", \"F\") names the file \"C/G.vbs\", which is not the file "
         "of its form"},
        {"a file beside the category folder", manifest("1", entry("F", "F.vbs")),
         "not the file of its form"},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_FALSE(ParseManifest(c.text, &why)) << c.label;
        EXPECT_NE(why.find(c.why), std::string::npos) << c.label << ": " << why;
    }
}

}  // namespace
}  // namespace vk::cli
