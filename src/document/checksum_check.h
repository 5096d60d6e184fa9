#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vk {

class MessageService;
class StatusSink;

inline constexpr std::string_view kChecksumNotFound = "CRC32 Checksum not found";
inline constexpr std::string_view kChecksumCorrect = "CRC32 Checksum is correct";

// What the checksum tag of a loaded script says about it.
struct ChecksumVerdict {
    enum class Outcome { NotFound, Correct, Wrong };
    Outcome outcome = Outcome::NotFound;
    std::uint32_t computed = 0;  // over every line but the tag's line
    std::string stored;          // characters 9 to 16 of the tag's line
};

// Checks a canonical script text against its checksum tag. The tag's line is
// the line holding the first "'#CRC32 " anywhere in the text, even behind a
// statement; its 9th to 16th characters must equal the checksum of all other
// lines as eight lowercase hex digits (uppercase digits do not match).
[[nodiscard]] ChecksumVerdict VerifyChecksum(std::string_view canonicalText);

// "This script's checksum is not correct.\rThe calculated checksum is
// 0123abcd\rThe stored checksum is ..." for a wrong verdict.
[[nodiscard]] std::string WrongChecksumMessage(const ChecksumVerdict& verdict);

// The check after a load: the found/correct texts go to the status line
// (level 1), a wrong checksum to a warning box. It never stops the load.
void VerifyChecksumTag(std::string_view canonicalText, StatusSink& status,
                       MessageService& messages);

// "The CRC32 checksum for the current script is %8.8x", with a note for an
// empty script (00000000) and for Commence's default script (fc177257).
[[nodiscard]] std::string ShowChecksumMessage(std::uint32_t checksum);

// The Show CheckSum command over the whole canonical text, tags included:
// an information box with an OK button.
void ShowChecksum(std::string_view canonicalText, MessageService& messages);

}  // namespace vk
