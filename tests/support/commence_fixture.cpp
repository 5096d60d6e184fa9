#include "support/commence_fixture.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <thread>

#include "common/file_bytes.h"
#include "platform/dde.h"

namespace vk::test {
namespace {

using namespace std::chrono_literals;

}  // namespace

CommenceFixture::CommenceFixture() {
#ifdef _WIN32
    // One DDE name space for the desktop: a Commence left running for a demo
    // database would answer in place of this fixture's.
    for (const std::string_view database : {kDemoSales, kFieldService}) {
        DdeClient probe;
        if (probe.Connect("Commence", database))
            throw std::runtime_error("a Commence for " + std::string(database) +
                                     " from elsewhere is running; end it first");
    }
#endif
    std::filesystem::create_directories(RegistryDir());
    registryEnv_ = std::make_unique<ScopedEnv>("VELLUMKIT_REGISTRY_DIR", RegistryDir().string());
    // What the code under test keeps for the user (the local history) stays
    // here too.
    userDataEnv_ = std::make_unique<ScopedEnv>(kUserDataVariable, UserDataDir().string());
#ifndef _WIN32
    std::filesystem::create_directory(RuntimeDir());
    std::filesystem::permissions(RuntimeDir(), std::filesystem::perms::owner_all);
    runtimeEnv_ = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", RuntimeDir().string());
#endif
    std::string output;
    if (RunSetup(&output) != 0) throw std::runtime_error("vellumkit-setup failed:\n" + output);
}

CommenceFixture::~CommenceFixture() {
    try {
        StopServers();
    } catch (const std::exception&) {
        // A folder that vanished while it was listed; what was found is stopped.
    }
}

std::filesystem::path CommenceFixture::ServerProgram() { return BinDir() / "commence.exe"; }

std::filesystem::path CommenceFixture::SetupProgram() { return BuiltProgram("vellumkit-setup"); }

int CommenceFixture::RunSetup(std::string* output) const {
    const auto log = Root() / "setup.log";
    const int code = RunProgram(SetupProgram(), {"--data-dir", DataDir().string()}, {{}, log, {}});
    if (output) *output = ReadWholeFile(log).value_or(std::string());
    return code;
}

ProcessId CommenceFixture::SpawnServer(const std::vector<std::string>& args) {
    const auto log = Root() / ("server-" + std::to_string(started_.size()) + ".log");
    const ProcessId process = StartProgram(ServerProgram(), args, {{}, log, {}});
    started_.push_back(process);
    return process;
}

ProcessId CommenceFixture::StartServer(std::string_view database, std::chrono::seconds idle) {
    const ProcessId process = SpawnServer(
        {"/QUIET", "/IDLE=" + std::to_string(idle.count()), "/DATABASE=" + std::string(database)});
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
        DdeClient client;
        if (client.Connect("Commence", database)) return process;
        if (const auto code = WaitForExit(process, 0ms))
            throw std::runtime_error("commence.exe exited at start with code " +
                                     std::to_string(*code));
        std::this_thread::sleep_for(20ms);
    }
    throw std::runtime_error("commence.exe does not answer for " + std::string(database));
}

ProcessId CommenceFixture::StartCommenceKilledMidCheckOut(std::string_view database) {
    const ProcessId process =
        StartProgram(BuiltProgram("dde_test_server"),
                     {"/SERVICE=Commence", "/IDLE=60000", "/DATABASE=" + std::string(database)});
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
        DdeClient client;
        if (client.Connect("Commence", database)) return process;
        if (WaitForExit(process, 0ms)) break;
        std::this_thread::sleep_for(20ms);
    }
    throw std::runtime_error("dde_test_server does not answer for " + std::string(database));
}

std::vector<ProcessId> CommenceFixture::RunningServers() const {
    std::set<ProcessId> running;
    for (const ProcessId process : started_)
        if (!WaitForExit(process, 0ms)) running.insert(process);
    for (const ProcessId process : ServersFoundBySystem()) running.insert(process);
    return {running.begin(), running.end()};
}

void CommenceFixture::StopServers() {
    const auto running = RunningServers();
    std::vector<ProcessId> asked;
    for (const ProcessId process : running)
        if (AskToStop(process)) asked.push_back(process);
    for (const ProcessId process : running) {
        const bool wasAsked = std::find(asked.begin(), asked.end(), process) != asked.end();
        if (wasAsked && WaitForExit(process, 10s)) continue;
        Kill(process);
        (void)WaitForExit(process, 10s);
    }
    // Those that ended on their own are reaped too.
    for (const ProcessId process : started_) (void)WaitForExit(process, 0ms);
}

}  // namespace vk::test
