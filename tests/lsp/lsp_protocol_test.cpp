// The language server's protocol: framing, the life cycle, malformed input,
// documents and their changes, and the features answered over JSON-RPC.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "language_server.h"
#include "lsp_support.h"
#include "platform/registry.h"
#include "support/test_process.h"
#include "support/test_support.h"
#include "text_document.h"

namespace vk::lsp {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::Framed;
using test::FramedBody;
using test::Messages;

// Reading framed messages off a stream, whole or in pieces.
struct FramingCase {
    const char* name;
    std::string input;
    std::vector<Incoming::Status> statuses;  // up to and including End
    std::vector<std::string> bodies;         // of the messages read
};

class Framing : public testing::TestWithParam<FramingCase> {};

TEST_P(Framing, ReadsEachMessageOrSaysWhatWasWrong) {
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{1} << 20}) {
        test::TextSource source(GetParam().input, chunk);
        MessageReader reader(source, 100);
        std::vector<Incoming::Status> statuses;
        std::vector<std::string> bodies;
        for (int guard = 0; guard < 20; ++guard) {
            const Incoming incoming = reader.Next();
            statuses.push_back(incoming.status);
            if (incoming.status == Incoming::Status::Message) bodies.push_back(incoming.body);
            if (incoming.status == Incoming::Status::End) break;
        }
        EXPECT_EQ(statuses, GetParam().statuses) << "read " << chunk << " bytes at a time";
        EXPECT_EQ(bodies, GetParam().bodies) << "read " << chunk << " bytes at a time";
    }
}

using S = Incoming::Status;
INSTANTIATE_TEST_SUITE_P(
    Lsp, Framing,
    testing::Values(
        FramingCase{"TwoMessages",
                    FramedBody("{\"a\":1}") + FramedBody("[]"),
                    {S::Message, S::Message, S::End},
                    {"{\"a\":1}", "[]"}},
        FramingCase{
            "OtherHeadersAndBareLineEnds",
            "Content-Type: application/vscode-jsonrpc; charset=utf-8\ncontent-length: 2\n\n{}",
            {S::Message, S::End},
            {"{}"}},
        FramingCase{"OverTheLimitIsSkipped",
                    FramedBody(std::string(101, 'x')) + FramedBody("{}"),
                    {S::TooLarge, S::Message, S::End},
                    {"{}"}},
        FramingCase{"NoLength",
                    "Content-Type: x\r\n\r\n" + FramedBody("{}"),
                    {S::BadHeader, S::Message, S::End},
                    {"{}"}},
        FramingCase{"LengthNotANumber",
                    "Content-Length: 2x\r\n\r\n" + FramedBody("{}"),
                    {S::BadHeader, S::Message, S::End},
                    {"{}"}},
        FramingCase{"CutShort", "Content-Length: 10\r\n\r\n{}", {S::End}, {}},
        FramingCase{"EndlessHeaderLine",
                    std::string(20000, 'h') + "\r\n\r\n" + FramedBody("{}"),
                    {S::BadHeader, S::Message, S::End},
                    {"{}"}}),
    [](const testing::TestParamInfo<FramingCase>& info) { return info.param.name; });

// A server over a private registry, fed a whole conversation at once.
class Conversation {
public:
    explicit Conversation(std::size_t maxBody = MessageReader::kDefaultMaxBody)
        : maxBody_(maxBody) {}

    Conversation& Send(const json& message) {
        pieces_.back() += Framed(message);
        return *this;
    }
    Conversation& SendRaw(const std::string& framed) {
        pieces_.back() += framed;
        return *this;
    }
    // What follows is sent once the server has read all before.
    Conversation& Pause() {
        pieces_.emplace_back();
        return *this;
    }
    // Runs the server to its end; the messages it wrote.
    std::vector<json> Run(std::size_t failAfter = static_cast<std::size_t>(-1)) {
        test::TextSource source(pieces_, 1 << 20);
        test::TextSink sink(failAfter);
        Registry registry(dir_.path());
        exitCode = Serve(source, sink, registry, maxBody_);
        left = source.Left();
        return Messages(sink.text);
    }
    int exitCode = -1;
    std::size_t left = 0;

private:
    test::TempDir dir_;
    std::vector<std::string> pieces_{std::string()};
    std::size_t maxBody_;
};

