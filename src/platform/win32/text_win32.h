#pragma once

#include <string>
#include <string_view>

namespace vk::win32 {

// Text of the wide Win32 calls in the ANSI code page this program works in
// (Windows-1252 on a Western system); characters it lacks become '?'.
[[nodiscard]] std::string ToAnsi(std::wstring_view text);

// ANSI text as the wide Win32 calls take it.
[[nodiscard]] std::wstring FromAnsi(std::string_view text);

// The system's message for an error code, without its line break.
[[nodiscard]] std::string ErrorText(unsigned long code);

}  // namespace vk::win32
