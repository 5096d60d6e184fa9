#pragma once

#include <string>
#include <string_view>

namespace vk::commands {

// The DDE service every Commence answers; the topic is a database name.
inline constexpr std::string_view kService = "Commence";

// Request items and execute commands of the Commence DDE service. Each
// argument is inserted unchanged between double quotes: a name holding a
// double quote is sent as it stands, as Commence expects.
[[nodiscard]] std::string GetCategoryNames();
[[nodiscard]] std::string GetFormNames(std::string_view category);
[[nodiscard]] std::string GetFieldNames(std::string_view category);
[[nodiscard]] std::string GetFieldDefinition(std::string_view category, std::string_view field);
// The two delimiters separate a connection from its category and one
// connection from the next: "\r\n", "\r\n" gives alternating lines.
[[nodiscard]] std::string GetConnectionNames(std::string_view category, std::string_view delimiter1,
                                             std::string_view delimiter2);
[[nodiscard]] std::string GetItemNames(std::string_view category);
// Asks for the current user's preferences; the reply's text after its first
// TAB is the user name.
[[nodiscard]] std::string GetUserPreference();
[[nodiscard]] std::string CheckOutFormScript(std::string_view category, std::string_view form,
                                             std::string_view file);
[[nodiscard]] std::string CheckInFormScript(std::string_view category, std::string_view form,
                                            std::string_view file);

// Beyond Commence: the project's own server stores the script only while the
// form's current script still has `checksum` (its CRC-32 of every byte as
// eight lowercase hexadecimal digits), in one step no other check-in can
// come between. Sent only to a server that lists kConditionalCheckIn.
[[nodiscard]] std::string CheckInFormScriptIf(std::string_view category, std::string_view form,
                                              std::string_view file, std::string_view checksum);

// Asks which transactions a server offers beyond Commence's own, one per
// line. Commence itself knows no such request and answers nothing.
inline constexpr std::string_view kGetServerFeatures = "[GetServerFeatures()]";
inline constexpr std::string_view kConditionalCheckIn = "CheckInFormScriptIf";

// The error code of the previous transaction, as a decimal integer.
inline constexpr std::string_view kGetLastError = "[GetLastError]";
// Any reply will do: the request only waits until Commence is idle again.
inline constexpr std::string_view kStatus = "Status";

// Codes of kGetLastError after a check-in.
inline constexpr int kStored = 0;
inline constexpr int kInvalidCategory = 1;
inline constexpr int kInvalidForm = 2;
// After CheckInFormScriptIf: the script was no longer the one named, and
// nothing was stored.
inline constexpr int kChangedSince = 7;
// Code of kGetLastError after GetUserPreference when no user name is known.
inline constexpr int kNoUserName = 126;

}  // namespace vk::commands
