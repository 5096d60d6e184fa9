#include "commence/transfer.h"

#include <filesystem>
#include <optional>
#include <thread>

#include "commence/commands.h"
#include "commence/conversation.h"
#include "commence/database_link.h"
#include "common/exceptions.h"
#include "common/messages.h"
#include "common/status_sink.h"
#include "common/text_helpers.h"
#include "platform/temp_files.h"

namespace vk {
namespace {

constexpr std::string_view kTempPrefix = "VBS";

EDDEFailed AccessError(std::string_view database) {
    return EDDEFailed("Error accessing " + std::string(database));
}

// Removes a file when it goes out of scope unless released; a file that is
// already gone is no error.
class FileRemover {
public:
    explicit FileRemover(std::string file) : file_(std::move(file)) {}
    ~FileRemover() {
        if (!file_.empty()) TempFiles::DeleteFile(file_);
    }
    FileRemover(const FileRemover&) = delete;
    FileRemover& operator=(const FileRemover&) = delete;
    void Release() { file_.clear(); }

private:
    std::string file_;
};

}  // namespace

void ExecuteUntilAccepted(DdeConversation& conversation, std::string_view command,
                          std::string_view database, const ExecuteRetry& retry) {
    for (int attempt = 0; attempt < retry.attempts; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(retry.pause);
        if (conversation.Execute(command)) return;
    }
    throw EDDEFailed("Error accessing " + std::string(database) +
                     ": Commence did not accept the command");
}

std::string CommenceToFile(Registry& registry, const FormLocation& location, StatusSink& status,
                           const ExecuteRetry& retry) {
    status.SetStatus("Requesting script from Commence", 0);
    DdeConversation conversation;
    const std::optional<std::string> created = TempFiles::CreateTempFile(kTempPrefix);
    if (!created)
        throw Exception("Unable to create a temporary file in " + TempFiles::Folder().string());
    const std::string& file = *created;
    // Nothing else will ever read a file whose check-out failed.
    FileRemover removeOnFailure(file);

    conversation.SetLink(commands::kService, location.database);
    if (!conversation.OpenLink()) {
        conversation.SetLaunchCommandLine(DatabaseLaunchCommandLine(registry, location.database));
        conversation.SetLink(commands::kService, location.database);
        if (!conversation.OpenLink()) throw AccessError(location.database);
    }

    ExecuteUntilAccepted(conversation,
                         commands::CheckOutFormScript(location.category, location.form, file),
                         location.database, retry);

    // The execute does not wait; a request on a fresh conversation is answered
    // only once Commence has written the file. An empty or failed reply is
    // of no concern.
    conversation.CloseLink();
    conversation.SetLink(commands::kService, location.database);
    if (conversation.OpenLink()) {
        (void)conversation.Request(commands::kStatus);
        conversation.CloseLink();
    }

    removeOnFailure.Release();
    status.SetStatus("", 1);
    return file;
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

bool FileToCommence(Registry& registry, const FormLocation& location, const std::string& file,
                    StatusSink& status, MessageService& messages,
                    const std::function<void()>& onStored, const ExecuteRetry& retry) {
    FileRemover removeAlways(file);
    status.SetStatus("Transfering file to Commence", 0);
    try {
        int code = 0;
        {
            DdeConversation conversation;
            if (!OpenDatabaseLink(conversation, registry, location.database))
                throw AccessError(location.database);
            ExecuteUntilAccepted(
                conversation, commands::CheckInFormScript(location.category, location.form, file),
                location.database, retry);
            const std::string reply = conversation.RequestText(commands::kGetLastError);
            conversation.CloseLink();
            code = StrToInt(reply);
        }
        if (code != commands::kStored) throw EMacroFailed(CheckInRefusal(code, location));
        if (onStored) onStored();
        status.SetStatus("", 1);
        return true;
    } catch (const EDDEFailed& e) {
        status.SetStatus("", 1);
        status.SetStatus(e.what(), kLinkFailureStatusLevel);
    } catch (const EMacroFailed& e) {
        status.SetStatus("", 1);
        messages.Show(e.what(), MessageIcon::Error, MessageButtons::Ok);
    }
    return false;
}

}  // namespace vk
