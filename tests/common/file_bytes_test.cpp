#include "common/file_bytes.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vk
