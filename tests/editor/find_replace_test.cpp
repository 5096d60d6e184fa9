#include "editor/find_replace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/exceptions.h"
#include "editor/script_editor.h"
#include "support/recording_message_service.h"

namespace vk {
namespace {

using test::RecordingMessageService;
constexpr MessageAnswer Y = MessageAnswer::Yes;
constexpr MessageAnswer N = MessageAnswer::No;
constexpr MessageAnswer C = MessageAnswer::Cancel;

enum class Command { FindNext, FindPrevious, Replace, ReplaceAll };

struct FindCase {
    const char* name;
    std::string text;
    int selStart;
    int selLength;
    FindRequest request;
    Command command;
    std::vector<MessageAnswer> answers;
    std::string expectedText;
    int expectedSelStart;
    int expectedSelLength;
    std::vector<std::string> expectedMessages;
};

FindRequest Plain(std::string find, std::string replace = {}) {
    FindRequest request;
    request.findText = std::move(find);
    request.replaceText = std::move(replace);
    return request;
}

FindRequest With(FindRequest request, bool FindRequest::*option) {
    request.*option = true;
    return request;
}

const std::string kQ = "Replace this entry?";

class FindReplaceTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindReplaceTest, RunsTheCommand) {
    const FindCase& c = GetParam();
    ScriptEditor editor;
    RecordingMessageService messages;
    messages.answers.assign(c.answers.begin(), c.answers.end());
    TFindReplace finder(editor, messages);
    editor.SetPlainText(c.text);
    editor.SetSel(c.selStart, c.selLength);

    switch (c.command) {
        case Command::FindNext:
            (void)finder.FindNext(c.request);
            break;
        case Command::FindPrevious:
            (void)finder.FindPrevious(c.request);
            break;
        case Command::Replace:
            finder.Replace(c.request);
            break;
        case Command::ReplaceAll:
            finder.ReplaceAll(c.request);
            break;
    }

