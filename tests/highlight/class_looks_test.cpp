#include "highlight/class_looks.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

// Recoloured text must look like loaded text: the looks are what the RTF of
// a load gives, the window text colour included.
TEST(ClassLooksAsLoaded, AreTheColoursAndStylesAnRtfLoadShows) {
    ClassFonts fonts{};
    fonts[IndexOf(TokenClass::Keyword)] = TFont{"Courier New", 10, 0x800000, kBold};
    fonts[IndexOf(TokenClass::Comment)] = TFont{"Arial", 12, 0x008000, kItalic};
    fonts[IndexOf(TokenClass::String)] = TFont{"Courier New", 10, 0x0000FF, kBold | kItalic};
    fonts[IndexOf(TokenClass::Number)].color = 0x123456;  // beside the sixteen of the table
    const ClassLooks looks = ClassLooksAsLoaded(fonts);

    EXPECT_EQ(looks[IndexOf(TokenClass::Keyword)], (ClassLook{0x800000, true, false}));
    EXPECT_EQ(looks[IndexOf(TokenClass::Comment)], (ClassLook{0x008000, false, true}));
    EXPECT_EQ(looks[IndexOf(TokenClass::String)], (ClassLook{0x0000FF, true, true}));
    EXPECT_EQ(looks[IndexOf(TokenClass::Number)], (ClassLook{0x123456, false, false}));
    // The window text colour is a system colour, written as the table's first.
    EXPECT_EQ(looks[IndexOf(TokenClass::Identifier)], (ClassLook{0, false, false}));
    EXPECT_EQ(looks[IndexOf(TokenClass::Directive)], (ClassLook{0, false, false}));
}

}  // namespace
}  // namespace vk
