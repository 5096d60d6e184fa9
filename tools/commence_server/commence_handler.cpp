#include "commence_handler.h"

#include <utility>
#include <vector>

#include "command_parser.h"
#include "commence/commands.h"
#include "common/text_helpers.h"
#include "default_script.h"
#include "document/script_checksum.h"
#include "transfer_file.h"

namespace vk::commence_server {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += kLineEnd;
        text += lines[i];
    }
    return text;
}

// Names are answered as lines; a failed lookup answers the empty text, and
// [GetLastError] tells why.
std::string namesReply(const Lookup<std::vector<std::string>>& names, StoreError& error) {
    error = names.error;
    return names.ok() ? joinLines(names.value) : std::string();
}

}  // namespace

CommenceHandler::CommenceHandler(std::string database, CommenceStore& store)
    : database_(std::move(database)), store_(store) {}

bool CommenceHandler::AcceptTopic(std::string_view topic) { return topic == database_; }

bool CommenceHandler::Execute(DdeConversationId conversation, std::string_view topic,
                              std::string_view text) {
    if (topic != database_) return false;
    StoreError& lastError = lastErrors_[conversation];
    const auto command = ParseCommand(text);
    const bool checkOut = command && EqualsIgnoringAsciiCase(command->name, "CheckOutFormScript");
    const bool checkIn = command && EqualsIgnoringAsciiCase(command->name, "CheckInFormScript");
    const bool checkInIf = command && EqualsIgnoringAsciiCase(command->name, "CheckInFormScriptIf");
    if (!command || !command->bracketed || (!checkOut && !checkIn && !checkInIf) ||
        command->args.size() != (checkInIf ? 4u : 3u)) {
        lastError = StoreError::InvalidCommand;
        return false;
    }
    const auto& args = command->args;
    try {
        if (checkOut)
            lastError = CheckOut(args[0], args[1], args[2]);
        else
            lastError =
                CheckIn(args[0], args[1], args[2],
                        checkInIf ? std::optional<std::string_view>(args[3]) : std::nullopt);
    } catch (const StoreFailure&) {
        lastError = StoreError::Storage;
    }
    return true;
}

std::optional<std::string> CommenceHandler::Request(DdeConversationId conversation,
                                                    std::string_view topic, std::string_view item) {
    if (topic != database_) return std::nullopt;
    StoreError& lastError = lastErrors_[conversation];
    try {
        return Answer(item, lastError);
    } catch (const StoreFailure&) {
        lastError = StoreError::Storage;
        return std::nullopt;
    }
}

void CommenceHandler::ConversationEnded(DdeConversationId conversation) {
    lastErrors_.erase(conversation);
}

std::optional<std::string> CommenceHandler::Answer(std::string_view item, StoreError& lastError) {
    const auto command = ParseCommand(item);
    if (!command) {
        lastError = StoreError::InvalidCommand;
        return std::nullopt;
    }
    const auto& name = command->name;
    const auto& args = command->args;
    const auto is = [&](std::string_view wanted, std::size_t minArgs, std::size_t maxArgs) {
        return command->bracketed && EqualsIgnoringAsciiCase(name, wanted) &&
               args.size() >= minArgs && args.size() <= maxArgs;
    };

    if (!command->bracketed && EqualsIgnoringAsciiCase(name, "Status")) return std::string("Ready");
    if (is("GetServerFeatures", 0, 0)) {
        lastError = StoreError::None;
        return std::string(commands::kConditionalCheckIn);
    }
    if (is("GetLastError", 0, 0)) return std::to_string(static_cast<int>(lastError));

    if (is("GetCategoryNames", 0, 0)) {
        lastError = StoreError::None;
        return joinLines(store_.CategoryNames());
    }
    if (is("GetFormNames", 1, 1)) return namesReply(store_.FormNames(args[0]), lastError);
    if (is("GetFieldNames", 1, 1)) return namesReply(store_.FieldNames(args[0]), lastError);
    if (is("GetItemNames", 1, 1)) return namesReply(store_.ItemNames(args[0]), lastError);
    if (is("GetFieldDefinition", 2, 2)) {
        const auto field = store_.FieldDefinitionOf(args[0], args[1]);
        lastError = field.error;
        if (!field.ok()) return std::string();
        std::string reply = std::to_string(field.value.type);
        if (!field.value.definition.empty()) reply.append(kLineEnd).append(field.value.definition);
        return reply;
    }
    if (is("GetConnectionNames", 1, 3)) {
        // Between entries the second argument, between a connection's name
        // and its category the third; missing ones default to CR LF.
        const std::string between = args.size() > 1 ? args[1] : std::string(kLineEnd);
        const std::string inside = args.size() > 2 ? args[2] : between;
        const auto connections = store_.Connections(args[0]);
        lastError = connections.error;
        std::string reply;
        for (std::size_t i = 0; i < connections.value.size(); ++i) {
            if (i > 0) reply += between;
            reply += connections.value[i].name + inside + connections.value[i].category;
        }
        return reply;
    }
    if (is("GetPreference", 1, 2)) {
        // "Me" is the current user: the category of the user's own item, the
        // delimiter, and the item's name, the user name.
        const std::string delimiter = args.size() > 1 ? args[1] : std::string("\t");
        if (EqualsIgnoringAsciiCase(args[0], "Me")) {
            const auto user = store_.Preference("Me");
            if (!user || user->empty()) {
                lastError = StoreError::NoValue;
                return std::string();
            }
            lastError = StoreError::None;
            return store_.Preference("MeCategory").value_or(std::string()) + delimiter + *user;
        }
        const auto value = store_.Preference(args[0]);
        lastError = value ? StoreError::None : StoreError::NoValue;
        return value.value_or(std::string());
    }

    lastError = StoreError::InvalidCommand;
    return std::nullopt;
}

StoreError CommenceHandler::CheckOut(std::string_view category, std::string_view form,
                                     std::string_view file) {
    const auto script = store_.FormScript(category, form);
    if (!script.ok()) return script.error;
    const std::string_view bytes =
        script.value ? std::string_view(*script.value) : DefaultFormScript();
    return WriteTransferFile(file, bytes) ? StoreError::None : StoreError::FileAccess;
}

StoreError CommenceHandler::CheckIn(std::string_view category, std::string_view form,
                                    std::string_view file,
                                    std::optional<std::string_view> expectedChecksum) {
    // Name the invalid category or form before looking at the file, as the
    // client's messages do.
    const auto current = store_.FormScript(category, form);
    if (!current.ok()) return current.error;
    if (expectedChecksum) {
        const std::string_view now =
            current.value ? std::string_view(*current.value) : DefaultFormScript();
        if (FormatChecksum(PrintOf(now).checksum) != *expectedChecksum)
            return StoreError::ChangedSince;
    }
    const auto bytes = ReadTransferFile(file, kMaxScriptBytes);
    if (!bytes) return StoreError::FileAccess;
    return store_.StoreFormScript(category, form, *bytes);
}

}  // namespace vk::commence_server
