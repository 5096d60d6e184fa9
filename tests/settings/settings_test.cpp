#include "settings/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <tuple>

#include "platform/registry.h"
#include "support/test_support.h"

namespace vk {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

const std::string kEditor = std::string(kProgramKey) + "\\Editor";
const std::string kCodeBrowser = std::string(kProgramKey) + "\\Code Browser";
const std::string kFilterBuilder = std::string(kProgramKey) + "\\Filter Builder";
const std::string kSyntaxHelp = std::string(kProgramKey) + "\\Help Files\\Syntax Help";
const std::string kColors = std::string(kProgramKey) + "\\Color Settings";

const std::string kCustom(kHelpFileNames[0]);
const std::string kVbs31(kHelpFileNames[1]);
const std::string kWs50(kHelpFileNames[2]);
const std::string kWs55(kHelpFileNames[3]);
const std::string kWs56(kHelpFileNames[4]);

std::string HelpKey(const std::string& name) { return kSyntaxHelp + "\\" + name; }

// Every field, so that two settings objects compare in one assertion.
auto Fields(const TSettings& s) {
    return std::tie(s.applyTimeTag, s.applyIdTag, s.applyChecksumTag, s.validateObjects,
                    s.validateApi, s.memoryBuffer, s.displayStatus, s.gutterWidth, s.tabWidth,
                    s.indentStyle, s.lineNumbers, s.keepIndentation, s.noDdeCheck,
                    s.codeBrowserDisabled, s.jumpTo, s.jumpOffset, s.customIcons, s.iconCode,
                    s.iconNoCode, s.iconNoEnd, s.linkCategory, s.quoteStyle,
                    s.historyVersionsPerForm, s.historyMegabytes, s.recoverySeconds,
                    s.syntaxHelpEnabled, s.helpFiles);
}

// A registry in a temp folder with shorthand writers for setting up cases.
struct Store {
    RegistryKey Key(const std::string& path) {
        auto key = registry.OpenKey(Hive::CurrentUser, path, true);
        if (!key) throw std::runtime_error("cannot create " + path);
        return *key;
    }
    void Integer(const std::string& path, std::string_view name, std::uint32_t value) {
        ASSERT_TRUE(Key(path).WriteInteger(name, value));
    }
    void String(const std::string& path, std::string_view name, std::string_view value) {
        ASSERT_TRUE(Key(path).WriteString(name, value));
    }
    void Help(const std::string& name, std::optional<std::uint32_t> order,
              std::optional<std::uint32_t> enabled) {
        Key(HelpKey(name));
        if (order) Integer(HelpKey(name), "Order", *order);
        if (enabled) Integer(HelpKey(name), "Enabled", *enabled);
    }

