#pragma once

#include <string>
#include <string_view>

namespace vk {

// A jump to a line: the line the caret goes to and the line shown at the top
// of the view, so that `offset` lines stay visible above the target.
struct LineJump {
    int target = 0;
    int top = 0;
};

// The jump to the 0-based `line` of a text of `lineCount` lines with
// "JumpOffset" `offset`. A line past the end goes to the last line; fewer
// lines above the target than the offset put the first line at the top. A
// negative offset counts as 0: it would put the target above the view.
[[nodiscard]] LineJump PlanLineJump(int line, int offset, int lineCount);

// What the answer to "Go to line number" asks for.
struct LineNumberAnswer {
    enum class Kind {
        Nothing,  // empty answer: no jump, no message
        Jump,     // go to the 0-based `line`
        Refuse,   // not a whole number in range: tell the user the range
    };
    Kind kind = Kind::Nothing;
    int line = 0;
};

// Reads the user's answer for a text of `lineCount` lines: "12" jumps to line
// index 11, "0" to the first line, blanks around the number are allowed.
// A number past the last line, a negative number or anything that is not a
// whole number is refused. An empty text counts as one line.
[[nodiscard]] LineNumberAnswer ReadLineNumberAnswer(std::string_view answer, int lineCount);

// The refusal of an unusable answer, naming the lines there are.
[[nodiscard]] std::string LineNumberRangeMessage(int lineCount);

}  // namespace vk
