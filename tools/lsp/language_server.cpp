#include "language_server.h"

#include <iostream>

#include "common/exceptions.h"
#include "common/windows_1252.h"
#include "document_state.h"
#include "help/syntax_list.h"
#include "platform/registry.h"

namespace vk::lsp {
namespace {

using nlohmann::json;

// Nesting deeper than this is no message of the protocol; it is refused
// before parsing, so that no parser or destructor goes that deep.
constexpr int kMaxNesting = 256;

bool NestedTooDeep(std::string_view body) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxNesting) return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

std::string Utf8(std::string_view windows1252) { return Windows1252ToUtf8(windows1252); }

}  // namespace

LanguageServer::LanguageServer(ByteSink& out, Registry& registry)
    : out_(out), registry_(registry), schemas_(registry) {}

LanguageServer::~LanguageServer() = default;

void LanguageServer::Send(const json& message) {
    if (outputLost_) return;
    const std::string body = message.dump(-1, ' ', false, json::error_handler_t::replace);
    if (!WriteMessage(out_, body)) {
        outputLost_ = true;
        Log("the client is gone (its input closed)");
    }
}

void LanguageServer::Log(std::string_view text) { std::cerr << "vellumkit-lsp: " << text << '\n'; }

void LanguageServer::Reply(const json& id, json result) {
    Send({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
}

void LanguageServer::ReplyError(const json& id, ErrorCode code, std::string_view message) {
    Send({{"jsonrpc", "2.0"},
          {"id", id},
          {"error", {{"code", static_cast<int>(code)}, {"message", std::string(message)}}}});
}

void LanguageServer::Notify(std::string_view method, json params) {
    Send({{"jsonrpc", "2.0"}, {"method", std::string(method)}, {"params", std::move(params)}});
}

void LanguageServer::Refuse(ErrorCode code, std::string_view message) {
    Log(message);
    ReplyError(nullptr, code, message);
}

void LanguageServer::Handle(std::string_view body) {
    if (NestedTooDeep(body)) {
        Refuse(ErrorCode::InvalidRequest,
               "The message nests deeper than any message of the protocol");
        return;
    }
    const json message = json::parse(body, nullptr, false);
    if (message.is_discarded()) {
        Refuse(ErrorCode::ParseError, "The message is not JSON");
        return;
    }
    if (!message.is_object()) {
        Refuse(ErrorCode::InvalidRequest, "A message is a JSON object");
        return;
    }
    const auto method = message.find("method");
    const auto id = message.find("id");
    const bool idValid =
        id != message.end() && (id->is_number_integer() || id->is_string() || id->is_null());
    if (method == message.end()) {
        if (message.contains("result") || message.contains("error"))
            return;  // a response: not asked for
        Refuse(ErrorCode::InvalidRequest, "The message has no method");
        return;
    }
    if (!method->is_string() || (id != message.end() && !idValid)) {
        ReplyError(idValid ? *id : json(nullptr), ErrorCode::InvalidRequest,
                   "The method must be a string and the id a number or a string");
        return;
    }
    const auto params = message.find("params");
    const json& given = params != message.end() ? *params : json::object();
    if (!given.is_object() && !given.is_array()) {
        if (id != message.end())
            ReplyError(*id, ErrorCode::InvalidRequest, "params must be structured");
        return;
    }
    if (id != message.end())
        Request(*id, method->get<std::string>(), given);
    else
        Notification(method->get<std::string>(), given);
}

void LanguageServer::Request(const json& id, const std::string& method, const json& params) {
    if (!initialized_ && method != "initialize") {
        ReplyError(id, ErrorCode::ServerNotInitialized, "The server is not initialized yet");
        return;
    }
    if (shutdown_) {
        ReplyError(id, ErrorCode::InvalidRequest, "The server is shutting down");
        return;
    }
    try {
        if (method == "initialize") {
            if (initialized_) {
                ReplyError(id, ErrorCode::InvalidRequest, "The server is initialized already");
                return;
            }
            Reply(id, Initialize(params));
        } else if (method == "shutdown") {
            shutdown_ = true;
            Reply(id, nullptr);
        } else if (method == "textDocument/completion") {
            Reply(id, Completion(params));
        } else if (method == "textDocument/hover") {
            Reply(id, Hover(params));
        } else if (method == "textDocument/signatureHelp") {
            Reply(id, SignatureHelp(params));
        } else if (method == "textDocument/documentSymbol") {
            Reply(id, DocumentSymbols(params));
        } else if (method == "textDocument/definition") {
            Reply(id, Definition(params));
        } else if (method == "textDocument/references") {
            Reply(id, References(params));
        } else if (method == "textDocument/prepareRename") {
            Reply(id, PrepareRename(params));
        } else if (method == "textDocument/rename") {
            Reply(id, Rename(params));
        } else if (method == "textDocument/formatting") {
            Reply(id, Formatting(params, false));
        } else if (method == "textDocument/rangeFormatting") {
            Reply(id, Formatting(params, true));
        } else {
            ReplyError(id, ErrorCode::MethodNotFound, "Unknown method " + method);
        }
    } catch (const RequestFailure& e) {
        ReplyError(id, ErrorCode::RequestFailed, Utf8(e.what()));
    } catch (const json::exception& e) {
        ReplyError(id, ErrorCode::InvalidParams, std::string("Invalid params: ") + e.what());
    } catch (const std::exception& e) {
        Log(method + " failed: " + e.what());
        ReplyError(id, ErrorCode::InternalError, Utf8(e.what()));
    }
}

void LanguageServer::Notification(const std::string& method, const json& params) {
    if (method == "exit") {
        exited_ = true;
        return;
    }
    if (!initialized_ || shutdown_) return;
    try {
        if (method == "textDocument/didOpen")
            Open(params);
        else if (method == "textDocument/didChange")
            Change(params);
        else if (method == "textDocument/didClose")
            Close(params);
        else if (method == "textDocument/didSave")
            Saved(params);
        // initialized, $/cancelRequest, $/setTrace, workspace/... need nothing.
    } catch (const std::exception& e) {
        Log(method + " could not be handled: " + e.what());
    }
}

json LanguageServer::Initialize(const json& params) {
    const json options = params.value("initializationOptions", json::object());
    if (options.is_object()) {
        const std::string database = options.value("database", std::string());
        const std::string category = options.value("category", std::string());
        if (!database.empty() && !category.empty())
            defaultHome_ = ScriptHome{Utf8ToWindows1252(database), Utf8ToWindows1252(category)};
        checkNames_ = options.value("checkNames", true);
        indentFromClient_ = options.value("indentFromClient", false);
    }
    std::string folder =
        options.is_object() ? options.value("vbsdoc", std::string()) : std::string();
    if (folder.empty()) folder = GetHelpInstallDir(registry_);
    const TSyntaxList index = TSyntaxList::FromFolder(folder);
    reference_ = index.Count() > 0 ? std::make_unique<language::BuiltinReference>(index)
                                   : std::make_unique<language::BuiltinReference>();
    if (index.Count() == 0)
        Log("no VBScript reference found" + (folder.empty() ? std::string() : " in " + folder) +
            ": built-in functions come without their syntax lines");
    initialized_ = true;
    return {
        {"capabilities",
         {
             {"positionEncoding", "utf-16"},
             {"textDocumentSync",
              {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
             {"completionProvider", {{"triggerCharacters", {".", "\""}}}},
             {"hoverProvider", true},
             {"signatureHelpProvider",
              {{"triggerCharacters", {"(", ",", " "}}, {"retriggerCharacters", {","}}}},
             {"documentSymbolProvider", true},
             {"definitionProvider", true},
             {"referencesProvider", true},
             {"renameProvider", {{"prepareProvider", true}}},
             {"documentFormattingProvider", true},
             {"documentRangeFormattingProvider", true},
         }},
        {"serverInfo", {{"name", "vellumkit-lsp"}, {"version", VK_VERSION}}},
    };
}

std::optional<ScriptHome> LanguageServer::HomeOf(const std::string& uri) {
    if (const std::optional<std::filesystem::path> path = PathOfUri(uri)) {
        std::string problem;
        if (std::optional<ScriptHome> home = HomeFromManifest(*path, &problem)) return home;
        if (!problem.empty()) Log(problem);
    }
    return defaultHome_;
}

void LanguageServer::Open(const json& params) {
    const json& item = params.at("textDocument");
    const std::string uri = item.at("uri").get<std::string>();
    auto document = std::make_unique<Document>();
    document->uri = uri;
    document->version = item.value("version", 0);
    document->text.SetText(item.at("text").get<std::string>());
    document->home = HomeOf(uri);
    if (document->home) {
        // Opening a script reads its category's names afresh, and now:
        // this starts Commence when it does not run, for the name checks.
        schemas_.Forget(document->home->database, document->home->category);
        if (!SchemaOf(*document))
            Log("no field and connection names for " + uri + ": " +
                Utf8(schemas_.Problem(document->home->database, document->home->category)));
        if (checkNames_)
            document->names = std::make_unique<ScriptNameChecker>(document->home->database,
                                                                  document->home->category);
    }
    documents_[uri] = std::move(document);
    changed_.insert(uri);
}

void LanguageServer::Change(const json& params) {
    const json& item = params.at("textDocument");
    Document& document = DocumentOf(params);
    document.version = item.value("version", document.version);
    for (const json& change : params.at("contentChanges")) {
        const std::string text = change.at("text").get<std::string>();
        if (const auto range = change.find("range"); range != change.end()) {
            const json& start = range->at("start");
            const json& end = range->at("end");
            document.text.Replace(
                {start.at("line").get<std::uint32_t>(), start.at("character").get<std::uint32_t>()},
                {end.at("line").get<std::uint32_t>(), end.at("character").get<std::uint32_t>()},
                text);
        } else {
            document.text.SetText(text);
        }
    }
    document.checkedText = false;
    changed_.insert(document.uri);
}

void LanguageServer::Saved(const json& params) {
    Document& document = DocumentOf(params);
    // A save is when a change made in Commence meanwhile should show.
    if (document.names) document.names->Forget();
    changed_.insert(document.uri);
}

void LanguageServer::Close(const json& params) {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    documents_.erase(uri);
    changed_.erase(uri);
    Notify("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", json::array()}});
}

LanguageServer::Document& LanguageServer::DocumentOf(const json& params) {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    const auto found = documents_.find(uri);
    if (found == documents_.end()) throw RequestFailure("The document " + uri + " is not open");
    return *found->second;
}

const language::ScriptCheck& LanguageServer::Checked(Document& document) {
    if (!document.checkedText || !document.check) {
        document.check = &document.checker.Check(document.text.Bytes());
        document.checkedText = true;
    }
    return *document.check;
}

void LanguageServer::Flush() {
    if (changed_.empty()) return;
    const std::set<std::string> changed = std::move(changed_);
    changed_.clear();
    for (const std::string& uri : changed)
        if (const auto found = documents_.find(uri); found != documents_.end())
            PublishDiagnostics(*found->second);
}

void LanguageServer::PublishDiagnostics(Document& document) {
    const language::ScriptCheck& check = Checked(document);
    std::vector<language::Diagnostic> problems = check.diagnostics;
    if (document.names) {
        try {
            std::vector<language::Diagnostic> names = document.names->Check(document.text.Bytes());
            problems.insert(problems.end(), names.begin(), names.end());
        } catch (const Exception& e) {
            // Checked again at the next change; said once.
            if (!document.namesFailed)
                Log(std::string("field and connection names not checked for ") + document.uri +
                    ": " + Utf8(e.what()));
            document.namesFailed = true;
        }
    }
    json diagnostics = json::array();
    for (const language::Diagnostic& problem : problems)
        diagnostics.push_back({{"range", RangeJson(document, problem.range)},
                               {"severity", problem.severity == language::Severity::Error ? 1 : 2},
                               {"code", std::string(language::DiagnosticCodeName(problem.code))},
                               {"source", "vellumkit"},
                               {"message", Utf8(problem.message)}});
    Notify("textDocument/publishDiagnostics", {{"uri", document.uri},
                                               {"version", document.version},
                                               {"diagnostics", std::move(diagnostics)}});
}

int Serve(ByteSource& in, ByteSink& out, Registry& registry, std::size_t maxBody) {
    LanguageServer server(out, registry);
    MessageReader reader(in, maxBody);
    // Diagnostics wait while more messages are at hand (a burst of
    // changes is checked once), but never for more than a bounded number.
    constexpr int kMaxDeferred = 64;
    int deferred = 0;
    for (;;) {
        if (!reader.HasWholeMessage() || ++deferred >= kMaxDeferred) {
            server.Flush();
            deferred = 0;
        }
        if (server.OutputLost()) return 1;
        const Incoming incoming = reader.Next();
        switch (incoming.status) {
            case Incoming::Status::End:
                std::cerr << "vellumkit-lsp: the input ended without an exit message\n";
                return 1;
            case Incoming::Status::TooLarge:
                server.Refuse(ErrorCode::InvalidRequest,
                              "The message is larger than the server takes; it was skipped");
                break;
            case Incoming::Status::BadHeader:
                server.Refuse(ErrorCode::ParseError,
                              "A message header without a valid Content-Length was skipped");
                break;
            case Incoming::Status::Message:
                server.Handle(incoming.body);
                break;
        }
        if (server.Exited()) return server.ExitCode();
        if (server.OutputLost()) return 1;
    }
}

}  // namespace vk::lsp
