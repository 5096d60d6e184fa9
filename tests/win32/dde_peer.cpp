// win32_dde_peer.exe SERVICE TOPIC: a DDE server started by the launcher
// and DDE tests. It accepts TOPIC and quits on the command "[Quit]"; item
// "Pid" gives its process id, any other item X the reply "echo:X".

#include <windows.h>

#include <string>

#include "platform/dde.h"

namespace {

class PeerHandler : public vk::DdeServerHandler {
public:
    PeerHandler(std::string topic, vk::DdeServer*& server)
        : topic_(std::move(topic)), server_(server) {}
    bool AcceptTopic(std::string_view topic) override { return topic == topic_; }
    bool Execute(vk::DdeConversationId, std::string_view, std::string_view command) override {
        if (command == "[Quit]" && server_) server_->Stop();
        return true;
    }
    std::optional<std::string> Request(vk::DdeConversationId, std::string_view,
                                       std::string_view item) override {
        if (item == "Pid") return std::to_string(GetCurrentProcessId());
        return "echo:" + std::string(item);
    }

private:
    std::string topic_;
    vk::DdeServer*& server_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    vk::DdeServer* running = nullptr;
    PeerHandler handler(argv[2], running);
    vk::DdeServer server(argv[1], handler);
    running = &server;
    if (!server.Start()) return 1;
    server.Run(std::chrono::seconds(60));
    return 0;
}
