#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>

#include "document/script_checksum.h"

namespace vk {
namespace {

TEST(ScriptChecksumTest, KnownVectors) {
    const struct {
        const char* name;
        std::string_view text;
        std::uint32_t crc;
    } cases[] = {
        {"empty", "", 0x00000000u},
        {"single letter", "a", 0xe8b7be43u},
        {"check value", "123456789", 0xcbf43926u},
        {"pangram", "The quick brown fox jumps over the lazy dog", 0x414fa339u},
        // Bytes above 127 are unsigned: a sign slip changes the result.
        {"high bytes", "\xff\x80\xe9", 0xa38c2f68u},
    };
    for (const auto& c : cases) EXPECT_EQ(ScriptChecksum(c.text), c.crc) << c.name;
}

TEST(ScriptChecksumTest, TableFollowsThePolynomial) {
    EXPECT_EQ(ChecksumTableEntry(0), 0x00000000u);
    EXPECT_EQ(ChecksumTableEntry(1), 0x77073096u);
    EXPECT_EQ(ChecksumTableEntry(128), 0xEDB88320u);
    EXPECT_EQ(ChecksumTableEntry(255), 0x2D02EF8Du);
}

TEST(ScriptChecksumTest, StopsAtTheFirstNul) {
    using namespace std::string_view_literals;
    EXPECT_EQ(ScriptChecksum("123456789\0tail"sv), 0xcbf43926u);
    EXPECT_EQ(ScriptChecksum("\0abc"sv), 0u);
    // A NUL after the eight-byte stride must still stop the sum.
    EXPECT_EQ(ScriptChecksum("12345678\0"sv), ScriptChecksum("12345678"));
}

std::uint32_t Zlib(std::string_view bytes) {
    return static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

TEST(ScriptChecksumTest, AgreesWithZlibOnRandomText) {
    std::mt19937 random(20240517);
    std::uniform_int_distribution<int> byte(1, 255);  // no NUL: zlib sums past it
    std::string data(70000, ' ');
    for (char& c : data) c = static_cast<char>(byte(random));
    // Every length and start around the eight-byte stride, then long runs.
    for (std::size_t start = 0; start < 9; ++start)
        for (std::size_t length = 0; length < 40; ++length) {
            const std::string_view piece(data.data() + start, length);
            ASSERT_EQ(ScriptChecksum(piece), Zlib(piece)) << start << "+" << length;
        }
    for (std::size_t length : {1000u, 4097u, 65536u, 69991u}) {
        const std::string_view piece(data.data() + 3, length);
        EXPECT_EQ(ScriptChecksum(piece), Zlib(piece)) << length;
    }
}

TEST(ScriptChecksumTest, FormatsEightLowercaseDigits) {
    EXPECT_EQ(FormatChecksum(0), "00000000");
    EXPECT_EQ(FormatChecksum(0x1a), "0000001a");
    EXPECT_EQ(FormatChecksum(0xFC177257u), "fc177257");
}

}  // namespace
}  // namespace vk
