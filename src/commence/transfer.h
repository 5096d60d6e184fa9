#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace vk {

class DdeConversation;
class MessageService;
class Registry;
class StatusSink;

// The form whose script travels, and the database that holds it.
struct FormLocation {
    std::string database;
    std::string category;
    std::string form;
};

// How often a check-out or check-in execute is offered again while the DDE
// client does not accept it, and the pause between two offers.
struct ExecuteRetry {
    int attempts = 50;
    std::chrono::milliseconds pause{100};
};

// Sends `command` until the conversation accepts it. Throws EDDEFailed
// ("Error accessing <database>: Commence did not accept the command") when
// every attempt is refused, so a lost Commence never hangs the editor.
void ExecuteUntilAccepted(DdeConversation& conversation, std::string_view command,
                          std::string_view database, const ExecuteRetry& retry = {});

// Checks the form's script out into a new temporary file ("VBS" prefix) and
// returns the file's full path; the caller loads and deletes it. The first
// connect runs without a launch command line, the second starts Commence for
// the database. Status: "Requesting script from Commence" (level 0), then
// the ready text (level 1). Throws EDDEFailed ("Error accessing <database>")
// when Commence cannot be reached; the temporary file is removed then.
[[nodiscard]] std::string CommenceToFile(Registry& registry, const FormLocation& location,
                                         StatusSink& status, const ExecuteRetry& retry = {});

// Checks the script file in as the form's script and deletes the file on
// every path. Status: "Transfering file to Commence" (level 0), then the
// ready text (level 1). Returns true when Commence stored the script, after
// running `onStored` (the editor clears its modified flag and the "Modified"
// panel there). Reports its own failures and returns false: a conversation
// or transfer failure goes to the status line at level 2 (so a caller's
// closing "Ready" does not hide it), a refusal by Commence to an error box.
// A "[GetLastError]" reply that is not a number throws EConvertError.
bool FileToCommence(Registry& registry, const FormLocation& location, const std::string& file,
                    StatusSink& status, MessageService& messages,
                    const std::function<void()>& onStored, const ExecuteRetry& retry = {});

// The message of a check-in refused with `code` (1 category, 2 form, other).
[[nodiscard]] std::string CheckInRefusal(int code, const FormLocation& location);

// Status level of a link failure reported by FileToCommence.
inline constexpr int kLinkFailureStatusLevel = 2;

}  // namespace vk
