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

// The user name in Commence's reply to the user-preference request: the
// reply after its first TAB (from its start when it has none), at most 50
// characters, ending before any CR or LF so the tag stays one line.
[[nodiscard]] std::string SavedTagUserName(std::string_view preferenceReply);

}  // namespace vk