// The answer to request `id`.
json AnswerTo(const std::vector<json>& messages, int id) {
    for (const json& m : messages)
        if (m.contains("id") && m["id"] == id) return m;
    return nullptr;
}

// The errors answered with no id (messages that could not be read as requests).
std::vector<int> AnonymousErrors(const std::vector<json>& messages) {
    std::vector<int> codes;
    for (const json& m : messages)
        if (m.contains("error") && m["id"].is_null())
            codes.push_back(m["error"]["code"].get<int>());
    return codes;
}

TEST(LspLifeCycle, InitializeShutdownExit) {
    Conversation c;
    c.Send(test::Initialize())
        .Send(test::Notification("initialized"))
        .Send(test::Request(2, "shutdown"))
        .Send(test::Request(3, "textDocument/hover", test::At("file:///a.vbs", 0, 0)))
        .Send(test::Notification("exit"));
    const std::vector<json> messages = c.Run();
    const json capabilities = AnswerTo(messages, 1)["result"]["capabilities"];
    EXPECT_EQ(capabilities["textDocumentSync"]["change"], 2);  // incremental
    for (const char* feature : {"hoverProvider", "definitionProvider", "referencesProvider",
                                "documentSymbolProvider", "documentFormattingProvider"})
        EXPECT_EQ(capabilities[feature], true) << feature;
    EXPECT_TRUE(AnswerTo(messages, 2)["result"].is_null());
    EXPECT_EQ(AnswerTo(messages, 3)["error"]["code"], -32600);  // after shutdown
    EXPECT_EQ(c.exitCode, 0);
}

TEST(LspLifeCycle, AnEndWithoutShutdownFails) {
    Conversation exitAlone;
    exitAlone.Send(test::Initialize()).Send(test::Notification("exit"));
    exitAlone.Run();
    EXPECT_EQ(exitAlone.exitCode, 1);

    // The client went away: the input ends.
    Conversation gone;
    gone.Send(test::Initialize()).Send(test::Open("file:///a.vbs", "x = 1\r\n"));
    EXPECT_FALSE(gone.Run().empty());
    EXPECT_EQ(gone.exitCode, 1);
}

TEST(LspLifeCycle, AClientThatStopsReadingEndsTheServer) {
    Conversation c;
    c.Send(test::Initialize());
    for (int i = 0; i < 100; ++i)
        c.Pause().Send(
            test::Request(10 + i, "textDocument/hover", test::At("file:///a.vbs", 0, 0)));
    c.Send(test::Notification("exit"));
    c.Run(3);
    EXPECT_EQ(c.exitCode, 1);
    EXPECT_GT(c.left, 0u);  // it stopped at once, with input left unread
}

TEST(LspLifeCycle, RequestsBeforeInitializeAreRefused) {
    Conversation c;
    c.Send(test::Request(1, "textDocument/hover", test::At("file:///a.vbs", 0, 0)))
        .Send(test::Initialize(2))
        .Send(test::Request(3, "initialize"))
        .Send(test::Request(4, "shutdown"))
        .Send(test::Notification("exit"));
    const std::vector<json> messages = c.Run();
    EXPECT_EQ(AnswerTo(messages, 1)["error"]["code"], -32002);
    EXPECT_TRUE(AnswerTo(messages, 2).contains("result"));
    EXPECT_EQ(AnswerTo(messages, 3)["error"]["code"], -32600);  // initialized already
    EXPECT_EQ(c.exitCode, 0);
}

