#pragma once

// What the recovery typist (a real editor process the tests kill) types,
// shared by the program and the tests that check what it left behind.

#include <string>

#include "editor/line_model.h"

namespace vk::test {

// The form the typist opens.
inline constexpr const char* kTypistDatabase = "Demo Sales";
inline constexpr const char* kTypistCategory = "Account";
inline constexpr const char* kTypistForm = "Account";

// Lines the typist adds below the script before it types, so that each
// write of the recovery file takes a while and a kill can fall into one.
inline std::string TypistPadding(int lines) {
    std::string padding;
    for (int i = 0; i < lines; ++i)
        padding += "' padding line " + std::to_string(i) + " to make the file long\r\n";
    return padding;
}

// The key the typist types as its `index`-th: letters, and Enter after each
// thirty of them.
inline char TypistKey(int index) {
    return index % 31 == 30 ? '\r' : static_cast<char>('a' + index % 26);
}

// The editor's text once the typist has typed `keys` keys at the end of
// `opened` (the script with its padding).
inline std::string TypistText(const std::string& opened, int keys) {
    std::string text = opened;
    for (int i = 0; i < keys; ++i) {
        const char key = TypistKey(i);
        text += key == '\r' ? std::string("\r\n") : std::string(1, key);
    }
    return CanonicalText(text);
}

}  // namespace vk::test
