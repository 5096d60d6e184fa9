// One Enter's check of a script line against the running demo server: the
// conversation opened afresh, the category list, and the field and connection
// lists the line needs.
#include <benchmark/benchmark.h>

#include <string>

#include "commence/validation.h"
#include "common/messages.h"
#include "support/commence_fixture.h"

namespace {

// Counts the error boxes instead of showing them.
class CountingMessages final : public vk::MessageService {
public:
    vk::MessageAnswer Show(std::string_view, vk::MessageIcon, vk::MessageButtons,
                           std::string_view) override {
        ++shown;
        return vk::MessageAnswer::Ok;
    }
    bool Input(std::string_view, std::string_view, std::string&) override { return false; }
    int shown = 0;
};

void BM_ValidateLine(benchmark::State& state, const std::string& line) {
    CountingMessages messages;
    for (auto _ : state) {
        const std::size_t offset =
            vk::ValidateLine(vk::test::CommenceFixture::kDemoSales, "Account", line, messages);
        benchmark::DoNotOptimize(offset);
    }
    if (messages.shown != 0) state.SkipWithError("a name of the line was reported missing");
}
// A field, a connection and a field of the connected category: four requests.
BENCHMARK_CAPTURE(BM_ValidateLine, FieldAndConnection,
                  std::string("x = Field(\"Region\") & Form.Connection(\"Managed by\", "
                              "\"Employee\").FieldValue(\"Initials\")"))
    ->Unit(benchmark::kMicrosecond);
// Nothing to look up: the conversation and the category list alone.
BENCHMARK_CAPTURE(BM_ValidateLine, NoCalls, std::string("x = 1"))
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // A private registry, socket folder and demo databases, and a running
    // server; all of it goes when the fixture does.
    vk::test::CommenceFixture fixture;
    fixture.StartServer(vk::test::CommenceFixture::kDemoSales);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