TEST(LspMalformed, EachBadMessageGetsAnErrorAndTheServerGoesOn) {
    std::string deep(2000, '[');
    deep += std::string(2000, ']');
    Conversation c(5000);
    c.Send(test::Initialize())
        .SendRaw(FramedBody("{not json"))
        .SendRaw(FramedBody("[1, 2]"))
        .SendRaw(FramedBody(deep))
        .SendRaw(FramedBody(std::string(6000, ' ')))  // over the limit
        .SendRaw("Content-Length: -5\r\n\r\n")
        .SendRaw(FramedBody("{\"jsonrpc\":\"2.0\",\"id\":7}"))
        .Send({{"jsonrpc", "2.0"}, {"id", 8}, {"method", 42}})
        .Send({{"jsonrpc", "2.0"}, {"id", {{"an", "object"}}}, {"method", "shutdown"}})
        .Send(test::Request(9, "no/such/method"))
        .Send(test::Notification("no/such/notification"))
        .Send(test::Request(10, "textDocument/completion", {{"textDocument", {{"uri", 5}}}}))
        .Send(test::Request(11, "textDocument/hover", test::At("file:///not-open.vbs", 0, 0)))
        .Send(test::Request(12, "shutdown"))
        .Send(test::Notification("exit"));
    const std::vector<json> messages = c.Run();
    EXPECT_EQ(AnonymousErrors(messages),
              (std::vector<int>{-32700, -32600, -32600, -32600, -32700, -32600, -32600}));
    EXPECT_EQ(AnswerTo(messages, 8)["error"]["code"], -32600);
    EXPECT_EQ(AnswerTo(messages, 9)["error"]["code"], -32601);
    EXPECT_EQ(AnswerTo(messages, 10)["error"]["code"], -32602);
    EXPECT_EQ(AnswerTo(messages, 11)["error"]["code"], -32803);
    EXPECT_TRUE(AnswerTo(messages, 12)["result"].is_null());
    EXPECT_EQ(c.exitCode, 0);
}

TEST(LspDocument, CountsCharactersInUtf16AndKeepsOneByteForEach) {
    // "a", a character outside the BMP (two UTF-16 units), "é", then "b".
    TextDocument document("a\xF0\x9F\x98\x80\xC3\xA9\r\nb");
    EXPECT_EQ(document.Bytes(), "a??\xE9\r\nb");
    EXPECT_EQ(document.OffsetOf({0, 3}), 3u);
    EXPECT_EQ(document.OffsetOf({0, 99}), 4u);  // past the line's end: its end
    EXPECT_EQ(document.OffsetOf({1, 1}), 7u);
    EXPECT_EQ(document.PositionOf(6), (Position{1, 0}));
    document.Replace({0, 3}, {1, 0}, "e\xE2\x82\xAC\n");  // é and the line end become "e€" LF
    EXPECT_EQ(document.Bytes(), "a??e\x80\nb");
    EXPECT_EQ(document.PositionOf(6), (Position{1, 0}));
}

const std::string kUri = "file:///tmp/form.vbs";

TEST(LspDocument, DiagnosticsFollowIncrementalChanges) {
    Conversation c;
    c.Send(test::Initialize())
        .Pause()
        .Send(test::Open(kUri, "Sub Form_OnLoad()\r\n    If x Then\r\nEnd Sub\r\n"))
        .Send(test::Request(2, "textDocument/hover",
                            test::At(kUri, 0, 0)))  // lets the first check out
        .Send(test::Notification("textDocument/didChange",
                                 {{"textDocument", {{"uri", kUri}, {"version", 2}}},
                                  {"contentChanges",
                                   {{{"range",
                                      {{"start", {{"line", 1}, {"character", 13}}},
                                       {"end", {{"line", 1}, {"character", 13}}}}},
                                     {"text", "\r\n    End If"}}}}}))
        .Pause()
        .Send(test::Request(3, "shutdown"))
        .Send(test::Notification("exit"));
    std::vector<json> published;
    for (const json& m : c.Run())
        if (m.value("method", "") == "textDocument/publishDiagnostics")
            published.push_back(m["params"]);
    ASSERT_EQ(published.size(), 1u) << "a burst of messages is checked once, at its end";
    EXPECT_EQ(published[0]["version"], 2);
    EXPECT_TRUE(published[0]["diagnostics"].empty()) << published[0].dump();
}

