#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vk::bench {

// A script of about `bytes` bytes (or `lines` lines) that the checker finds
// nothing wrong with, written the way form scripts are: Option Explicit,
// script-level constants and variables, Subs and Functions with locals,
// If/ElseIf/Else, Select Case, loops, With, calls of the script's own
// procedures, form fields, comments, and a class now and then. The same
// seed always gives the same text.
inline std::string GenerateCheckedScript(std::size_t bytes, std::size_t lines = 0,
                                         std::uint32_t seed = 1) {
    std::uint32_t state = seed;
    auto next = [&state](std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    static const char* const kFields[] = {"Name", "Phone", "City", "Account Number", "Region"};
    std::string text;
    std::size_t lineCount = 0;
    auto add = [&](std::initializer_list<std::string_view> pieces) {
        for (std::string_view piece : pieces) {
            text += piece;
            for (char c : piece) lineCount += c == '\n';
        }
    };
    auto done = [&] { return lines ? lineCount >= lines : text.size() >= bytes; };
    text.reserve(bytes + lines * 40 + 1024);
    add({"$OBJECT=Form\r\nOption Explicit\r\n' Generated detail form script\r\n\r\n",
         "Const LIMIT = 100\r\nDim gTotal, gName\r\n\r\n",
         "Function Clamp(ByVal value, ByVal low)\r\n    If value < low Then\r\n"
         "        Clamp = low\r\n    Else\r\n        Clamp = value\r\n    End If\r\n"
         "End Function\r\n\r\n"});
    for (std::size_t n = 0; !done(); ++n) {
        const std::string id = std::to_string(n);
        const std::string_view field = kFields[next(5)];
        switch (next(6)) {
            case 0:
                add({"Sub Form_OnEvent", id, "(ByVal fieldName)\r\n", "    Dim text, count\r\n",
                     "    text = Trim(Form.Field(\"", field, "\").Value) ' read it\r\n",
                     "    count = Len(text) + Clamp(gTotal, 0)\r\n",
                     "    If count > LIMIT Then\r\n        MsgBox \"Too long: \" & fieldName, "
                     "vbExclamation\r\n",
                     "    ElseIf count = 0 Then\r\n        Exit Sub\r\n    Else\r\n",
                     "        Form.Field(\"", field, "\").Value = UCase(text)\r\n    End If\r\n",
                     "End Sub\r\n\r\n"});
                break;
            case 1:
                add({"Function Weight", id, "(ByVal amount, ByVal ratio)\r\n",
                     "    Dim i, sum\r\n    sum = 0\r\n",
                     "    For i = 1 To 10 Step 2\r\n        sum = sum + amount * ratio / i\r\n"
                     "    Next\r\n",
                     "    Weight", id, " = Round(sum, 2) & \"\"\r\nEnd Function\r\n\r\n"});
                break;
            case 2:
                add({"Sub Pick", id, "(ByVal kind)\r\n    Select Case kind\r\n",
                     "        Case 1, 2: gName = \"small\"\r\n",
                     "        Case 3\r\n            gName = \"large\"\r\n",
                     "        Case Else\r\n            gName = CStr(&H1F + kind)\r\n",
                     "    End Select\r\nEnd Sub\r\n\r\n"});
                break;
            case 3:
                add({"Sub Walk", id, "()\r\n    Dim item, parts\r\n",
                     "    parts = Split(Form.Field(\"", field, "\").Value, \";\")\r\n",
                     "    For Each item In parts\r\n        gTotal = gTotal + Len(item)\r\n"
                     "    Next\r\n",
                     "    Do While gTotal > LIMIT\r\n        gTotal = gTotal - 1\r\n    Loop\r\n",
                     "    With Form.Field(\"", field,
                     "\")\r\n        .Value = gTotal\r\n"
                     "    End With\r\n",
                     "End Sub\r\n\r\n"});
                break;
            case 4:
                add({"Class Counter", id, "\r\n    Private mValue\r\n",
                     "    Public Property Get Value()\r\n        Value = mValue\r\n"
                     "    End Property\r\n",
                     "    Public Sub Add(ByVal by)\r\n        mValue = mValue + by\r\n"
                     "    End Sub\r\nEnd Class\r\n\r\n"});
                break;
            default:
                add({"Sub Form_OnSave", id, "()\r\n", "    Rem keep the total in step\r\n",
                     "    gTotal = Clamp(gTotal + 1, 0)\r\n",
                     "    If gTotal > LIMIT Then gTotal = 0 Else gTotal = gTotal + 1\r\n",
                     "    Call Clamp(gTotal, 1)\r\n", "End Sub\r\n\r\n"});
                break;
        }
    }
    return text;
}

}  // namespace vk::bench
