#pragma once

#include <algorithm>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "commence/commands.h"
#include "platform/dde.h"

namespace vk::test {

// A DDE server standing in for Commence for one database, answering requests
// as a test says (so Commence can misbehave on cue) and recording every
// transaction with its conversation. It serves on a thread of its own from
// construction to destruction, in the DDE folder of the environment.
class ScriptedCommence final : public DdeServerHandler {
public:
    using Answer = std::function<std::optional<std::string>(std::string_view item)>;
    // Carries out an execute as the test says (writes a checked-out script,
    // reads a checked-in one); `command` is the whole text.
    using Act = std::function<void(std::string_view command)>;

    ScriptedCommence(std::string topic, Answer answer, Act act = {})
        : topic_(std::move(topic)), answer_(std::move(answer)), act_(std::move(act)) {
        // Started on the thread that serves: DDEML on Windows calls back only
        // on the thread that registered the service.
        std::promise<bool> started;
        auto startedNow = started.get_future();
        thread_ = std::thread([this, &started] {
            const bool ok = server_.Start();
            started.set_value(ok);
            if (ok) server_.Run();
        });
        if (!startedNow.get()) {
            thread_.join();
            throw std::runtime_error("scripted server does not start");
        }
    }
    ~ScriptedCommence() override {
        server_.Stop();
        thread_.join();
    }
    ScriptedCommence(const ScriptedCommence&) = delete;
    ScriptedCommence& operator=(const ScriptedCommence&) = delete;

    bool AcceptTopic(std::string_view topic) override { return topic == topic_; }
    bool Execute(DdeConversationId conversation, std::string_view,
                 std::string_view command) override {
        // The command's name only: its arguments hold temporary file names.
        Record(conversation, "execute " + std::string(command.substr(0, command.find('('))));
        if (act_) act_(command);
        return true;
    }
    std::optional<std::string> Request(DdeConversationId conversation, std::string_view,
                                       std::string_view item) override {
        Record(conversation, "request " + std::string(item));
        return answer_(item);
    }

    // The transactions in order, and how many conversations carried them.
    std::vector<std::string> Transactions() const {
        const std::lock_guard lock(mutex_);
        return transactions_;
    }
    std::size_t Conversations() const {
        const std::lock_guard lock(mutex_);
        return conversations_.size();
    }

private:
    void Record(DdeConversationId conversation, std::string what) {
        const std::lock_guard lock(mutex_);
        transactions_.push_back(std::move(what));
        if (std::find(conversations_.begin(), conversations_.end(), conversation) ==
            conversations_.end())
            conversations_.push_back(conversation);
    }

    std::string topic_;
    Answer answer_;
    Act act_;
    mutable std::mutex mutex_;
    std::vector<std::string> transactions_;
    std::vector<DdeConversationId> conversations_;
    DdeServer server_{std::string(commands::kService), *this};
    std::thread thread_;
};

// The arguments of a command text: [Name("a","b","c")] gives a, b and c.
inline std::vector<std::string> CommandArguments(std::string_view command) {
    std::vector<std::string> args;
    const auto open = command.find("(\"");
    const auto close = command.rfind("\")]");
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return args;
    std::string_view rest = command.substr(open + 2, close - open - 2);
    for (std::size_t comma; (comma = rest.find("\",\"")) != std::string_view::npos;
         rest.remove_prefix(comma + 3))
        args.emplace_back(rest.substr(0, comma));
    args.emplace_back(rest);
    return args;
}

}  // namespace vk::test