    TempDir dir;
    Registry registry{dir.path()};
};

class SettingsTest : public ::testing::Test, protected Store {};

std::vector<HelpFile> List(std::initializer_list<std::pair<std::string, bool>> entries) {
    std::vector<HelpFile> list;
    for (const auto& [name, enabled] : entries) list.push_back(HelpFile{name, enabled});
    return list;
}

struct LoadCase {
    const char* label;
    std::function<void(Store&)> setUp;
    std::function<void(const TSettings&)> check;
};

TEST(SettingsLoadTable, EachCaseLoadsAsExpected) {
    const std::vector<LoadCase> cases = {
        {"fresh user", [](Store&) {},
         [](const TSettings& s) {
             EXPECT_FALSE(s.applyTimeTag || s.applyIdTag || s.applyChecksumTag ||
                          s.validateObjects || s.validateApi || s.noDdeCheck ||
                          s.codeBrowserDisabled || s.lineNumbers || s.keepIndentation);
             EXPECT_EQ(s.memoryBuffer, 128);
             EXPECT_TRUE(s.displayStatus);
             EXPECT_EQ(s.gutterWidth, 0);
             EXPECT_EQ(s.tabWidth, 3);
             EXPECT_EQ(s.indentStyle, 0);
             EXPECT_EQ(s.jumpTo, 0);
             EXPECT_EQ(s.jumpOffset, 0);
             EXPECT_EQ(s.customIcons, "");
             EXPECT_EQ(std::tie(s.iconCode, s.iconNoCode, s.iconNoEnd), std::make_tuple(1, 8, 13));
             EXPECT_TRUE(s.linkCategory);
             EXPECT_EQ(s.quoteStyle, 0);
             EXPECT_EQ(std::tie(s.historyVersionsPerForm, s.historyMegabytes, s.recoverySeconds),
                       std::make_tuple(200, 100, 30));
             EXPECT_TRUE(s.syntaxHelpEnabled);
             EXPECT_EQ(s.helpFiles, List({{kWs56, true},
                                          {kWs55, false},
                                          {kWs50, false},
                                          {kVbs31, false},
                                          {kCustom, false}}));
         }},
        {"code browser key holding only Disable",
         [](Store& t) { t.Integer(kCodeBrowser, "Disable", 1); },
         [](const TSettings& s) {
             EXPECT_TRUE(s.codeBrowserDisabled);
             EXPECT_EQ(s.jumpTo, 0);
             EXPECT_EQ(std::tie(s.iconCode, s.iconNoCode, s.iconNoEnd), std::make_tuple(1, 8, 13));
         }},
        {"values of the wrong type keep their defaults, the others still load",
         [](Store& t) {
             t.String(kEditor, "Tab width", "5");
             t.String(kEditor, "Display status", "0");
             ASSERT_TRUE(t.Key(kEditor).WriteBinary("Memory buffer", {1, 0, 0, 0}));
             t.Integer(kEditor, "Gutter width", 12);
             t.Integer(kCodeBrowser, "Custom icons", 4);
             t.String(kCodeBrowser, "Icon code", "2");
             t.Integer(kCodeBrowser, "Icon no end", 20);
             t.String(kFilterBuilder, "Link Category", "0");
         },
         [](const TSettings& s) {
             EXPECT_EQ(s.tabWidth, 3);
             EXPECT_TRUE(s.displayStatus);
             EXPECT_EQ(s.memoryBuffer, 128);
             EXPECT_EQ(s.gutterWidth, 12);
             EXPECT_EQ(s.customIcons, "");
             EXPECT_EQ(std::tie(s.iconCode, s.iconNoCode, s.iconNoEnd), std::make_tuple(1, 8, 20));
             EXPECT_TRUE(s.linkCategory);
         }},
        {"byte settings keep the low byte, integers are signed and then held in range, booleans "
         "are non-zero",
         [](Store& t) {
             t.Integer(kEditor, "Indent style", 0x101);
             t.Integer(kCodeBrowser, "JumpTo", 0x1FF);
             t.Integer(kFilterBuilder, "Quote Style", 0x302);
             t.Integer(kEditor, "Memory buffer", 0xFFFFFFFF);
             t.Integer(kCodeBrowser, "JumpOffset", 0xFFFFFFFE);
             t.Integer(kEditor, "Apply Time Tag", 7);
             t.Integer(kFilterBuilder, "Link Category", 0);
             t.String(kCodeBrowser, "Custom icons", "C:\\icons.bmp");
         },
         [](const TSettings& s) {
             EXPECT_EQ(s.indentStyle, 1);
             EXPECT_EQ(s.jumpTo, 1) << "0xFF held to 0 or 1";
             EXPECT_EQ(s.quoteStyle, 2);
             EXPECT_EQ(s.memoryBuffer, 1) << "-1 held to 1 to 9999";
             EXPECT_EQ(s.jumpOffset, 0) << "-2 held to 0 to 100";
             EXPECT_TRUE(s.applyTimeTag);
             EXPECT_FALSE(s.linkCategory);
             EXPECT_EQ(s.customIcons, "C:\\icons.bmp");
         }},
        {"help order exchanges in table order",
         [](Store& t) {
             t.Integer(kSyntaxHelp, "Disable VBS Help", 0);
             t.Help(kWs56, 0, 1);
             t.Help(kVbs31, 1, 1);
         },
         [](const TSettings& s) {
             EXPECT_TRUE(s.syntaxHelpEnabled);
             EXPECT_EQ(s.helpFiles, List({{kWs56, true},
                                          {kVbs31, true},
                                          {kWs50, false},
                                          {kWs55, false},
                                          {kCustom, false}}));
         }},
        {"a stored full order is restored",
         [](Store& t) {
             t.Integer(kSyntaxHelp, "Disable VBS Help", 0);
             t.Help(kCustom, 0, 1);
             t.Help(kVbs31, 4, 0);
             t.Help(kWs50, 3, 1);
             t.Help(kWs55, 2, 0);
             t.Help(kWs56, 1, 1);
         },
         [](const TSettings& s) {
             EXPECT_EQ(s.helpFiles, List({{kCustom, true},
                                          {kWs56, true},
                                          {kWs55, false},
                                          {kWs50, true},
                                          {kVbs31, false}}));
         }},
        {"an empty Syntax Help key enables nothing",
         [](Store& t) { t.Integer(kSyntaxHelp, "Disable VBS Help", 0); },
         [](const TSettings& s) {
             EXPECT_TRUE(s.syntaxHelpEnabled);
             EXPECT_EQ(s.helpFiles, List({{kWs56, false},
                                          {kWs55, false},
                                          {kWs50, false},
                                          {kVbs31, false},
                                          {kCustom, false}}));
         }},
        {"syntax help switched off still reads the help order and marks",
         [](Store& t) {
             t.Integer(kSyntaxHelp, "Disable VBS Help", 1);
             t.Help(kCustom, 0, 1);
         },
         [](const TSettings& s) {
             EXPECT_FALSE(s.syntaxHelpEnabled);
             EXPECT_EQ(s.helpFiles, List({{kCustom, true},
                                          {kWs55, false},
                                          {kWs50, false},
                                          {kVbs31, false},
                                          {kWs56, false}}));
         }},
        {"broken help subkeys keep their entries and loading goes on",
         [](Store& t) {
             t.Key(kSyntaxHelp);                      // no "Disable VBS Help"
             t.Help(kCustom, 7, 1);                   // order out of range
             t.Help(kVbs31, 0, std::nullopt);         // no "Enabled"
             t.Help(kWs50, std::nullopt, 1);          // no "Order"
             t.String(HelpKey(kWs55), "Order", "0");  // "Order" of the wrong type
             t.Integer(HelpKey(kWs55), "Enabled", 1);
             t.Help(kWs56, 4, 1);
             t.Integer(kEditor, "Tab width", 8);
         },
         [](const TSettings& s) {
             EXPECT_TRUE(s.syntaxHelpEnabled);
             EXPECT_EQ(s.helpFiles, List({{kVbs31, false},
                                          {kWs55, false},
                                          {kWs50, false},
                                          {kCustom, false},
                                          {kWs56, true}}));
             EXPECT_EQ(s.tabWidth, 8);
         }},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.label);
        Store fixture;
        c.setUp(fixture);
        Registry fresh(fixture.dir.path());
        TSettings settings(fresh);
        c.check(settings);
        // Loading again starts over from the defaults and gives the same result.
        const auto before = Fields(settings);
        settings.Load();
        EXPECT_EQ(Fields(settings), before);
    }
}

