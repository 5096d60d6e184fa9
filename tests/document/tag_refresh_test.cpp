#include "document/tag_refresh.h"

#include <gtest/gtest.h>

#include "common/exceptions.h"
#include "document/checksum_check.h"
#include "document/script_checksum.h"
#include "document/tag_lines.h"

namespace vk {
namespace {

using Lines = std::vector<std::string>;

const std::string kCat = CategoryTagLine("Contacts", "Main");
const std::string kSaved = SavedTagLine("01/02/2024 10:00:00", "PC", "Ann");
constexpr std::string_view kCrc = "<CRC>";  // the fresh checksum tag of the expected script

constexpr TagSettings kAll{true, true, true};
constexpr TagSettings kNone{false, false, false};
constexpr TagSettings kChecksumOnly{false, false, true};
constexpr TagSettings kTimeOnly{true, false, false};

TagRefreshInputs Inputs(TagSettings settings, bool savedConversationOpens = true) {
    TagRefreshInputs in;
    in.settings = settings;
    in.linkOpen = true;
    in.categoryTag = kCat;
    in.savedTag = [savedConversationOpens]() -> std::optional<std::string> {
        if (!savedConversationOpens) return std::nullopt;
        return kSaved;
    };
    return in;
}

// The expected lines with the placeholder replaced by the checksum of every
// other line, which is what a correct refresh must have written.
Lines Resolve(Lines expected) {
    Lines others;
    for (const auto& line : expected)
        if (line != kCrc) others.push_back(line);
    for (auto& line : expected)
        if (line == kCrc) line = ChecksumTagLine(ScriptChecksum(JoinScriptLines(others)));
    return expected;
}

struct RefreshCase {
    const char* name;
    TagRefreshInputs inputs;
    Lines before, after;
};

void PrintTo(const RefreshCase& c, std::ostream* os) { *os << c.name; }

class TagRefreshTest : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(TagRefreshTest, WritesExactlyTheseLines) {
    const RefreshCase& c = GetParam();
    MemoryScriptLines lines(c.before);
    RefreshTags(lines, c.inputs);
    const Lines expected = Resolve(c.after);
    EXPECT_EQ(lines.lines(), expected);
    EXPECT_FALSE(lines.RepaintSuspended());
    if (c.inputs.linkOpen && c.inputs.settings.checksumTag && !expected.empty()) {
        EXPECT_EQ(VerifyChecksum(lines.CanonicalText()).outcome, ChecksumVerdict::Outcome::Correct);
    }
}

TagRefreshInputs NoLink() {
    TagRefreshInputs in = Inputs(kAll);
    in.linkOpen = false;
    return in;
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, TagRefreshTest,
    ::testing::Values(
        RefreshCase{"NoTagsGetAllThreeBelowTheFirstLine",
                    Inputs(kAll),
                    {"Option Explicit", "Sub Form_OnSave()", "End Sub"},
                    {"Option Explicit", "<CRC>", kCat, kSaved, "Sub Form_OnSave()", "End Sub"}},
        RefreshCase{"AllThreePresentAreRewrittenInPlace",
                    Inputs(kAll),
                    {"Option Explicit", "'#CRC32 deadbeef", "'#Category Old, Form",
                     "'#Saved yesterday on \\\\X by Bob", "x = 1"},
                    {"Option Explicit", "<CRC>", kCat, kSaved, "x = 1"}},
        RefreshCase{
            "MisplacedTagsStayButChecksumMovesToLineTwo",
            Inputs(kAll),
            {"x = 1", "y = 2", "'#Saved old", "z = 3", "'#CRC32 00000000", "'#Category Old, Form"},
            {"x = 1", "<CRC>", "y = 2", kSaved, "z = 3", kCat}},
        RefreshCase{"EmptyScriptTakesNoLine", Inputs(kAll), {}, {}},
        RefreshCase{"OneLineIsFollowedByTheTags",
                    Inputs(kAll),
                    {"x = 1"},
                    {"x = 1", "<CRC>", kCat, kSaved}},
        RefreshCase{
            "SingleBlankLineStillTakesTags", Inputs(kAll), {""}, {"", "<CRC>", kCat, kSaved}},
        RefreshCase{"SettingsOffLeaveAStaleTag",
                    Inputs(kNone),
                    {"x", "'#CRC32 12345678", "'#Saved old"},
                    {"x", "'#CRC32 12345678", "'#Saved old"}},
        RefreshCase{"NoConversationTouchesNothing",
                    NoLink(),
                    {"x", "'#CRC32 12345678"},
                    {"x", "'#CRC32 12345678"}},
        RefreshCase{"ChecksumOnlyLeavesOtherTagsAlone",
                    Inputs(kChecksumOnly),
                    {"'#Category Old, Form", "x", "'#Saved old", "'#CRC32 12345678"},
                    {"'#Category Old, Form", "<CRC>", "x", "'#Saved old"}},
        // With a setting off the scan never stops early, so of two checksum
        // lines the last is replaced and the first stays as text.
        RefreshCase{"LastChecksumLineIsTheOneReplaced",
                    Inputs(kChecksumOnly),
                    {"a", "'#CRC32 11111111", "b", "'#CRC32 22222222"},
                    {"a", "<CRC>", "'#CRC32 11111111", "b"}},
        // Once all three are found the scan stops: a later category line is
        // neither rewritten nor counted.
        RefreshCase{
            "ScanStopsOnceAllThreeAreFound",
            Inputs(kAll),
            {"a", "'#CRC32 11111111", "'#Category X, Y", "'#Saved s", "'#Category Later, Z"},
            {"a", "<CRC>", kCat, kSaved, "'#Category Later, Z"}},
        RefreshCase{"PrefixesAreCaseSensitive",
                    Inputs(kAll),
                    {"a", "'#crc32 11111111", "'#category x, y", "'#Saved"},
                    {"a", "<CRC>", kCat, kSaved, "'#crc32 11111111", "'#category x, y", "'#Saved"}},
        RefreshCase{"SavedTagConversationDownKeepsOldLine",
                    Inputs(kTimeOnly, false),
                    {"a", "'#Saved old", "b"},
                    {"a", "'#Saved old", "b"}},
        RefreshCase{"SavedTagConversationDownLeavesInsertedLineEmpty",
                    Inputs(kAll, false),
                    {"a", "b"},
                    {"a", "<CRC>", kCat, "", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TagRefreshErrorTest, ConversionErrorStopsTheRefreshAndThawsTheEditor) {
    MemoryScriptLines lines(Lines{"a", "b"});
    TagRefreshInputs in = Inputs(kAll);
    in.savedTag = []() -> std::optional<std::string> {
        throw EConvertError("'x' is not a valid integer value");
    };
    EXPECT_THROW(RefreshTags(lines, in), EConvertError);
    EXPECT_FALSE(lines.RepaintSuspended());
}

// The caret is given as a line and column; the refresh must keep it on the
// same character and keep that line at the same row of the view.
struct ViewCase {
    const char* name;
    Lines script;
    int caretLine, caretColumn, firstVisible;
    TagSettings settings;
};

void PrintTo(const ViewCase& c, std::ostream* os) { *os << c.name; }

class TagRefreshViewTest : public ::testing::TestWithParam<ViewCase> {};

int Offset(const Lines& lines, int line, int column) {
    int offset = column;
    for (int i = 0; i < line; ++i) offset += static_cast<int>(lines[i].size()) + 2;
    return offset;
}

struct Place {
    std::string lineText;
    int column, row;
    bool operator==(const Place&) const = default;
};

// Where the caret is, told by the text of its line rather than its number.
Place CaretPlace(const MemoryScriptLines& lines) {
    const int line = lines.LineFromChar(lines.CaretOffset());
    return {lines.Line(line), lines.CaretOffset() - Offset(lines.lines(), line, 0),
            line - lines.FirstVisibleLine()};
}

TEST_P(TagRefreshViewTest, CaretKeepsItsTextAndRow) {
    const ViewCase& c = GetParam();
    MemoryScriptLines lines(c.script);
    lines.ScrollLines(c.firstVisible);
    lines.SetCaret(Offset(c.script, c.caretLine, c.caretColumn));
    const Place before = CaretPlace(lines);
    ASSERT_EQ(before.lineText, c.script[c.caretLine]);
    ASSERT_EQ(before.column, c.caretColumn);

    RefreshTags(lines, Inputs(c.settings));

    ASSERT_NE(lines.lines(), c.script);
    const Place after = CaretPlace(lines);
    EXPECT_EQ(after.lineText, before.lineText);
    EXPECT_EQ(after.column, before.column);
    EXPECT_EQ(after.row, before.row);
}

const Lines kBody = {"Option Explicit", "Dim a",   "Dim bb", "Sub Form_OnSave()",
                     "  a = 1",         "End Sub", "' end"};

INSTANTIATE_TEST_SUITE_P(
    Views, TagRefreshViewTest,
    ::testing::Values(ViewCase{"ThreeNewTagsAboveTheCaret", kBody, 4, 2, 2, kAll},
                      ViewCase{"CaretOnLineTwoMovesWithIt", kBody, 1, 3, 0, kAll},
                      ViewCase{"MovedChecksumAboveTheCaret",
                               {"x", "y", "'#CRC32 0", "z", "w"},
                               3,
                               0,
                               1,
                               kChecksumOnly},
                      // The old tag sat below the caret, so only the new one shifts it.
                      ViewCase{"MovedChecksumBelowTheCaret",
                               {"x", "y", "z", "'#CRC32 00000000", "w"},
                               2,
                               1,
                               1,
                               kChecksumOnly},
                      // A rewritten saved tag of another length still keeps the caret's text.
                      ViewCase{
                          "RewrittenTagOfOtherLengthAboveTheCaret",
                          {"x", "'#Saved long ago on \\\\SOMEWHERE by Somebody Else", "y = 2", "z"},
                          3,
                          0,
                          0,
                          kTimeOnly}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TagRefreshViewTest, CaretOnTheFirstLineStaysPut) {
    MemoryScriptLines lines(kBody);
    lines.SetCaret(4);
    RefreshTags(lines, Inputs(kAll));
    EXPECT_EQ(lines.CaretOffset(), 4);
    EXPECT_EQ(lines.FirstVisibleLine(), 0);
}

TEST(TagRefreshViewTest, CaretOnTheOldChecksumLineStaysOnTheNewOne) {
    MemoryScriptLines lines(Lines{"x", "'#CRC32 00000000", "y"});
    lines.SetCaret(3 + 10);  // line 1, column 10
    RefreshTags(lines, Inputs(kChecksumOnly));
    EXPECT_EQ(lines.CaretOffset(), 13);
    EXPECT_EQ(lines.LineFromChar(13), 1);
    EXPECT_EQ(lines.Line(1).substr(0, 8), "'#CRC32 ");
}

}  // namespace
}  // namespace vk
