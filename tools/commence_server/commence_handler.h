#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "common/script_limits.h"
#include "platform/dde.h"
#include "store.h"

namespace vk::commence_server {

// Answers the Commence DDE transactions for one database (the topic).
//
// Requests: [GetCategoryNames()], [GetFormNames("cat")], [GetFieldNames("cat")],
// [GetFieldDefinition("cat","field")], [GetConnectionNames("cat","d2","d3")],
// [GetItemNames("cat")], [GetPreference(Me,"d")], [GetLastError] and Status.
// Executes: [CheckOutFormScript("cat","form","file")] and
// [CheckInFormScript("cat","form","file")].
//
// Beyond Commence, [GetServerFeatures()] answers "CheckInFormScriptIf": the
// execute [CheckInFormScriptIf("cat","form","file","crc32")] stores the file
// only while the form's current script (Commence's default script for a form
// without one) has that CRC-32 of every byte, else code 7 (ChangedSince).
// Every transaction is handled to its end before the next, so nothing comes
// between the comparison and the store.
//
// Multi-line replies join their lines with CR LF and do not end in one. Every
// transaction but [GetLastError] and Status sets the code [GetLastError]
// reports (see StoreError). The code is kept per conversation, as Commence
// keeps it: a client asking why its check-in failed must not be told what
// another client's last transaction did. Texts that are no known command are refused: an
// execute returns false, a request gets no reply.
class CommenceHandler final : public DdeServerHandler {
public:
    CommenceHandler(std::string database, CommenceStore& store);

    bool AcceptTopic(std::string_view topic) override;
    bool Execute(DdeConversationId conversation, std::string_view topic,
                 std::string_view command) override;
    std::optional<std::string> Request(DdeConversationId conversation, std::string_view topic,
                                       std::string_view item) override;
    void ConversationEnded(DdeConversationId conversation) override;

private:
    std::optional<std::string> Answer(std::string_view item, StoreError& lastError);
    StoreError CheckOut(std::string_view category, std::string_view form, std::string_view file);
    StoreError CheckIn(std::string_view category, std::string_view form, std::string_view file,
                       std::optional<std::string_view> expectedChecksum);

    std::string database_;
    CommenceStore& store_;
    std::unordered_map<DdeConversationId, StoreError> lastErrors_;
};

}  // namespace vk::commence_server
