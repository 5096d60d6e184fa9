#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

class MessageService;

// A name a script line passes to the form object, with the 0-based offset of
// its first character in the line. For connections the name reads
// "<connection> <category>"; for a field of a connected category it reads
// "<category>\r\n<field>".
struct NameReference {
    std::string name;
    std::size_t offset = 0;
    bool operator==(const NameReference&) const = default;
};

// The scans take a comment-free line (see StripComment) and match their
// patterns without regard to case; names keep the case the script writes.
// An exact repeat of a name is dropped, keeping its first offset (a repeat
// differing in case is kept, so a wrongly written copy is still checked).

// Field("name") and MoveToField("name") calls that start the line or follow a
// blank and stand outside a string, in line order: the first wrong name is
// the leftmost. A call behind a full stop (Form.Field(...)) is left alone.
[[nodiscard]] std::vector<NameReference> ScanFieldCalls(std::string_view line);

// Connection("name", "category") calls outside a string, and the field of a
// FieldValue("field") that follows such a call; both lists sorted without
// regard to case.
struct ConnectionReferences {
    std::vector<NameReference> connections;
    std::vector<NameReference> connectionFields;
};
[[nodiscard]] ConnectionReferences ScanConnectionCalls(std::string_view line);

// Checks the field and connection names of a script line (its comment is
// dropped first) against `category` of `database` in a running Commence,
// asking Commence afresh on each call; Commence is not started for it.
//
// Returns 0 when every name exists. A name that does not exist (compared
// exactly, case included) is shown in the error box of `messages` and its
// offset in the line returned: fields of the category first (in line order),
// then connections, then the fields of connected categories (each in sorted
// order). A category that does not exist is shown the same way and
// gives 0, so the line break goes through.
//
// Throws EDDEFailed ("Field & connection validation failed") when Commence
// does not answer the connection or one of the requests: an unanswered
// request is never taken for a missing name.
[[nodiscard]] std::size_t ValidateLine(std::string_view database, std::string_view category,
                                       std::string_view line, MessageService& messages);

}  // namespace vk