TEST_F(SettingsTest, SavedSettingsLoadBackUnchanged) {
    TSettings settings(registry);
    settings.applyTimeTag = settings.applyIdTag = settings.applyChecksumTag = true;
    settings.validateObjects = settings.validateApi = settings.noDdeCheck = true;
    settings.memoryBuffer = 512;
    settings.displayStatus = false;  // its default is true
    settings.gutterWidth = 20;
    settings.tabWidth = 4;
    settings.indentStyle = 1;
    settings.lineNumbers = true;
    settings.keepIndentation = true;
    settings.codeBrowserDisabled = true;
    settings.jumpTo = 1;
    settings.jumpOffset = 7;  // held to 0-100 on reading
    settings.customIcons = "my \"icons\"";
    settings.iconCode = 2;
    settings.iconNoCode = 3;
    settings.iconNoEnd = 4;
    settings.linkCategory = false;
    settings.quoteStyle = 2;
    settings.historyVersionsPerForm = 12;
    settings.historyMegabytes = 3;
    settings.recoverySeconds = 5;
    settings.helpFiles =
        List({{kWs50, true}, {kCustom, false}, {kWs56, true}, {kVbs31, false}, {kWs55, true}});
    settings.Save();

    Registry reread(dir.path());
    TSettings loaded(reread);
    EXPECT_EQ(Fields(loaded), Fields(settings));
    EXPECT_FALSE(loaded.displayStatus);

    // Each help subkey records its entry's position and a 0/1 flag.
    for (std::size_t p = 0; p < settings.helpFiles.size(); ++p) {
        auto key = reread.OpenKey(Hive::CurrentUser, HelpKey(settings.helpFiles[p].name));
        ASSERT_TRUE(key) << p;
        EXPECT_EQ(key->ReadInteger("Order"), p);
        EXPECT_EQ(key->ReadInteger("Enabled"), settings.helpFiles[p].enabled ? 1u : 0u);
    }
    // The Code Browser values go out in their saving order.
    const std::string file = ReadFileBytes(dir.path() / "HKEY_CURRENT_USER.reg");
    EXPECT_LT(file.find("\"JumpOffset\""), file.find("\"JumpTo\""));
    EXPECT_LT(file.find("\"Disable\""), file.find("\"JumpOffset\""));

    // Switching help off is stored too.
    loaded.syntaxHelpEnabled = false;
    loaded.Save();
    EXPECT_FALSE(TSettings(reread).syntaxHelpEnabled);
}

