#include "document/tag_lines.h"

#include <gtest/gtest.h>

#include "common/exceptions.h"

namespace vk {
namespace {

TEST(TagLinesTest, ExactTexts) {
    EXPECT_EQ(CategoryTagLine("Contacts", "Contact Form"), "'#Category Contacts, Contact Form");
    EXPECT_EQ(SavedTagLine("03/04/2024 14:05:09", "HOST", "Ann Lee"),
              "'#Saved 03/04/2024 14:05:09 on \\\\HOST by Ann Lee");
    EXPECT_EQ(ChecksumTagLine(0xcbf43926u), "'#CRC32 cbf43926");
    EXPECT_EQ(ChecksumTagLine(7), "'#CRC32 00000007");
    EXPECT_EQ(kGetPreferenceUserName, "[GetPreference(Me,\"\x09\")]");
}

TEST(TagLinesTest, SavedTagUserNameFromTheReplies) {
    const std::string sixty(60, 'n');
    const struct {
        const char* name;
        std::string preference, lastError, expected;
    } cases[] = {
        {"text after first tab", "Me\tAnn Lee\tmore", "0", "Ann Lee\tmore"},
        {"no tab gives the reply itself", "Ann Lee", "0", "Ann Lee"},
        {"code 126 gives the login name", "Me\tAnn Lee", "126", "login"},
        {"other error codes still read the reply", "\tAnn", "5", "Ann"},
        {"at most fifty characters", "\t" + sixty, "0", sixty.substr(0, 50)},
        {"no tab, at most fifty", sixty, "0", sixty.substr(0, 50)},
        {"empty reply", "", "0", ""},
        {"line break ends the name", "\tAnn\r\nLee", "0", "Ann"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SavedTagUserName(c.preference, c.lastError, "login"), c.expected) << c.name;
}

TEST(TagLinesTest, NonIntegerLastErrorIsAConversionError) {
    for (std::string_view bad : {"", "abc", "12 "})
        EXPECT_THROW((void)SavedTagUserName("\tAnn", bad, "login"), EConvertError) << bad;
}

}  // namespace
}  // namespace vk
