#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vk::bench {

// Builds a VBScript text of about `bytes` bytes with CR LF line ends, shaped
// like a detail form script: Subs and Functions with Dim, If/Else, string
// concatenation, comments, Rem lines, &H numbers, decimals and a directive.
// The same seed always gives the same text.
inline std::string GenerateScript(std::size_t bytes, std::uint32_t seed = 1) {
    std::uint32_t state = seed;
    auto next = [&state](std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;  // a small LCG is enough here
        return (state >> 8) % bound;
    };
    static const char* const kNames[] = {"strName", "nCount", "objForm", "vItem", "sField",
                                         "i",       "dtWhen", "bDone",   "oConv", "sResult"};
    static const char* const kFields[] = {"Name", "Phone", "City", "Account Number",
                                          "Contact Date"};
    auto name = [&] { return std::string(kNames[next(10)]); };

    std::string text = "$OBJECT=Form\r\nOption Explicit\r\n' Detail form script\r\n\r\n";
    text.reserve(bytes + 512);
    int sub = 0;
    while (text.size() < bytes) {
        const bool function = next(3) == 0;
        const std::string kind = function ? "Function" : "Sub";
        text += kind + " Form_Event" + std::to_string(sub++) + "(ByVal x)\r\n";
        const std::uint32_t statements = 4 + next(12);
        for (std::uint32_t s = 0; s < statements; ++s) {
            switch (next(8)) {
                case 0:
                    text += "\tDim " + name() + ", " + name() + "\r\n";
                    break;
                case 1:
                    text += "\tIf " + name() + " <> \"\" Then\r\n\t\t" + name() + " = " + name() +
                            " & \"; \" & Form.Field(\"" + kFields[next(5)] + "\").Value\r\n" +
                            "\tElse\r\n\t\t" + name() + " = &H" + std::to_string(10 + next(89)) +
                            "F\r\n\tEnd If\r\n";
                    break;
                case 2:
                    text += "\t' " + name() + " keeps the {value} of the \\last\\ call\r\n";
                    break;
                case 3:
                    text += "\t" + name() + " = " + std::to_string(next(1000)) + "." +
                            std::to_string(next(100)) + "E2 * (" + name() + " + 1)\r\n";
                    break;
                case 4:
                    text += "\tCall Form.Save()  ' save it\r\n";
                    break;
                case 5:
                    text += "\tRem check the " + std::string(kFields[next(5)]) + " field\r\n";
                    break;
                case 6:
                    text += "\tFor " + name() + " = 1 To " + std::to_string(next(50)) +
                            "\r\n\t\tMsgBox \"Item \" & " + name() + "\r\n\tNext\r\n";
                    break;
                default:
                    text += "\tSet " + name() + " = Nothing\r\n";
                    break;
            }
        }
        text += "End " + kind + "\r\n\r\n";
    }
    return text;
}

}  // namespace vk::bench
