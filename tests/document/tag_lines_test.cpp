#include "document/tag_lines.h"

#include <gtest/gtest.h>


namespace vk {
namespace {

TEST(TagLinesTest, ExactTexts) {
    EXPECT_EQ(CategoryTagLine("Contacts", "Contact Form"), "'#Category Contacts, Contact Form");
    EXPECT_EQ(SavedTagLine("03/04/2024 14:05:09", "HOST", "Ann Lee"),
              "'#Saved 03/04/2024 14:05:09 on \\\\HOST by Ann Lee");
    EXPECT_EQ(ChecksumTagLine(0xcbf43926u), "'#CRC32 cbf43926");
    EXPECT_EQ(ChecksumTagLine(7), "'#CRC32 00000007");
}

TEST(TagLinesTest, SavedTagUserNameFromThePreferenceReply) {
    const std::string sixty(60, 'n');
    const struct {
        const char* name;
        std::string preference, expected;
    } cases[] = {
        {"text after first tab", "Me\tAnn Lee\tmore", "Ann Lee\tmore"},
        {"no tab gives the reply itself", "Ann Lee", "Ann Lee"},
        {"at most fifty characters", "\t" + sixty, sixty.substr(0, 50)},
        {"no tab, at most fifty", sixty, sixty.substr(0, 50)},
        {"empty reply", "", ""},
        {"line break ends the name", "\tAnn\r\nLee", "Ann"},
    };
    for (const auto& c : cases) EXPECT_EQ(SavedTagUserName(c.preference), c.expected) << c.name;
}

}  // namespace
}  // namespace vk