TEST(LspDocument, ABrokenLineGetsADiagnosticAtItsPlace) {
    Conversation c;
    c.Send(test::Initialize())
        .Send(test::Open(kUri, "Sub A()\r\n    x = (1 + 2\r\nEnd Sub\r\n"))
        .Pause()
        .Send(test::Request(2, "shutdown"))
        .Send(test::Notification("exit"));
    const std::vector<json> messages = c.Run();
    const auto published = std::find_if(messages.begin(), messages.end(), [](const json& m) {
        return m.value("method", "") == "textDocument/publishDiagnostics";
    });
    ASSERT_NE(published, messages.end());
    const json& diagnostics = (*published)["params"]["diagnostics"];
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0]["message"], "Expected ')'");
    EXPECT_EQ(diagnostics[0]["range"]["start"]["line"], 1);
    EXPECT_EQ(diagnostics[0]["severity"], 1);
    EXPECT_EQ(diagnostics[0]["source"], "vellumkit");
}

const std::string kScript =
    "Option Explicit\r\n"
    "Dim total\r\n"
    "Sub Form_OnSave()\r\n"
    "  total = total + Len(\"\xC3\xA9t\xC3\xA9\")\r\n"
    "End Sub\r\n";

TEST(LspFeatures, AnswerInTheProtocolsTerms) {
    Conversation c;
    c.Send(test::Initialize(1, {{"indentFromClient", true}}))
        .Send(test::Open(kUri, kScript))
        .Send(test::Request(2, "textDocument/definition", test::At(kUri, 3, 11)))
        .Send(test::Request(3, "textDocument/references",
                            [] {
                                json p = test::At(kUri, 1, 5);
                                p["context"] = {{"includeDeclaration", true}};
                                return p;
                            }()))
        .Send(test::Request(4, "textDocument/rename",
                            [] {
                                json p = test::At(kUri, 3, 3);
                                p["newName"] = "grandTotal";
                                return p;
                            }()))
        .Send(test::Request(5, "textDocument/signatureHelp", test::At(kUri, 3, 24)))
        .Send(test::Request(6, "textDocument/hover", test::At(kUri, 3, 19)))
        .Send(test::Request(7, "textDocument/formatting",
                            {{"textDocument", {{"uri", kUri}}},
                             {"options", {{"tabSize", 4}, {"insertSpaces", true}}}}))
        .Send(test::Request(8, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUri}}}}))
        .Send(test::Request(9, "textDocument/prepareRename", test::At(kUri, 2, 6)))
        .Send(test::Request(10, "textDocument/completion", test::At(kUri, 3, 20)))
        .Send(test::Request(11, "shutdown"))
        .Send(test::Notification("exit"));
    const std::vector<json> messages = c.Run();

    const json definition = AnswerTo(messages, 2)["result"];
    EXPECT_EQ(definition["uri"], kUri);
    EXPECT_EQ(definition["range"]["start"], json({{"line", 1}, {"character", 4}}));
    EXPECT_EQ(AnswerTo(messages, 3)["result"].size(), 3u);

    const json edits = AnswerTo(messages, 4)["result"]["changes"][kUri];
    ASSERT_EQ(edits.size(), 3u);
    for (const json& edit : edits) EXPECT_EQ(edit["newText"], "grandTotal");

    const json help = AnswerTo(messages, 5)["result"];
    EXPECT_EQ(help["signatures"][0]["label"], "Len(string | varname)");
    EXPECT_EQ(help["activeParameter"], 0);
    EXPECT_EQ(help["signatures"][0]["parameters"][0]["label"], json({4, 20}));

    EXPECT_NE(AnswerTo(messages, 6)["result"]["contents"]["value"].get<std::string>().find("Len("),
              std::string::npos);

    // The client's tab size and spaces: the Sub's statement moves to 4 blanks.
    const json formatting = AnswerTo(messages, 7)["result"];
    ASSERT_EQ(formatting.size(), 1u);
    EXPECT_EQ(formatting[0]["newText"], "    ");
    EXPECT_EQ(formatting[0]["range"]["start"], json({{"line", 3}, {"character", 0}}));

    const json symbols = AnswerTo(messages, 8)["result"];
    EXPECT_EQ(symbols[0]["name"], "Events");
    EXPECT_EQ(symbols[0]["children"][0]["name"], "OnSave");

    EXPECT_EQ(AnswerTo(messages, 9)["error"]["code"], -32803);  // an event: Commence calls it

    // "Le" typed before the caret: the choice replaces it.
    const json items = AnswerTo(messages, 10)["result"]["items"];
    const auto len =
        std::find_if(items.begin(), items.end(), [](const json& i) { return i["label"] == "Len"; });
    ASSERT_NE(len, items.end());
    EXPECT_EQ((*len)["detail"], "Len(string | varname)");
    EXPECT_EQ((*len)["textEdit"]["range"]["start"], json({{"line", 3}, {"character", 18}}));
    EXPECT_EQ((*len)["textEdit"]["range"]["end"], json({{"line", 3}, {"character", 20}}));
}

}  // namespace
}  // namespace vk::lsp

