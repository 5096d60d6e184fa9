#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"

namespace vk::test {

// A message service for tests: records every box and input box and answers
// them from queues the test fills beforehand. A box with only OK answers OK;
// a question with no queued answer gets `defaultAnswer`; an input box with no
// queued answer is cancelled.
class RecordingMessageService final : public MessageService {
public:
    struct Message {
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
        std::string title;
        std::optional<ScreenArea> keptClear;  // the area the box had to leave in sight
    };
    struct InputRequest {
        std::string title;
        std::string prompt;
        std::string initial;
    };

    MessageAnswer Show(std::string_view text, MessageIcon icon, MessageButtons buttons,
                       std::string_view title = kMessageTitle) override {
        messages.push_back({std::string(text), icon, buttons, std::string(title), keepClear});
        if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        if (answers.empty()) return defaultAnswer;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    bool Input(std::string_view title, std::string_view prompt, std::string& value) override {
        inputs.push_back({std::string(title), std::string(prompt), value});
        if (inputAnswers.empty()) return false;
        const std::optional<std::string> answer = inputAnswers.front();
        inputAnswers.pop_front();
        if (!answer) return false;
        value = *answer;
        return true;
    }

    void KeepClear(std::optional<ScreenArea> area) override { keepClear = area; }

    // The texts of the recorded boxes, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Message& m : messages) texts.push_back(m.text);
        return texts;
    }

    std::deque<MessageAnswer> answers;
    MessageAnswer defaultAnswer = MessageAnswer::Cancel;
    std::deque<std::optional<std::string>> inputAnswers;  // nullopt cancels
    std::optional<ScreenArea> keepClear;

    std::vector<Message> messages;
    std::vector<InputRequest> inputs;
};

}  // namespace vk::test
