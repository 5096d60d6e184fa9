#include "document/checksum_check.h"

#include <gtest/gtest.h>

#include "common/messages.h"
#include "common/status_sink.h"
#include "document/script_checksum.h"
#include "document/script_lines.h"

namespace vk {
namespace {

using Outcome = ChecksumVerdict::Outcome;

// The checksum of the script `lines` without the line at `skip`.
std::string ChecksumWithout(std::vector<std::string> lines, std::size_t skip) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(skip));
    return FormatChecksum(ScriptChecksum(JoinScriptLines(lines)));
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

TEST(VerifyChecksumTest, Verdicts) {
    const std::vector<std::string> body = {"Option Explicit", "'#CRC32 ????????", "x = 1"};
    const std::string good = ChecksumWithout(body, 1);
    auto with = [&](std::string line) {
        auto lines = body;
        lines[1] = std::move(line);
        return lines;
    };
    auto ahead = with("'#CRC32 " + good);
    ahead[0] = "s = 1 ' '#CRC32 " + good;  // a tag's text behind a statement

    const struct {
        const char* name;
        std::vector<std::string> lines;
        Outcome outcome;
        std::string stored;
    } cases[] = {
        {"correct", with("'#CRC32 " + good), Outcome::Correct, good},
        {"correct with text after the digits", with("'#CRC32 " + good + " ok"), Outcome::Correct,
         good},
        {"wrong", with("'#CRC32 00000000"), Outcome::Wrong, "00000000"},
        {"uppercase hex", with("'#CRC32 " + Upper(good)), Outcome::Wrong, Upper(good)},
        {"short tag", with("'#CRC32 12"), Outcome::Wrong, "12"},
        {"first occurrence wins even behind code", ahead, Outcome::Wrong, "'#CRC32 "},
        {"missing", with("' no tag here"), Outcome::NotFound, ""},
        {"lowercase prefix is not a tag", with("'#crc32 " + good), Outcome::NotFound, ""},
    };
    for (const auto& c : cases) {
        const ChecksumVerdict v = VerifyChecksum(JoinScriptLines(c.lines));
        EXPECT_EQ(v.outcome, c.outcome) << c.name;
        EXPECT_EQ(v.stored, c.stored) << c.name;
    }
    // The verdict on code ahead of the tag sums everything but that code line.
    EXPECT_EQ(FormatChecksum(VerifyChecksum(JoinScriptLines(ahead)).computed),
              ChecksumWithout(ahead, 0));
}

TEST(VerifyChecksumTest, TagOnTheLastLineWithoutLineEnd) {
    const std::string text = "a\r\n'#CRC32 " + FormatChecksum(ScriptChecksum("a\r\n"));
    EXPECT_EQ(VerifyChecksum(text).outcome, Outcome::Correct);
}

struct Shown {
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
};

class RecordingMessages final : public MessageService {
public:
    MessageAnswer Show(std::string_view text, MessageIcon icon, MessageButtons buttons,
                       std::string_view title) override {
        EXPECT_EQ(title, "Vellumkit");
        shown.push_back({std::string(text), icon, buttons});
        return MessageAnswer::Ok;
    }
    bool Input(std::string_view, std::string_view, std::string&) override { return false; }
    std::vector<Shown> shown;
};

class RecordingStatus final : public StatusSink {
public:
    void SetStatus(std::string_view text, int level) override {
        entries.emplace_back(std::string(text), level);
    }
    std::vector<std::pair<std::string, int>> entries;
};

TEST(VerifyChecksumTagTest, ReportsThroughStatusOrWarning) {
    const std::string tagged = "a\r\n'#CRC32 " + FormatChecksum(ScriptChecksum("a\r\n")) + "\r\n";
    {
        RecordingStatus status;
        RecordingMessages messages;
        VerifyChecksumTag(tagged, status, messages);
        VerifyChecksumTag("a\r\n", status, messages);
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(status.entries,
                  (std::vector<std::pair<std::string, int>>{{"CRC32 Checksum is correct", 1},
                                                            {"CRC32 Checksum not found", 1}}));
    }
    RecordingStatus status;
    RecordingMessages messages;
    VerifyChecksumTag("a\r\n'#CRC32 0000abcd\r\n", status, messages);
    EXPECT_TRUE(status.entries.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "This script's checksum is not correct.\rThe calculated checksum is " +
                  FormatChecksum(ScriptChecksum("a\r\n")) + "\rThe stored checksum is 0000abcd");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
}

TEST(ShowChecksumTest, MessageAndNotes) {
    const struct {
        const char* name;
        std::uint32_t value;
        std::string text;
    } cases[] = {
        {"plain", 0xcbf43926u, "The CRC32 checksum for the current script is cbf43926"},
        {"empty script", 0,
         "The CRC32 checksum for the current script is 00000000\r\n"
         "This indicates there is no script."},
        {"Commence default", 0xfc177257u,
         "The CRC32 checksum for the current script is fc177257\r\n"
         "This script is the Commence default script."},
    };
    for (const auto& c : cases) EXPECT_EQ(ShowChecksumMessage(c.value), c.text) << c.name;

    RecordingMessages messages;
    ShowChecksum("123456789", messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "The CRC32 checksum for the current script is cbf43926");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
}

}  // namespace
}  // namespace vk
