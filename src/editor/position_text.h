#pragma once

#include <string>
#include <string_view>

namespace vk {

// Where the caret stands, as the status line reports it. Positions count a
// line end as two characters, as the editor's text does.
struct CaretPlace {
    int pos = 0;             // end of the selection
    int row = 0;             // 0-based line that holds `pos`
    int lineStart = 0;       // first position of that line
    std::string_view line;   // that line, without its line end
    unsigned char next = 0;  // the character at `pos`; 0 at the end of the text
    int textLength = 0;
};

// The caret read-out of the status line, e.g. "Row 3  Col 5  Char 1  Asc 068".
// Col counts from the start of the line, Char from its first character above
// a blank (0 or less inside the indentation), Asc is the code of the
// character after the caret. An empty text reads "1 / 0".
[[nodiscard]] std::string FormatCaretPlace(const CaretPlace& place);

}  // namespace vk