TEST_F(SettingsTest, UnreadableHiveRunsOnDefaultsAndIsNotOverwritten) {
    const auto hive = dir.path() / "HKEY_CURRENT_USER.reg";
    const std::string broken =
        "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Thornmere\\Vellumkit\\Editor]\r\n"
        "\"Tab width\"=dword:00000008\r\n\"Gutter width\"=dword:zz\r\n";
    WriteFileBytes(hive, broken);
    Registry spoiled(dir.path());
    TSettings settings(spoiled);
    EXPECT_EQ(settings.tabWidth, 3);
    settings.tabWidth = 5;
    settings.Save();
    SaveTokenStyle(spoiled, "Comment", TFont{});
    EXPECT_EQ(ReadFileBytes(hive), broken);
}

TEST_F(SettingsTest, EditorFontTakesEachPresentValue) {
    struct Row {
        const char* label;
        std::function<void(Store&)> setUp;
        std::string name;
        int size;
    };
    const std::vector<Row> rows = {
        {"no Editor key", [](Store&) {}, "Courier New", 10},
        {"both values",
         [](Store& t) {
             t.String(kEditor, "Font name", "Consolas");
             t.Integer(kEditor, "Font size", 12);
         },
         "Consolas", 12},
        {"empty name and a size only",
         [](Store& t) {
             t.String(kEditor, "Font name", "");
             t.Integer(kEditor, "Font size", 9);
         },
         "Courier New", 9},
        {"unusable sizes",
         [](Store& t) {
             t.String(kEditor, "Font name", "Lucida Console");
             t.Integer(kEditor, "Font size", 0);
         },
         "Lucida Console", 10},
        {"size of the wrong type", [](Store& t) { t.String(kEditor, "Font size", "14"); },
         "Courier New", 10},
    };
    for (const Row& row : rows) {
        Store fixture;
        row.setUp(fixture);
        TFont font;
        font.name = "Arial";
        font.size = 30;
        font.color = 0x123456;
        LoadEditorFont(fixture.registry, font);
        EXPECT_EQ(font.name, row.name) << row.label;
        EXPECT_EQ(font.size, row.size) << row.label;
        EXPECT_EQ(font.color, 0x123456u) << row.label << ": only name and size are set";
    }
}

TEST_F(SettingsTest, TokenStyleIsAFiveByteLittleEndianRecord) {
    TFont font;
    EXPECT_FALSE(LoadTokenStyle(registry, "Comment", font)) << "no Color Settings key";
    EXPECT_EQ(font.color, kWindowTextColor);

    TFont styled;
    styled.color = 0x00123456;
    styled.style = kBold | kItalic;
    SaveTokenStyle(registry, "Keyword", styled);
    auto key = registry.OpenKey(Hive::CurrentUser, kColors);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadBinary("Keyword"), (std::vector<std::uint8_t>{0x56, 0x34, 0x12, 0x00, 3}));

    struct Row {
        const char* label;
        std::string className;
        std::optional<std::vector<std::uint8_t>> record;
        std::uint32_t color;
        std::uint8_t style;
    };
    const std::vector<Row> rows = {
        {"saved record", "Keyword", std::nullopt, 0x00123456, kBold | kItalic},
        {"system colour", "Number", std::vector<std::uint8_t>{0x05, 0, 0, 0xFF, 0}, 0xFF000005, 0},
        {"no value for the class", "String", std::nullopt, kWindowTextColor, 0},
        {"record too short", "Symbol", std::vector<std::uint8_t>{1, 2, 3, 4}, kWindowTextColor, 0},
        {"record too long", "Directive", std::vector<std::uint8_t>{1, 2, 3, 4, 1, 0},
         kWindowTextColor, 0},
    };
    for (const Row& row : rows) {
        if (row.record) {
            ASSERT_TRUE(key->WriteBinary(row.className, *row.record)) << row.label;
        }
        TFont loaded;
        loaded.color = 0x999999;
        loaded.style = kStrikeOut;
        EXPECT_TRUE(LoadTokenStyle(registry, row.className, loaded)) << row.label;
        EXPECT_EQ(loaded.color, row.color) << row.label;
        EXPECT_EQ(loaded.style, row.style) << row.label;
    }
}

