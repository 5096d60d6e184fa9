#include "commence/transfer.h"

#include <ctime>
#include <optional>
#include <thread>

#include "commence/check_in_recorder.h"
#include "commence/commands.h"
#include "commence/conversation.h"
#include "commence/database_link.h"
#include "common/exceptions.h"
#include "common/file_bytes.h"
#include "common/script_limits.h"
#include "common/status_sink.h"
#include "common/text_helpers.h"
#include "document/script_checksum.h"
#include "document/script_lines.h"
#include "document/tag_lines.h"
#include "platform/machine.h"
#include "platform/temp_files.h"

namespace vk {
namespace {

constexpr std::string_view kTempPrefix = "VBS";

std::string AccessError(std::string_view database) {
    return "Error accessing " + std::string(database);
}

// A conversation that answered before and now does not: Commence went away
// in the middle of the transaction.
EDDEFailed StoppedAnswering(std::string_view database) {
    return EDDEFailed(AccessError(database) + ": Commence stopped answering");
}

TempFileRemoval CreateScriptFile() {
    std::optional<std::string> created = TempFiles::CreateTempFile(kTempPrefix);
    if (!created)
        throw Exception("Unable to create a temporary file in " + TempFiles::Folder().string());
    return TempFileRemoval(std::move(*created));
}

// "[GetLastError]" on the conversation: the code of its previous transaction.
// Throws EDDEFailed when Commence gives no reply, EConvertError when the
// reply is not a decimal integer.
int LastError(DdeConversation& conversation, std::string_view database) {
    const std::optional<std::string> reply = conversation.Request(commands::kGetLastError);
    if (!reply) throw StoppedAnswering(database);
    return StrToInt(*reply);
}

// The saved tag line, with the user name Commence knows, asked on the
// check-in's own conversation.
std::string SavedTag(DdeConversation& conversation, std::string_view database,
                     const CheckInTags& tags) {
    const std::optional<std::string> preference =
        conversation.Request(commands::GetUserPreference());
    const bool noUserName = LastError(conversation, database) == commands::kNoUserName;
    const std::string name = noUserName ? tags.userName : SavedTagUserName(preference.value_or(""));
    return SavedTagLine(Machine::FormatShortDateLongTime(std::time(nullptr)), tags.computerName,
                        name);
}

// Whether the server stores a script only while it is unchanged: the
// project's own server says so, Commence answers nothing.
bool OffersConditionalCheckIn(DdeConversation& conversation) {
    const std::optional<std::string> features = conversation.Request(commands::kGetServerFeatures);
    if (!features) return false;
    for (std::string_view rest = *features; !rest.empty();) {
        const std::size_t end = rest.find_first_of("\r\n");
        if (rest.substr(0, end) == commands::kConditionalCheckIn) return true;
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return false;
}

CheckInResult ChangedBeforeStore(const FormLocation& location,
                                 std::optional<std::string> commenceScript) {
    CheckInResult changed{CheckInResult::Outcome::Changed, commands::kChangedSince,
                          "The script of " + location.form +
                              " changed in Commence since it was last seen; nothing was stored"};
    changed.commenceScript = std::move(commenceScript);
    return changed;
}

}  // namespace

void ExecuteUntilAccepted(DdeConversation& conversation, std::string_view command,
                          std::string_view database, const ExecuteRetry& retry) {
    for (int attempt = 0; attempt < retry.attempts; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(retry.pause);
        if (conversation.Execute(command)) return;
    }
    throw EDDEFailed(AccessError(database) + ": Commence did not accept the command");
}

ScriptTransfer::ScriptTransfer(Registry& registry, StatusSink& status, ExecuteRetry retry)
    : registry_(registry), status_(status), retry_(retry) {}

std::string ScriptTransfer::CheckOut(const FormLocation& location) {
    status_.SetStatus("Requesting script from Commence", 0);
    DdeConversation conversation;
    const TempFileRemoval file = CreateScriptFile();

    conversation.SetLink(commands::kService, location.database);
    if (!conversation.OpenLink()) {
        conversation.SetLaunchCommandLine(DatabaseLaunchCommandLine(registry_, location.database));
        conversation.SetLink(commands::kService, location.database);
        if (!conversation.OpenLink()) throw EDDEFailed(AccessError(location.database));
    }

    ExecuteUntilAccepted(
        conversation, commands::CheckOutFormScript(location.category, location.form, file.Path()),
        location.database, retry_);

    // The execute does not wait; a request on a fresh conversation is answered
    // only once Commence has written the file, and that answer is what marks
    // the end of the script. Any answer will do, a refusal included; but a
    // Commence that went away (or never answers) may have stopped half-way
    // through the file, and a script cut short must not pass for the whole.
    // The fresh conversation only connects: a Commence started anew would
    // answer for a file nobody finished.
    conversation.CloseLink();
    DdeConversation waiting;
    waiting.SetLink(commands::kService, location.database);
    if (!waiting.OpenRunningLink()) throw StoppedAnswering(location.database);
    if (!waiting.Request(commands::kStatus) && (!waiting.IsOpen() || waiting.LastRequestTimedOut()))
        throw StoppedAnswering(location.database);
    waiting.CloseLink();

    std::string error;
    std::optional<std::string> script = ReadWholeFile(file.Path(), &error, kMaxScriptBytes);
    if (!script && error.rfind("larger than", 0) == 0)
        throw Exception("The script of " + location.form + " is " + ScriptLimitText());
    if (!script)
        throw Exception("Cannot read the checked-out script " + file.Path() + ": " + error);
    status_.SetStatus("", 1);
    return std::move(*script);
}

std::string CheckInRefusal(int code, const FormLocation& location) {
    const std::string lead = "There was an error saving the script.\r";
    switch (code) {
        case commands::kInvalidCategory:
            return lead + "The category \"" + location.category + "\" is invalid.";
        case commands::kInvalidForm:
            return lead + "The detail form \"" + location.form + "\" is invalid.";
        default:
            return lead + "Please try again.";
    }
}

CheckInResult ScriptTransfer::CheckIn(const FormLocation& location, ScriptLines& lines,
                                      const CheckInTags& tags, const CheckInGuard& guard) {
    using Outcome = CheckInResult::Outcome;
    status_.SetStatus("Writing script to file", 0);
    DdeConversation conversation;
    if (!OpenDatabaseLink(conversation, registry_, location.database)) {
        status_.SetStatus("", 1);
        return {Outcome::Unreachable, 0, AccessError(location.database)};
    }
    try {
        TagRefreshInputs inputs;
        inputs.settings = tags.settings;
        inputs.linkOpen = true;
        inputs.categoryTag = CategoryTagLine(location.category, location.form);
        inputs.savedTag = [&]() -> std::optional<std::string> {
            return SavedTag(conversation, location.database, tags);
        };
        RefreshTags(lines, inputs);

        const TempFileRemoval file = CreateScriptFile();
        const std::string script = lines.CanonicalText();
        std::string why;
        if (!WriteWholeFile(file.Path(), script, &why))
            throw Exception("Cannot write the script to " + file.Path() + ": " + why);
        status_.SetStatus("", 1);

        status_.SetStatus("Transfering file to Commence", 0);
        // Decided only now, right before the store, so that as little time as
        // the link allows lies between the comparison and the store.
        bool conditional = false;
        if (guard.basedOn) {
            conditional = OffersConditionalCheckIn(conversation);
            if (!conditional) {
                std::string now = CheckOut(location);
                if (ChangedSinceBase(*guard.basedOn, now)) {
                    status_.SetStatus("", 1);
                    return ChangedBeforeStore(location, std::move(now));
                }
                status_.SetStatus("Transfering file to Commence", 0);
            }
        }
        ExecuteUntilAccepted(
            conversation,
            conditional
                ? commands::CheckInFormScriptIf(location.category, location.form, file.Path(),
                                                FormatChecksum(guard.basedOn->checksum))
                : commands::CheckInFormScript(location.category, location.form, file.Path()),
            location.database, retry_);
        // The reply is what waits for Commence to have read the file, so the
        // file goes only after it.
        const int code = LastError(conversation, location.database);
        conversation.CloseLink();
        status_.SetStatus("", 1);
        if (conditional && code == commands::kChangedSince) {
            std::optional<std::string> now;
            try {
                now = CheckOut(location);
            } catch (const Exception&) {
                // The other version is only kept when it can be had.
            }
            return ChangedBeforeStore(location, std::move(now));
        }
        if (code != commands::kStored)
            return {Outcome::Refused, code, CheckInRefusal(code, location)};
        if (CheckInRecorder* recorder = InstalledCheckInRecorder())
            recorder->CheckedIn(location, script);
        if (!guard.verify) return {Outcome::Stored, code, {}};
        std::string stored = CheckOut(location);
        if (stored != script) {
            CheckInResult replaced{Outcome::Changed, code,
                                   "The script of " + location.form +
                                       " was stored, and another check-in replaced it at once"};
            replaced.replacedAfterStore = true;
            replaced.commenceScript = std::move(stored);
            return replaced;
        }
        CheckInResult result{Outcome::Stored, code, {}};
        result.commenceScript = std::move(stored);
        return result;
    } catch (const EDDEFailed& e) {
        status_.SetStatus("", 1);
        return {Outcome::Unreachable, 0, e.what()};
    }
}

}  // namespace vk
