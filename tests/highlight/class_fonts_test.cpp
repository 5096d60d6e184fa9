#include "highlight/class_fonts.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace vk {
namespace {

TEST(LoadClassFontsTest, FreshUserGetsTheEditorDefaultsInWindowText) {
    test::TempDir dir;
    Registry registry(dir.path());
    for (const TFont& font : LoadClassFonts(registry)) EXPECT_EQ(font, TFont{});
}

// Every class takes the editor's face and size; a class with a colour record
// takes its colour and style from it, the others keep the window text colour.
TEST(LoadClassFontsTest, EditorFontThenEachClassRecord) {
    test::TempDir dir;
    {
        Registry writer(dir.path());
        auto editor =
            writer.OpenKey(Hive::CurrentUser, std::string(kProgramKey) + "\\Editor", true);
        ASSERT_TRUE(editor);
        ASSERT_TRUE(editor->WriteString("Font name", "Consolas"));
        ASSERT_TRUE(editor->WriteInteger("Font size", 12));
        SaveTokenStyle(writer, "Keyword", TFont{"ignored", 99, 0xFF0000, kBold});
        SaveTokenStyle(writer, "Comment", TFont{"ignored", 99, 0x008000, kItalic | kBold});
    }
    Registry registry(dir.path());
    const ClassFonts fonts = LoadClassFonts(registry);
    for (std::size_t k = 0; k < kTokenClassCount; ++k) {
        SCOPED_TRACE(kTokenClassNames[k]);
        EXPECT_EQ(fonts[k].name, "Consolas");
        EXPECT_EQ(fonts[k].size, 12);
    }
    EXPECT_EQ(fonts[IndexOf(TokenClass::Keyword)].color, 0xFF0000u);
    EXPECT_EQ(fonts[IndexOf(TokenClass::Keyword)].style, kBold);
    EXPECT_EQ(fonts[IndexOf(TokenClass::Comment)].color, 0x008000u);
    EXPECT_EQ(fonts[IndexOf(TokenClass::Comment)].style, kItalic | kBold);
    EXPECT_EQ(fonts[IndexOf(TokenClass::String)].color, kWindowTextColor);
    EXPECT_EQ(fonts[IndexOf(TokenClass::String)].style, 0);
}

}  // namespace
}  // namespace vk
