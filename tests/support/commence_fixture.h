#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_process.h"
#include "support/test_support.h"

namespace vk::test {

// A private Commence world for one test: a temp folder with its own registry
// (VELLUMKIT_REGISTRY_DIR), user data folder and, on POSIX systems, DDE socket folder
// (XDG_RUNTIME_DIR), each set for the object's lifetime, and the demo
// databases created and registered there by the real vellumkit-setup. Servers
// are the real commence.exe, started here or by the code under test (they
// inherit the environment). On destruction every commence.exe serving this
// folder is stopped: asked to stop (SIGTERM, or its window closed on
// Windows), then killed after a bound.
//
// Windows has one DDE name space for every program on the desktop: there a
// fixture's servers are those started since it was made, so the tests that
// use it must not run side by side (one test program at a time does that).
//
// A test program that uses it runs the two programs, so its CMake target must
// depend on them:
//   add_dependencies(<test target> commence-server vellumkit-setup)
//
// Registry::Instance() keeps the folder it first opened; code under test that
// reads the registry should be given a Registry(RegistryDir()) instead.
class CommenceFixture {
public:
    static constexpr std::string_view kDemoSales = "Demo Sales";        // has a user name
    static constexpr std::string_view kFieldService = "Field Service";  // has none

    // Throws std::runtime_error when the setup fails.
    CommenceFixture();
    ~CommenceFixture();
    CommenceFixture(const CommenceFixture&) = delete;
    CommenceFixture& operator=(const CommenceFixture&) = delete;

    [[nodiscard]] const std::filesystem::path& Root() const { return dir_.path(); }
    [[nodiscard]] std::filesystem::path DataDir() const { return Root() / "databases"; }
    [[nodiscard]] std::filesystem::path RegistryDir() const { return Root() / "registry"; }
    [[nodiscard]] std::filesystem::path RuntimeDir() const { return Root() / "run"; }
    // The user's data folder (XDG_DATA_HOME, LOCALAPPDATA on Windows) while
    // the fixture lives; the program's own folder is below it.
    [[nodiscard]] std::filesystem::path UserDataDir() const { return Root() / "user-data"; }
    [[nodiscard]] std::filesystem::path DatabaseFolder(std::string_view name) const {
        return DataDir() / std::string(name);
    }

    [[nodiscard]] static std::filesystem::path ServerProgram();  // BinDir()/commence.exe
    [[nodiscard]] static std::filesystem::path SetupProgram();   // BinDir()/vellumkit-setup

    // Runs vellumkit-setup --data-dir DataDir() again; returns its exit code
    // and, in `output`, what it printed.
    int RunSetup(std::string* output = nullptr) const;

    // Starts "commence.exe /QUIET /IDLE=<idle> /DATABASE=<name>" and returns
    // once it answers a DDE connection. Throws std::runtime_error when it
    // exits or does not answer within 30 s.
    ProcessId StartServer(std::string_view database,
                          std::chrono::seconds idle = std::chrono::seconds(600));

    // Starts a stand-in for a Commence that is killed half-way through a
    // check-out (the platform tests' dde_test_server): it lists the category
    // "Account" with the form "Account", writes the first half of the script
    // and dies. Returns once it answers. A test program that uses it depends
    // on dde_test_server.
    ProcessId StartCommenceKilledMidCheckOut(std::string_view database);

    // Starts commence.exe with exactly these arguments and does not wait.
    ProcessId SpawnServer(const std::vector<std::string>& args);

    // Every commence.exe running for this fixture: those started here and
    // those the code under test started (see ServersFoundBySystem).
    [[nodiscard]] std::vector<ProcessId> RunningServers() const;

    // Stops every server of this fixture (see the class comment).
    void StopServers();

    // test::WaitForExit.
    static std::optional<int> WaitForExit(ProcessId process, std::chrono::milliseconds bound) {
        return test::WaitForExit(process, bound);
    }

private:
    // The servers of this fixture as the system shows them: on POSIX systems
    // those whose socket is in its DDE folder and those whose environment
    // names its runtime folder; on Windows every commence.exe started since
    // the fixture was made.
    [[nodiscard]] std::vector<ProcessId> ServersFoundBySystem() const;

    std::chrono::system_clock::time_point made_ = std::chrono::system_clock::now();
    TempDir dir_;
    std::unique_ptr<ScopedEnv> registryEnv_;
    std::unique_ptr<ScopedEnv> runtimeEnv_;
    std::unique_ptr<ScopedEnv> userDataEnv_;
#ifdef _WIN32
    static constexpr const char* kUserDataVariable = "LOCALAPPDATA";
#else
    static constexpr const char* kUserDataVariable = "XDG_DATA_HOME";
#endif
    std::vector<ProcessId> started_;
};

}  // namespace vk::test
