#include "editor/style_table.h"

#include <gtest/gtest.h>

#include <set>

namespace vk {
namespace {

TextFormat Colored(std::uint32_t color) {
    return TextFormat{"Courier New", 20, color, false, false};
}

TEST(StyleTableTest, OneStylePerDistinctFormatAvoidingReservedStyles) {
    StyleTable table(Colored(0));
    bool isNew = false;
    EXPECT_EQ(table.Allocate(Colored(0), isNew), 0);
    EXPECT_FALSE(isNew);

    std::set<int> styles;
    for (std::uint32_t c = 1; c < StyleTable::kUsableCount; ++c) {
        const auto style = table.Allocate(Colored(c), isNew);
        ASSERT_TRUE(style) << "colour " << c;
        EXPECT_TRUE(isNew);
        EXPECT_FALSE(StyleTable::IsReserved(*style)) << *style;
        styles.insert(*style);
    }
    EXPECT_EQ(styles.size(), static_cast<std::size_t>(StyleTable::kUsableCount - 1));
    EXPECT_EQ(table.Allocate(Colored(5), isNew), table.Find(Colored(5)));
    EXPECT_FALSE(isNew);

    EXPECT_FALSE(table.Allocate(Colored(0xABCDEF), isNew)) << "all 248 styles are taken";
    EXPECT_EQ(table.Nearest(Colored(0xFF)), table.Find(Colored(0xF7)))
        << "a format without a style falls back to the closest colour";
}

TEST(StyleTableTest, NearestPrefersSameFontThenStyleThenColour) {
    StyleTable table(Colored(0));
    bool isNew = false;
    TextFormat boldRed{"Courier New", 20, 0x0000FF, true, false};
    TextFormat otherFaceRed{"Arial", 20, 0x0000F0, false, false};
    const int boldStyle = *table.Allocate(boldRed, isNew);
    (void)table.Allocate(otherFaceRed, isNew);
    const int nearRed = *table.Allocate(Colored(0x0000E0), isNew);

    EXPECT_EQ(table.Nearest(Colored(0x0000FF)), nearRed);
    TextFormat wantBold = boldRed;
    wantBold.color = 0x0000E0;
    EXPECT_EQ(table.Nearest(wantBold), boldStyle);
}

TEST(StyleTableTest, ReleaseFreesUnusedStylesButKeepsTheBase) {
    StyleTable table(Colored(0));
    bool isNew = false;
    const int a = *table.Allocate(Colored(1), isNew);
    const int b = *table.Allocate(Colored(2), isNew);
    std::array<bool, StyleTable::kStyleCount> used{};
    used[static_cast<std::size_t>(b)] = true;
    table.Release(used);

    EXPECT_FALSE(table.FormatOf(a));
    EXPECT_EQ(table.FormatOf(b), Colored(2));
    EXPECT_EQ(table.FormatOf(0), Colored(0));
    EXPECT_EQ(table.Allocate(Colored(3), isNew), a) << "a freed style is handed out again";
}

}  // namespace
}  // namespace vk
