#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vk {

// The three tag comment lines a script carries. Each is recognised by its
// prefix alone (case-sensitive, the blank included).
inline constexpr std::string_view kCategoryTagPrefix = "'#Category ";
inline constexpr std::string_view kSavedTagPrefix = "'#Saved ";
inline constexpr std::string_view kChecksumTagPrefix = "'#CRC32 ";

// "'#Category Contacts, Contact Form".
[[nodiscard]] std::string CategoryTagLine(std::string_view category, std::string_view form);

// "'#Saved 03/04/2024 14:05:09 on \\HOST by Ann": the date and time as the
// machine formats them, then the computer and the user's name.
[[nodiscard]] std::string SavedTagLine(std::string_view dateTime, std::string_view computer,
                                       std::string_view user);

// "'#CRC32 0000001a".
[[nodiscard]] std::string ChecksumTagLine(std::uint32_t checksum);

// The name a saved tag carries, from the replies to "[GetPreference(Me,"\t")]"
// and the "[GetLastError]" that follows it. Error 126 means Commence has no
// user name and `userName` (the login name) stands in. Otherwise the name is
// the preference reply after its first TAB (from its start when it has none),
// at most 50 characters, and it ends before any CR or LF so the tag stays one
// line. Throws EConvertError when `lastError` is not a decimal integer.
[[nodiscard]] std::string SavedTagUserName(std::string_view preferenceReply,
                                           std::string_view lastError, std::string_view userName);

// The requests the saved tag sends, in order.
inline constexpr std::string_view kGetPreferenceUserName = "[GetPreference(Me,\"\t\")]";
inline constexpr std::string_view kGetLastError = "[GetLastError]";

}  // namespace vk
