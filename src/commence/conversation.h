#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vk {

class DdeClient;

// One short conversation with a DDE service, created, opened, used and freed
// inside the command that needs it. Setting the names never connects by
// itself (manual connect); the destructor closes any open conversation.
class DdeConversation {
public:
    DdeConversation();
    ~DdeConversation();
    DdeConversation(const DdeConversation&) = delete;
    DdeConversation& operator=(const DdeConversation&) = delete;

    // Closes any open conversation and records the names.
    void SetLink(std::string_view service, std::string_view topic);

    // The program line run when the first connect fails; empty unless set.
    void SetLaunchCommandLine(std::string_view commandLine);
    [[nodiscard]] const std::string& LaunchCommandLine() const { return launchCommandLine_; }

    // False at once when a conversation is already open. Otherwise connects;
    // when that fails, runs the launch command line (minimised, not
    // activated), waits until the program serves the topic or a bound passes,
    // and connects once more if it started. With an empty launch command line
    // the command "<service> <topic>" is run instead, but only when a program
    // of the service's name is installed (on this platform Commence is
    // started by the path found in the registry, never by that bare name).
    // Returns whether a conversation is open now. No further retry.
    [[nodiscard]] bool OpenLink();

    // Connects and nothing more: never starts a program. For a conversation
    // that must reach the very Commence an earlier one talked to, where a
    // fresh start would hide that it went away.
    [[nodiscard]] bool OpenRunningLink();

    [[nodiscard]] bool IsOpen() const;

    // Starts an execute; true when the server accepted it. It does not wait
    // for the command to be carried out.
    [[nodiscard]] bool Execute(std::string_view command);

    // A synchronous request; nothing on time-out or failure.
    [[nodiscard]] std::optional<std::string> Request(std::string_view item);

    // Whether the last Request got no reply because none came in time.
    [[nodiscard]] bool LastRequestTimedOut() const;

    // Request for callers that treat nothing as the empty text.
    [[nodiscard]] std::string RequestText(std::string_view item);

    void CloseLink();

    const std::string& Service() const { return service_; }
    const std::string& Topic() const { return topic_; }

    // 10,000 ms unless changed.
    void SetRequestTimeout(std::chrono::milliseconds timeout);

private:
    [[nodiscard]] bool Connect();
    [[nodiscard]] bool Launch();

    std::string service_;
    std::string topic_;
    std::string launchCommandLine_;
    std::unique_ptr<DdeClient> client_;
};

}  // namespace vk
