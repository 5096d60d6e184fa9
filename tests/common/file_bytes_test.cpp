#include "common/file_bytes.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_support.h"

namespace vk {
namespace {

TEST(ReadWholeFileTest, GivesEveryByteOrSaysWhyNot) {
    test::TempDir dir;
    std::string everyByte;
    for (int round = 0; round < 300; ++round)  // past one read chunk
        for (int c = 0; c < 256; ++c) everyByte += static_cast<char>(c);
    test::WriteFileBytes(dir.path() / "bytes", everyByte);
    test::WriteFileBytes(dir.path() / "empty", "");

    EXPECT_EQ(ReadWholeFile(dir.path() / "bytes"), everyByte);
    EXPECT_EQ(ReadWholeFile(dir.path() / "empty"), std::string());

    const struct {
        const char* label;
        std::filesystem::path file;
        std::string error;
    } failures[] = {
        {"missing", dir.path() / "missing", "No such file or directory"},
        // Opening a folder succeeds; reading it fails. A stream would throw
        // here instead of failing the read.
        {"folder", dir.path(), "Is a directory"},
    };
    for (const auto& c : failures) {
        std::string error;
        EXPECT_EQ(ReadWholeFile(c.file, &error), std::nullopt) << c.label;
        EXPECT_EQ(error, c.error) << c.label;
    }
}


TEST(WriteWholeFileAtomicallyTest, ReplacesWholeKeepsModeAndLeavesNoTemporary) {
    test::TempDir dir;
    const auto file = dir.path() / "script.vbs";
    test::WriteFileBytes(file, std::string(100000, 'o'));
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    const std::string fresh("new\r\n\0\x80\xff", 8);

    ASSERT_TRUE(WriteWholeFileAtomically(file, fresh));
    EXPECT_EQ(ReadWholeFile(file), fresh);
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);

    // A write that cannot happen says why and changes nothing.
    std::string error;
    EXPECT_FALSE(WriteWholeFileAtomically(dir.path() / "no folder" / "x.vbs", "x", &error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(WriteWholeFileAtomically(dir.path(), "x", &error)) << "a folder is no file";
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadWholeFile(file), fresh);

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"script.vbs"});
}

}  // namespace
}  // namespace vk