    EXPECT_EQ(editor.Text(), c.expectedText);
    EXPECT_EQ(editor.SelStart(), c.expectedSelStart);
    EXPECT_EQ(editor.SelLength(), c.expectedSelLength);
    EXPECT_EQ(messages.Texts(), c.expectedMessages);
    EXPECT_TRUE(messages.answers.empty()) << "every scripted answer is asked for";
    for (const auto& m : messages.messages) {
        EXPECT_EQ(m.title, "Vellumkit");
        if (m.text == kQ) {
            EXPECT_EQ(m.icon, MessageIcon::Question);
            EXPECT_EQ(m.buttons, c.command == Command::ReplaceAll ? MessageButtons::YesNoCancel
                                                                  : MessageButtons::YesNo);
        } else {
            EXPECT_EQ(m.icon, MessageIcon::Information);
            EXPECT_EQ(m.buttons, MessageButtons::Ok);
        }
    }
}

// One row per case reads best as one line per field group.
// clang-format off
const std::string kDims = "Dim a\r\nDim b";

INSTANTIATE_TEST_SUITE_P(
    Find, FindReplaceTest,
    ::testing::Values(
        FindCase{"SelectsFirstMatch", kDims, 0, 0, Plain("dim"), Command::FindNext, {}, kDims, 0,
                 3, {}},
        FindCase{"PassesOverTheSelectedMatch", kDims, 0, 3, Plain("Dim"), Command::FindNext, {},
                 kDims, 7, 3, {}},
        FindCase{"LastMatchSaysNotFoundAndStays", kDims, 7, 3, Plain("Dim"), Command::FindNext,
                 {}, kDims, 7, 3, {"Not found:\rDim"}},
        FindCase{"MatchCase", kDims, 0, 0, With(Plain("dim"), &FindRequest::matchCase),
                 Command::FindNext, {}, kDims, 0, 0, {"Not found:\rdim"}},
        FindCase{"WholeWord", "Dimension Dim", 0, 0, With(Plain("Dim"), &FindRequest::wholeWord),
                 Command::FindNext, {}, "Dimension Dim", 10, 3, {}},
        FindCase{"WrapAroundGoesOnFromTheTop", kDims, 7, 3,
                 With(Plain("Dim"), &FindRequest::wrapAround), Command::FindNext, {}, kDims, 0, 3,
                 {}},
        FindCase{"RegexSelectsWhatMatched", "a bbb c", 0, 0, With(Plain("b+"), &FindRequest::regex),
                 Command::FindNext, {}, "a bbb c", 2, 3, {}},
        FindCase{"RegexEmptyMatchIsPassedOver", "ab x", 0, 0,
                 With(Plain("x*"), &FindRequest::regex), Command::FindNext, {}, "ab x", 3, 1, {}},
        FindCase{"InvalidRegexFindsNothing", "a(b", 0, 0, With(Plain("("), &FindRequest::regex),
                 Command::FindNext, {}, "a(b", 0, 0, {"Not found:\r("}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    FindPrevious, FindReplaceTest,
    ::testing::Values(
        FindCase{"SelectsTheMatchBeforeTheSelection", kDims, 7, 3, Plain("dim"),
                 Command::FindPrevious, {}, kDims, 0, 3, {}},
        FindCase{"AMatchEndingInsideTheSelectionIsNotBefore", "xx Dim", 4, 2, Plain("Dim"),
                 Command::FindPrevious, {}, "xx Dim", 4, 2, {"Not found:\rDim"}},
        FindCase{"FirstMatchSaysNotFoundAndStays", kDims, 0, 3, Plain("Dim"),
                 Command::FindPrevious, {}, kDims, 0, 3, {"Not found:\rDim"}},
        FindCase{"WrapAroundGoesOnFromTheEnd", kDims, 0, 3,
                 With(Plain("Dim"), &FindRequest::wrapAround), Command::FindPrevious, {}, kDims, 7,
                 3, {}},
        FindCase{"RegexTakesTheLastMatch", "b1 b22 c", 8, 0, With(Plain("b[0-9]+"), &FindRequest::regex),
                 Command::FindPrevious, {}, "b1 b22 c", 3, 3, {}},
        FindCase{"RegexEmptyMatchIsPassedOver", "x ab", 4, 0,
                 With(Plain("x*"), &FindRequest::regex), Command::FindPrevious, {}, "x ab", 0, 1,
                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Replace, FindReplaceTest,
    ::testing::Values(
        FindCase{"YesReplaces", "a x b x", 0, 0, Plain("x", "yy"), Command::Replace, {Y},
                 "a yy b x", 4, 0, {kQ}},
        FindCase{"NoLeavesTheMatchSelected", "a x b x", 0, 0, Plain("x", "yy"), Command::Replace,
                 {N}, "a x b x", 2, 1, {kQ}},
        FindCase{"PassesOverTheSelectedMatch", "a x b x", 2, 1, Plain("x", "yy"),
                 Command::Replace, {Y}, "a x b yy", 8, 0, {kQ}},
        FindCase{"NoFurtherMatchOnlySaysNotFound", "a x b x", 6, 1, Plain("x", "yy"),
                 Command::Replace, {}, "a x b x", 6, 1, {"Not found:\rx"}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    ReplaceAll, FindReplaceTest,
    ::testing::Values(
        FindCase{"YesToEach", "x x x", 0, 0, Plain("x", "y"), Command::ReplaceAll, {Y, Y, Y},
                 "y y y", 5, 0, {kQ, kQ, kQ, "Not found:\rx"}},
        FindCase{"NoToEachChangesNothing", "x x x", 0, 0, Plain("x", "y"), Command::ReplaceAll,
                 {N, N, N}, "x x x", 5, 0, {kQ, kQ, kQ, "Not found:\rx"}},
        FindCase{"CancelStops", "x x x", 0, 0, Plain("x", "y"), Command::ReplaceAll, {Y, C},
                 "y x x", 2, 1, {kQ, kQ}},
        FindCase{"YesAndNoMixed", "x x x", 0, 0, Plain("x", "yz"), Command::ReplaceAll,
                 {N, Y, N}, "x yz x", 6, 0, {kQ, kQ, kQ, "Not found:\rx"}},
        FindCase{"NothingToReplace", "a b", 0, 0, Plain("x", "y"), Command::ReplaceAll, {}, "a b",
                 0, 0, {"Not found:\rx"}},
        FindCase{"WrapAroundCoversTheTopOnce", "x1 x2 x3", 5, 0,
                 With(Plain("x", "y"), &FindRequest::wrapAround), Command::ReplaceAll, {Y, Y, Y},
                 "y1 y2 y3", 4, 0, {kQ, kQ, kQ, "Not found:\rx"}},
        FindCase{"WrapAroundReplacementHoldingTheFindTextEnds", "a a", 0, 0,
                 With(Plain("a", "aa"), &FindRequest::wrapAround), Command::ReplaceAll, {Y, Y},
                 "aa aa", 5, 0, {kQ, kQ, "Not found:\ra"}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(FindReplace, ReplacementPastTheTextLimitIsAnErrorAndKeepsTheText) {
    ScriptEditor editor;
    RecordingMessageService messages;
    messages.defaultAnswer = MessageAnswer::Yes;
    TFindReplace finder(editor, messages);
    std::vector<std::pair<int, int>> recoloured;
    finder.recolourLines = [&](int first, int last) { recoloured.emplace_back(first, last); };
    editor.SetPlainText("x\r\nx");
    editor.SetTextLimit(7);

    EXPECT_THROW(finder.ReplaceAll(Plain("x", "yyy")), Exception);
    EXPECT_EQ(editor.Text(), "yyy\r\nx") << "the first replacement fits, the second does not";
    EXPECT_EQ(recoloured, (std::vector<std::pair<int, int>>{{0, 0}}));
}

}  // namespace
}  // namespace vk
