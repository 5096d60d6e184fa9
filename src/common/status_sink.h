#pragma once

#include <string_view>

namespace vk {

// Where long operations report progress. The main window shows the text in
// status panel 0 (see TfMain::SetStatus for the level rule); the command-line
// tool ignores it or prints it. Level 0 opens an operation, level 1 carries
// intermediate and closing messages; the empty text means "Ready".
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void SetStatus(std::string_view text, int level) = 0;
};

// A sink that drops every message.
class NullStatusSink final : public StatusSink {
public:
    void SetStatus(std::string_view, int) override {}
};

}  // namespace vk
