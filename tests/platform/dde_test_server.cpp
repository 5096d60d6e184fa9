// A small DDE server program for the platform tests: it is started by the
// tests as a separate process (directly or through the launcher), the way
// Commence is.
//
//   dde_test_server [/SERVICE=<name>] [/IDLE=<ms>] [/DATABASE=<topic words...>] [other args]
//
// Serves one topic (the words after /DATABASE= joined by blanks, as a
// database name with blanks arrives split). Requests: "args" gives the
// arguments one per line, "pid" the process id, "die" kills the process while
// the request is open. Execute "stop" ends it.
//
// It also stands in for a Commence that is killed in the middle of a
// check-out: it lists one category and one form, both "Account", and a
// "[CheckOutFormScript(...)]" writes the first half of a script into the
// file and kills the process.

#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/dde.h"

namespace {

vk::DdeServer* runningServer = nullptr;

void OnTerminate(int) {
    if (runningServer) runningServer->Stop();
}

class TestProgramHandler : public vk::DdeServerHandler {
public:
    TestProgramHandler(std::string topic, std::string args, vk::DdeServer*& server)
        : topic_(std::move(topic)), args_(std::move(args)), server_(server) {}

    bool AcceptTopic(std::string_view topic) override { return topic == topic_; }

    bool Execute(vk::DdeConversationId, std::string_view, std::string_view command) override {
        if (command == "stop" && server_) server_->Stop();
        if (command.starts_with("[CheckOutFormScript(")) WriteHalfAndDie(command);
        return true;
    }

    std::optional<std::string> Request(vk::DdeConversationId, std::string_view,
                                       std::string_view item) override {
        if (item == "args") return args_;
        if (item == "pid") return std::to_string(::getpid());
        if (item == "die") ::raise(SIGKILL);
        if (item == "[GetCategoryNames()]" || item == "[GetFormNames(\"Account\")]")
            return "Account";
        return std::nullopt;
    }

private:
    // The file is the command's last argument: [CheckOutFormScript("c","f","file")].
    static void WriteHalfAndDie(std::string_view command) {
        const auto start = command.rfind(",\"");
        const auto end = command.rfind("\")]");
        if (start == std::string_view::npos || end == std::string_view::npos || end < start) return;
        std::ofstream(std::string(command.substr(start + 2, end - start - 2)), std::ios::binary)
            << "Sub Form_OnLoad()\r\n    Dim half";
        ::raise(SIGKILL);
    }

    std::string topic_;
    std::string args_;
    vk::DdeServer*& server_;
};

}  // namespace

int main(int argc, char** argv) {
    std::string service = "VkTest";
    std::string topic;
    std::string args;
    long idleMs = 30'000;
    bool inTopic = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!args.empty()) args += '\n';
        args += arg;
        if (arg.starts_with("/SERVICE=")) {
            service = arg.substr(9);
            inTopic = false;
        } else if (arg.starts_with("/IDLE=")) {
            idleMs = std::stol(arg.substr(6));
            inTopic = false;
        } else if (arg.starts_with("/DATABASE=")) {
            topic = arg.substr(10);
            inTopic = true;
        } else if (inTopic && !arg.starts_with("/")) {
            topic += ' ' + arg;
        } else {
            inTopic = false;
        }
    }

    TestProgramHandler handler(topic, args, runningServer);
    vk::DdeServer server(service, handler);
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "dde_test_server: %s\n", error.c_str());
        return 2;
    }
    runningServer = &server;
    std::signal(SIGTERM, OnTerminate);
    server.Run(std::chrono::milliseconds(idleMs));
    runningServer = nullptr;
    return 0;
}
