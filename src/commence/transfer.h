#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "commence/form_location.h"
#include "document/script_checksum.h"
#include "document/tag_refresh.h"

namespace vk {

class DdeConversation;
class Registry;
class ScriptLines;
class StatusSink;

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

// Who stores the script, for the tag lines a check-in refreshes.
struct CheckInTags {
    TagSettings settings;
    std::string computerName;
    std::string userName;  // the login name, used when Commence knows none
};

// What a check-in that must not overwrite anybody else's work makes sure
// of. Without it, a check-in stores whatever Commence holds, as the editor's
// update does.
struct CheckInGuard {
    // Store only while Commence still holds the script of this print (the
    // one the new script was made from). Where the server offers a
    // conditional store, the comparison and the store are one step; with
    // Commence itself, the script is checked out and compared right before
    // the store, which leaves only the moment between the two open.
    std::optional<ScriptPrint> basedOn;
    // After the store, read the script back and compare it with what was
    // sent: a check-in that landed right after this one shows there.
    bool verify = false;
};

// How a check-in ended. Anything else (a temporary file that cannot be
// written, a "[GetLastError]" reply that is not a number) is thrown.
struct CheckInResult {
    enum class Outcome {
        Stored,       // Commence stored the script
        Refused,      // Commence answered with an error code; see `message`
        Unreachable,  // no conversation, or Commence stopped answering
        Changed,      // the script changed in Commence under the check-in (see CheckInGuard)
    };
    Outcome outcome = Outcome::Stored;
    int commenceCode = 0;  // the "[GetLastError]" code, when Commence gave one
    std::string message;   // what to show for Refused, Unreachable and Changed
    // Changed: true when this script was stored and another replaced it
    // right after; false when Commence held another one before and nothing
    // was stored.
    bool replacedAfterStore = false;
    // Changed: the other version, as Commence holds it now (when it could be
    // read). Stored with `verify`: the script Commence holds, read back.
    std::optional<std::string> commenceScript = std::nullopt;
};

// The road of a form's script between Commence and its editors, the same for
// the editor and the command-line tool. A script never travels inside a DDE
// message: Commence writes it to a temporary file ("VBS" prefix) this service
// names, or reads it from one it wrote; the files never leave the service and
// are gone when a call returns, on every path.
class ScriptTransfer {
public:
    ScriptTransfer(Registry& registry, StatusSink& status, ExecuteRetry retry = {});

    // The form's script, byte for byte. The first connect runs without a
    // launch command line, the second starts Commence for the database.
    // Status: "Requesting script from Commence" (level 0), then the ready
    // text (level 1). Throws EDDEFailed ("Error accessing <database>") when
    // Commence cannot be reached, or when it goes away (or stops answering)
    // before it has said the script is written: the file may then be cut
    // short. Throws vk::Exception when the checked-out file cannot be read
    // or is longer than any script may be.
    [[nodiscard]] std::string CheckOut(const FormLocation& location);

    // Refreshes the tag lines of `lines` as `tags` ask, then stores the
    // canonical text as the form's script. Everything runs on one
    // conversation: the saved tag's user name, the check-in and the
    // "[GetLastError]" that tells how it went (each code belongs to the
    // previous request of its own conversation, so nothing needs a second
    // one). Status: "Writing script to file" (0), ready (1), "Transfering
    // file to Commence" (0), ready (1). Without a conversation no tag is
    // touched and nothing is sent. A guard adds its check-outs (and asks the
    // server for its features) around the store; see CheckInGuard. A stored
    // script is told to the installed CheckInRecorder (check_in_recorder.h),
    // when there is one.
    [[nodiscard]] CheckInResult CheckIn(const FormLocation& location, ScriptLines& lines,
                                        const CheckInTags& tags, const CheckInGuard& guard = {});

private:
    Registry& registry_;
    StatusSink& status_;
    ExecuteRetry retry_;
};

// The message of a check-in refused with `code` (1 category, 2 form, other).
[[nodiscard]] std::string CheckInRefusal(int code, const FormLocation& location);

// Status level at which the editor shows a check-in's link failure, so that
// an operation's closing "Ready" does not hide it.
inline constexpr int kLinkFailureStatusLevel = 2;

}  // namespace vk
