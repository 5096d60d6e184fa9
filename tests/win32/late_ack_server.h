#pragma once

#include <memory>
#include <string>

namespace vk::test {

// A DDE server written on the raw DDE messages, which behaves as some DDEML
// servers do: after the data that answers a request it sends one more,
// late acknowledgement of that request. It answers a request for item X with
// "answer:X" and refuses the command "[Refuse]" (a negative acknowledgement);
// other commands are accepted. It runs on a thread of its own.
class LateAckServer {
public:
    LateAckServer(std::string service, std::string topic, unsigned lateAckDelayMs);
    ~LateAckServer();
    LateAckServer(const LateAckServer&) = delete;
    LateAckServer& operator=(const LateAckServer&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vk::test
