#include "editor/recolouring.h"

#include <gtest/gtest.h>

#include <string>

namespace vk {
namespace {

struct KeyUpCase {
    const char* name;
    int key;
    bool ctrl;
    KeyUpKind kind;
};

class KeyUpTest : public ::testing::TestWithParam<KeyUpCase> {};

TEST_P(KeyUpTest, Classifies) {
    EXPECT_EQ(ClassifyKeyUp(GetParam().key, GetParam().ctrl), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyUpTest,
    ::testing::Values(KeyUpCase{"Shift", 16, false, KeyUpKind::ChangesNoText},
                      KeyUpCase{"CapsLock", 20, false, KeyUpKind::ChangesNoText},
                      KeyUpCase{"Escape", 27, false, KeyUpKind::ChangesNoText},
                      KeyUpCase{"PageUp", 33, false, KeyUpKind::ChangesNoText},
                      KeyUpCase{"Down", 40, false, KeyUpKind::ChangesNoText},
                      KeyUpCase{"Key42", 42, false, KeyUpKind::ChangesNoText},
                      KeyUpCase{"F1", 112, false, KeyUpKind::ChangesNoText},
                      KeyUpCase{"F9", 120, false, KeyUpKind::ChangesNoText},
                      KeyUpCase{"F10", 121, false, KeyUpKind::Recolours},
                      KeyUpCase{"F11", 122, false, KeyUpKind::ChangesNoText},
                      KeyUpCase{"F24", 135, false, KeyUpKind::ChangesNoText},
                      KeyUpCase{"NumLock", 144, false, KeyUpKind::ChangesNoText},
                      KeyUpCase{"RightCtrl", 163, false, KeyUpKind::ChangesNoText},
                      KeyUpCase{"Key164", 164, false, KeyUpKind::Recolours},
                      KeyUpCase{"Insert", 45, false, KeyUpKind::Recolours},
                      KeyUpCase{"Delete", 46, false, KeyUpKind::Recolours},
                      KeyUpCase{"Return", 13, false, KeyUpKind::Recolours},
                      KeyUpCase{"CtrlZero", 48, true, KeyUpKind::Bookmark},
                      KeyUpCase{"CtrlNine", 57, true, KeyUpKind::Bookmark},
                      KeyUpCase{"PlainDigitTypes", 51, false, KeyUpKind::Recolours},
                      KeyUpCase{"CtrlLetter", 'V', true, KeyUpKind::Recolours}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClassesOf, CutsTheTextIntoTokenClasses) {
    using enum TokenClass;
    const std::vector<TokenClass> expected = {Keyword,    Keyword,    Keyword, Whitespace,
                                              Identifier, Whitespace, Comment, Comment};
    EXPECT_EQ(ClassesOf("Dim x 'c"), expected);
    // An open string stops at the end of the stretch; an embedded zero byte
    // is a byte of its own.
    EXPECT_EQ(ClassesOf("\"ab"), (std::vector<TokenClass>{String, String, String}));
    EXPECT_EQ(ClassesOf(std::string_view("a\0b", 3)),
              (std::vector<TokenClass>{Identifier, Whitespace, Identifier}));
}

// Style = class index + 10, whatever the style was.
unsigned char ByClass(unsigned char, TokenClass cls) {
    return static_cast<unsigned char>(10 + IndexOf(cls));
}

std::string StylesFor(std::string_view text) {
    std::string styles;
    for (TokenClass cls : ClassesOf(text)) styles.push_back(static_cast<char>(ByClass(0, cls)));
    return styles;
}

TEST(StyleChanges, RightStylesGiveNoChange) {
    const std::string text = "If x = \"a\" Then ' done";
    EXPECT_TRUE(StyleChanges(text, StylesFor(text), ByClass).empty());
}

TEST(StyleChanges, OnlyTheStretchesThatDifferChange) {
    const std::string text = "x = 1 ' c";
    std::string styles = StylesFor(text);
    const std::string right = styles;
    styles[0] = 0;  // x
    styles[7] = 0;  // the comment's second and third bytes
    styles[8] = 0;
    const std::vector<StyleSpan> spans = StyleChanges(text, styles, ByClass);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0], (StyleSpan{0, right.substr(0, 1)}));
    EXPECT_EQ(spans[1], (StyleSpan{7, right.substr(7, 2)}));
}

TEST(StyleChanges, AsksOncePerStyleAndClass) {
    int asked = 0;
    const std::string text(1000, 'a');
    const auto spans =
        StyleChanges(text, std::string(text.size(), '\0'), [&](unsigned char, TokenClass cls) {
            ++asked;
            return ByClass(0, cls);
        });
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].styles.size(), text.size());
}

}  // namespace
}  // namespace vk