// Regression: stored values of 0x7fffffff aborted the sanitizer build (font
// size) or left the text blank (gutter), and a 10 MB font name cost 585 MB.
// Each is held in range on reading and said once; the registry keeps what
// it holds until the configuration dialog's OK.
TEST_F(SettingsTest, HostileValuesAreHeldInRangeReportedAndNotWrittenBack) {
    Integer(kEditor, "Gutter width", 0x7fffffff);
    Integer(kEditor, "Tab width", 0);
    Integer(kEditor, "Memory buffer", 0x80000000);
    Integer(kCodeBrowser, "JumpOffset", 0x7fffffff);
    Integer(kFilterBuilder, "Quote Style", 9);
    String(kCodeBrowser, "Custom icons", std::string(5000, 'i'));
    Integer(kEditor, "Font size", 0x7fffffff);
    String(kEditor, "Font name", std::string(10 << 20, 'F'));
    const auto hive = dir.path() / "HKEY_CURRENT_USER.reg";
    const std::string stored = ReadFileBytes(hive);

    const TSettings s(registry);
    EXPECT_EQ(s.gutterWidth, 200);
    EXPECT_EQ(s.tabWidth, 1);
    EXPECT_EQ(s.memoryBuffer, 1);
    EXPECT_EQ(s.jumpOffset, 100);
    EXPECT_EQ(s.quoteStyle, 2);
    EXPECT_EQ(s.customIcons, std::string(4096, 'i'));
    EXPECT_EQ(s.clampedValues,
              (std::vector<std::string>{
                  "The setting \"Memory buffer\" holds -2147483648, outside 1 to 9999; 1 is used.",
                  "The setting \"Gutter width\" holds 2147483647, outside 0 to 200; 200 is used.",
                  "The setting \"Tab width\" holds 0, outside 1 to 32; 1 is used.",
                  "The setting \"JumpOffset\" holds 2147483647, outside 0 to 100; 100 is used.",
                  "The setting \"Custom icons\" is 5000 characters long; its first 4096 are used.",
                  "The setting \"Quote Style\" holds 9, outside 0 to 2; 2 is used.",
              }));

    TFont font;
    std::vector<std::string> clamped;
    LoadEditorFont(registry, font, &clamped);
    EXPECT_EQ(font.name, "Courier New");
    EXPECT_EQ(font.size, kMaxFontSize);
    EXPECT_EQ(clamped, (std::vector<std::string>{
                           "The setting \"Font name\" is 10485760 characters long, longer than "
                           "any font's name; \"Courier New\" is used.",
                           "The setting \"Font size\" holds 2147483647, outside 1 to 200; 200 "
                           "is used."}));
    EXPECT_EQ(ReadFileBytes(hive), stored) << "nothing is written back by reading";
}

// A stored buffer size of any value gives a limit the editor can take: no
// overflow into a negative limit that would refuse every keystroke.
TEST(SettingsTextLimit, KilobytesToBytesHeldInRange) {
    TempDir dir;
    Registry registry(dir.path());
    TSettings settings(registry);
    const std::pair<std::int32_t, int> cases[] = {
        {128, 131072}, {0, 0}, {-5, 0}, {INT32_MAX, INT_MAX}, {2097152, INT_MAX}};
    for (const auto& [kilobytes, bytes] : cases) {
        settings.memoryBuffer = kilobytes;
        EXPECT_EQ(settings.TextLimitBytes(), bytes) << kilobytes;
    }
}

}  // namespace
}  // namespace vk