namespace vk::lsp {
namespace {

// The built program: standard output carries the protocol and nothing
// else, even when there is something to log; a client that cannot take the
// output any more ends it.
class Program : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir_.path() / "registry");
        registry_ = std::make_unique<test::ScopedEnv>("VELLUMKIT_REGISTRY_DIR",
                                                      (dir_.path() / "registry").string());
    }
    int Run(const std::string& input, const fs::path& output) {
        test::WriteFileBytes(dir_.path() / "in", input);
        return test::RunProgram(test::BuiltProgram("vellumkit-lsp"), {"--stdio"},
                                {dir_.path() / "in", output, dir_.path() / "err"});
    }
    test::TempDir dir_;
    std::unique_ptr<test::ScopedEnv> registry_;
};

TEST_F(Program, WritesOnlyProtocolToStandardOutput) {
    // A script whose database is not there: the server says so on standard
    // error; a malformed message; a request; a clean end.
    const std::string input =
        Framed(test::Initialize(1, {{"database", "No Such Database"}, {"category", "Account"}})) +
        Framed(test::Open(kUri, "x = Field(\"Name\")\r\n")) + FramedBody("not json") +
        Framed(
            test::Request(2, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUri}}}})) +
        Framed(test::Request(3, "shutdown")) + Framed(test::Notification("exit"));
    EXPECT_EQ(Run(input, dir_.path() / "out"), 0);
    const std::string output = test::ReadFileBytes(dir_.path() / "out");
    // Framed messages, back to back, from the first byte to the last.
    std::size_t at = 0, count = 0;
    while (at < output.size()) {
        ASSERT_EQ(output.compare(at, 16, "Content-Length: "), 0) << output.substr(at, 80);
        const std::size_t length = std::stoul(output.substr(at + 16));
        const std::size_t body = output.find("\r\n\r\n", at) + 4;
        EXPECT_TRUE(json::accept(output.substr(body, length)));
        at = body + length;
        ++count;
    }
    EXPECT_EQ(at, output.size());
    EXPECT_GE(count, 4u);  // three answers, an error, and the diagnostics
    EXPECT_NE(test::ReadFileBytes(dir_.path() / "err"), "");
}

#ifndef _WIN32
TEST_F(Program, EndsWhenItsOutputCannotBeWritten) {
    std::string input = Framed(test::Initialize());
    for (int i = 0; i < 50; ++i) input += Framed(test::Request(10 + i, "shutdown"));
    EXPECT_EQ(Run(input, "/dev/full"), 1);
}
#endif

}  // namespace
}  // namespace vk::lsp
