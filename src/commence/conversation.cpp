#include "commence/conversation.h"

#include "commence/program_start.h"
#include "platform/dde.h"

namespace vk {

DdeConversation::DdeConversation() : client_(std::make_unique<DdeClient>()) {}

DdeConversation::~DdeConversation() = default;

void DdeConversation::SetLink(std::string_view service, std::string_view topic) {
    CloseLink();
    service_ = service;
    topic_ = topic;
}

void DdeConversation::SetLaunchCommandLine(std::string_view commandLine) {
    launchCommandLine_ = commandLine;
}

bool DdeConversation::OpenLink() {
    if (IsOpen()) return false;
    if (Connect()) return true;
    if (launchCommandLine_.empty() && service_.empty()) return false;
    return Launch() && Connect();
}

bool DdeConversation::OpenRunningLink() { return !IsOpen() && Connect(); }

bool DdeConversation::Connect() { return client_->Connect(service_, topic_); }

bool DdeConversation::Launch() {
    if (!launchCommandLine_.empty())
        return StartProgramForTopic(launchCommandLine_, service_, topic_);
    // Windows would try "<service> <topic>" as a command line; here no program
    // carries the service's bare name unless someone installed one.
    if (!ProgramIsInstalled(service_)) return false;
    return StartProgramForTopic(service_ + ' ' + topic_, service_, topic_);
}

bool DdeConversation::IsOpen() const { return client_->IsConnected(); }

bool DdeConversation::Execute(std::string_view command) {
    return IsOpen() && client_->Execute(command);
}

std::optional<std::string> DdeConversation::Request(std::string_view item) {
    if (!IsOpen()) return std::nullopt;
    return client_->Request(item);
}

bool DdeConversation::LastRequestTimedOut() const { return client_->LastRequestTimedOut(); }

std::string DdeConversation::RequestText(std::string_view item) {
    return Request(item).value_or(std::string());
}

void DdeConversation::CloseLink() { client_->Disconnect(); }

void DdeConversation::SetRequestTimeout(std::chrono::milliseconds timeout) {
    client_->SetRequestTimeout(timeout);
}

}  // namespace vk
