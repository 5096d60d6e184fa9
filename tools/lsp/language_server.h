#pragma once

#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "commence/category_schema_source.h"
#include "commence/script_name_check.h"
#include "language/builtin_reference.h"
#include "language/script_check.h"
#include "message_stream.h"
#include "script_home.h"
#include "text_document.h"

namespace vk {
class Registry;
}

namespace vk::lsp {

// JSON-RPC and protocol error codes the server answers with.
enum class ErrorCode : int {
    ParseError = -32700,
    InvalidRequest = -32600,
    MethodNotFound = -32601,
    InvalidParams = -32602,
    InternalError = -32603,
    ServerNotInitialized = -32002,
    RequestFailed = -32803,
};

// The language server: one message in, its answers and notifications out,
// all on the calling thread. It writes nothing but protocol messages to its
// sink; what it has to say otherwise goes to standard error.
class LanguageServer {
public:
    LanguageServer(ByteSink& out, Registry& registry);
    ~LanguageServer();

    // Handles one message body (a request, a notification or a response).
    void Handle(std::string_view body);
    // Answers a message that could not be read off the stream.
    void Refuse(ErrorCode code, std::string_view message);
    // Sends the diagnostics of the documents changed since the last call.
    // The loop calls it when no further message is waiting, so that a burst
    // of changes is checked once.
    void Flush();

    [[nodiscard]] bool Exited() const noexcept { return exited_; }
    // 0 after shutdown and exit, 1 after an exit without shutdown.
    [[nodiscard]] int ExitCode() const noexcept { return shutdown_ ? 0 : 1; }
    [[nodiscard]] bool OutputLost() const noexcept { return outputLost_; }

private:
    struct Document;

    void Request(const nlohmann::json& id, const std::string& method, const nlohmann::json& params);
    void Notification(const std::string& method, const nlohmann::json& params);
    void Reply(const nlohmann::json& id, nlohmann::json result);
    void ReplyError(const nlohmann::json& id, ErrorCode code, std::string_view message);
    void Notify(std::string_view method, nlohmann::json params);
    void Send(const nlohmann::json& message);
    void Log(std::string_view text);

    nlohmann::json Initialize(const nlohmann::json& params);
    void Open(const nlohmann::json& params);
    void Change(const nlohmann::json& params);
    void Close(const nlohmann::json& params);
    void Saved(const nlohmann::json& params);

    // The features, each answering a request's params with its result.
    nlohmann::json Completion(const nlohmann::json& params);
    nlohmann::json Hover(const nlohmann::json& params);
    nlohmann::json SignatureHelp(const nlohmann::json& params);
    nlohmann::json DocumentSymbols(const nlohmann::json& params);
    nlohmann::json Definition(const nlohmann::json& params);
    nlohmann::json References(const nlohmann::json& params);
    nlohmann::json PrepareRename(const nlohmann::json& params);
    nlohmann::json Rename(const nlohmann::json& params);
    nlohmann::json Formatting(const nlohmann::json& params, bool range);

    // The open document a request names; throws a request failure when it
    // is not open.
    Document& DocumentOf(const nlohmann::json& params);
    const language::ScriptCheck& Checked(Document& document);
    std::uint32_t OffsetIn(const Document& document, const nlohmann::json& position) const;
    nlohmann::json RangeJson(const Document& document, language::TextRange range) const;
    const language::CategorySchema* SchemaOf(const Document& document);
    void PublishDiagnostics(Document& document);
    std::optional<ScriptHome> HomeOf(const std::string& uri);

    ByteSink& out_;
    Registry& registry_;
    bool initialized_ = false;
    bool shutdown_ = false;
    bool exited_ = false;
    bool outputLost_ = false;

    // From the initialization options.
    std::optional<ScriptHome> defaultHome_;
    bool checkNames_ = true;
    bool indentFromClient_ = false;

    std::unique_ptr<language::BuiltinReference> reference_;
    CategorySchemaSource schemas_;
    std::map<std::string, std::unique_ptr<Document>> documents_;  // by URI
    std::set<std::string> changed_;                               // URIs to check and publish
};

// Reads messages from `in` and answers them on `out` until the client says
// exit or goes away. Returns the process's exit code. A message body over
// `maxBody` bytes is skipped and refused.
int Serve(ByteSource& in, ByteSink& out, Registry& registry,
          std::size_t maxBody = MessageReader::kDefaultMaxBody);

}  // namespace vk::lsp
