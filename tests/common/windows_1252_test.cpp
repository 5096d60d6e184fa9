#include "common/windows_1252.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

TEST(Windows1252Test, ConvertsBothWaysAsWindowsDoes) {
    const struct {
        const char* name;
        std::string ansi;
        std::string utf8;
    } cases[] = {
        {"ASCII stays", "Dim x", "Dim x"},
        {"euro sign and curly quotes from 0x80-0x9F", "\x80 \x93q\x94",
         "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D"},
        {"unassigned byte is its C1 control", "\x81", "\xC2\x81"},
        {"Latin-1 half", "Caf\xE9", "Caf\xC3\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Windows1252ToUtf8(c.ansi), c.utf8) << c.name;
        EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.ansi) << c.name;
    }
    // Outside the set: a question mark, one per character.
    EXPECT_EQ(Utf8ToWindows1252("\xE4\xB8\xAD x \xF0\x9F\x98\x80"), "? x ?");
    EXPECT_EQ(Latin1ToUtf8("\x80"), "\xC2\x80") << "Latin-1 has the control there";
}

}  // namespace
}  // namespace vk
