// A whole Level 3 run: 3 sources, each with a porous layer over a
// dual-porosity layer, 5 soil-measured contaminants, 3 receptors, 4 time
// slices, 10,000 iterations, all four transport processes on: one thread
// with the reference kernel, one and two threads with the fast and with the
// exact kernel, side by side. Then the large project (30 sources, 3 layers,
// 20 contaminants, 10 receptors, 10 time slices) at 1,001 iterations with
// the fast and the exact kernel. The projects are checked as a run would
// check them before they are timed.
// Run: build/release/bin/bench_level3

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>

#include "model/Project.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "settings/SolverKernel.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"
#include "support/GeneratedProject.h"

namespace {

constexpr int iterations = 10000;

using varnex::test::ProjectSize;

varnex::Project Level3Project(const ProjectSize& size = ProjectSize()) {
    return varnex::test::GeneratedLevel3Project(size);
}

// Times each stage from the moment the driver announces it.
class StageClock : public varnex::RunObserver {
public:
    void StageText(const std::string& text) override {
        const auto now = std::chrono::steady_clock::now();
        if (!current_.empty())
            totals_[current_] += std::chrono::duration<double, std::milli>(now - start_).count();
        current_ = text;
        start_ = now;
    }
    void Failed(const std::string& message) override { failure = message; }
    void Finish() { StageText(std::string()); }
    double Milliseconds(const std::string& stage) { return totals_[stage]; }

    std::string failure;

private:
    std::string current_;
    std::chrono::steady_clock::time_point start_;
    std::map<std::string, double> totals_;
};

void TimeRun(benchmark::State& state, varnex::Project project, int iterationCount, int threads,
             varnex::SolverKernel kernel) {
    varnex::SetIterationCount(iterationCount);
    std::string report;
    if (!project.Validate(report)) {
        state.SkipWithError(("project not valid: " + report).c_str());
        return;
    }
    project.solverKernel = kernel;
    StageClock clock;
    varnex::RunOptions options;
    options.threads = threads;
    for (auto _ : state) {
        varnex::SetRandomSeed(1);
        if (!varnex::RunSimulation(project, clock, options))
            state.SkipWithError(("run failed: " + clock.failure).c_str());
        clock.Finish();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["sampling_ms"] = clock.Milliseconds("Sampling") / runs;
    state.counters["calculating_ms"] = clock.Milliseconds("Calculating") / runs;
    state.counters["statistics_ms"] = clock.Milliseconds("Calculating Statistics") / runs;
    // Monte Carlo iterations per second of wall time (the benchmark uses
    // real time).
    state.SetItemsProcessed(state.iterations() * iterationCount);
}

// The kernel of a benchmark argument: 0 fast, 1 reference, 2 exact.
varnex::SolverKernel KernelOf(std::int64_t code) {
    if (code == 1) return varnex::SolverKernel::reference;
    if (code == 2) return varnex::SolverKernel::exact;
    return varnex::SolverKernel::fast;
}

// Arguments: worker threads, kernel (0 fast, 1 reference, 2 exact).
void RunLevel3(benchmark::State& state) {
    TimeRun(state, Level3Project(), iterations, static_cast<int>(state.range(0)),
            KernelOf(state.range(1)));
}
// One run takes seconds to minutes: one timed run per repetition.
BENCHMARK(RunLevel3)
    ->ArgNames({"threads", "kernel"})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({1, 2})
    ->Args({2, 2})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The large project: 30 sources, 3 layers, 20 contaminants, 10 receptors,
// 10 time slices, 1,001 iterations. Arguments: worker threads, kernel.
void RunLarge(benchmark::State& state) {
    ProjectSize size;
    size.sources = 30;
    size.layers = 3;
    size.contaminants = 20;
    size.receptors = 10;
    size.slices = 10;
    TimeRun(state, Level3Project(size), 1001, static_cast<int>(state.range(0)),
            KernelOf(state.range(1)));
}
BENCHMARK(RunLarge)
    ->ArgNames({"threads", "kernel"})
    ->Args({2, 0})
    ->Args({2, 2})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
