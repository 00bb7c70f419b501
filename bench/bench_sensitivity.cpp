// The sensitivity ranking after a 10,000-iteration run of the Level 3
// example (examples/level3-gasworks-chalk.json): every input against every
// result vector of a kind, all sources, receptors, pathways and
// contaminants, with the product-moment and the rank coefficient. The run
// itself (about a minute on two threads) is done once, untimed.
// Run: build/release/bin/bench_sensitivity

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

#include "analysis/SensitivityAnalysis.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"

namespace {

varnex::Project* RunOnce() {
    static varnex::Project project;
    static const bool ran = [] {
        std::vector<std::string> problems;
        if (!varnex::LoadProjectJsonFile(VARNEX_SOURCE_DIR "/examples/level3-gasworks-chalk.json",
                                         project, problems))
            return false;
        varnex::SetIterationCount(10000);
        varnex::RunObserver observer;
        return varnex::RunSimulation(project, observer, varnex::RunOptions{2});
    }();
    return ran ? &project : nullptr;
}

void Ranking(benchmark::State& state) {
    varnex::Project* project = RunOnce();
    if (project == nullptr) {
        state.SkipWithError("the Level 3 example did not run");
        return;
    }
    varnex::SensitivitySelection selection;
    selection.result = static_cast<int>(state.range(0));
    selection.timeSlice = 3; // 50 years
    selection.rank = state.range(1) != 0;
    std::size_t entries = 0;
    for (auto _ : state) {
        const std::vector<varnex::SensitivityEntry> list =
            varnex::ComputeEntries(*project, selection);
        entries = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["entries"] = static_cast<double>(entries);
}

} // namespace

BENCHMARK(Ranking)
    ->ArgNames({"result", "rank"})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
