#include "commence/program_start.h"

#include "platform/dde.h"
#include "platform/launcher.h"

namespace vk {

bool StartProgramForTopic(std::string_view commandLine, std::string_view service,
                          std::string_view topic) {
    LaunchOptions options;
    // Like Commence, the new program is ready once its DDE server accepts the
    // topic; a Commence that quits on start is reported by the next connect.
    options.ready = [service, topic] {
        DdeClient probe;
        return probe.Connect(service, topic);
    };
    return Launch(commandLine, options).started;
}

bool ProgramIsInstalled(std::string_view name) { return LocateProgram(name).has_value(); }

}  // namespace vk
