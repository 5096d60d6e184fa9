#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

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
    auto name = [&]() -> std::string_view { return kNames[next(10)]; };
    auto field = [&]() -> std::string_view { return kFields[next(5)]; };

    std::string text;
    text.reserve(bytes + 512);
    // Appending piece by piece; long operator+ chains trip a false -Wrestrict
    // in GCC 12 at -O3.
    auto add = [&text](std::initializer_list<std::string_view> pieces) {
        for (std::string_view piece : pieces) text += piece;
    };
    auto number = [&](std::uint32_t bound) { return std::to_string(next(bound)); };
    add({"$OBJECT=Form\r\nOption Explicit\r\n' Detail form script\r\n\r\n"});
    int sub = 0;
    while (text.size() < bytes) {
        const std::string_view kind = next(3) == 0 ? "Function" : "Sub";
        add({kind, " Form_Event", std::to_string(sub++), "(ByVal x)\r\n"});
        const std::uint32_t statements = 4 + next(12);
        for (std::uint32_t s = 0; s < statements; ++s) {
            switch (next(8)) {
                case 0:
                    add({"\tDim ", name(), ", ", name(), "\r\n"});
                    break;
                case 1:
                    add({"\tIf ", name(), " <> \"\" Then\r\n\t\t", name(), " = ", name(),
                         " & \"; \" & Form.Field(\"", field(), "\").Value\r\n\tElse\r\n\t\t",
                         name(), " = &H", number(89), "F\r\n\tEnd If\r\n"});
                    break;
                case 2:
                    add({"\t' ", name(), " keeps the {value} of the \\last\\ call\r\n"});
                    break;
                case 3:
                    add({"\t", name(), " = ", number(1000), ".", number(100), "E2 * (", name(),
                         " + 1)\r\n"});
                    break;
                case 4:
                    add({"\tCall Form.Save()  ' save it\r\n"});
                    break;
                case 5:
                    add({"\tRem check the ", field(), " field\r\n"});
                    break;
                case 6:
                    add({"\tFor ", name(), " = 1 To ", number(50), "\r\n\t\tMsgBox \"Item \" & ",
                         name(), "\r\n\tNext\r\n"});
                    break;
                default:
                    add({"\tSet ", name(), " = Nothing\r\n"});
                    break;
            }
        }
        add({"End ", kind, "\r\n\r\n"});
    }
    return text;
}

}  // namespace vk::bench
