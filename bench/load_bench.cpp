// Start-up with a long blocklist: the file read, every line deciphered and
// added to the list, the list shown. Native, with fakes for the system.
#include <benchmark/benchmark.h>

#include <memory>

#include "fakes/fakes.h"
#include "shell/controller.h"

namespace quellgate {
namespace {

void BM_StartWithBlocklist(benchmark::State& state) {
    const auto lines = static_cast<std::size_t>(state.range(0));
    std::vector<std::string> keywords;
    for (std::size_t i = 0; i < lines; ++i) keywords.push_back("blocked keyword " + std::to_string(i * 7919));
    fakes::FakeSystem system;
    system.files.files["blocklist"] = EncodeBlocklist(keywords);
    for (auto _ : state) {
        fakes::RecordingView view;
        auto app = std::make_unique<Controller>(system.platform());
        app->Start(view);
        benchmark::DoNotOptimize(view.keywords.data());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_StartWithBlocklist)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
}  // namespace quellgate
