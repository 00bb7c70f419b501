// The probability map of the Level 3 example (examples/
// level3-gasworks-chalk.json): benzene at 50 years on a 100 x 100 grid over
// the site, the borehole and the spring, from a run of 1001 iterations, on
// 2 threads, with the exact and the fast kernel side by side (the run is
// made with the kernel the map then uses, as a map always takes its run's).
// Then the memory: the growth of the resident set while a 200 x 200 map of
// a 10,000-iteration run is computed (the peak of the map's own work, read
// from /proc/self/status after resetting the peak).
// Run: build/release/bin/bench_probability_map

#include <benchmark/benchmark.h>
#include <fstream>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "run/PlumeObserver.h"
#include "run/ProbabilityMap.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "settings/SolverKernel.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"

namespace {

bool RunExample(varnex::Project& project, int iterations, varnex::SolverKernel kernel) {
    std::vector<std::string> problems;
    if (!varnex::LoadProjectJsonFile(VARNEX_SOURCE_DIR "/examples/level3-gasworks-chalk.json",
                                     project, problems))
        return false;
    project.solverKernel = kernel;
    varnex::SetIterationCount(iterations);
    varnex::SetRandomSeed(1);
    varnex::RunObserver quiet;
    varnex::RunOptions options;
    options.threads = 2;
    return varnex::RunSimulation(project, quiet, options);
}

// The site and the plume's way to the spring: x from -150 to 650 m, y from
// 100 down to -1100 m (the borehole at (190, -342), the spring at (359,
// -836)).
varnex::ProbabilityMapRequest Request(std::size_t side) {
    varnex::ProbabilityMapRequest request;
    request.contaminantIndex = 0; // benzene
    request.timeYears = 50.0;
    request.grid = varnex::MapGrid{
        -150.0, 100.0, 800.0 / static_cast<double>(side), 1200.0 / static_cast<double>(side),
        side,   side};
    request.threads = 2;
    return request;
}

void ProbabilityMap(benchmark::State& state) {
    const varnex::SolverKernel kernel =
        state.range(0) != 0 ? varnex::SolverKernel::exact : varnex::SolverKernel::fast;
    varnex::Project project;
    if (!RunExample(project, 1001, kernel)) {
        state.SkipWithError("the Level 3 example did not run");
        return;
    }
    varnex::PlumeObserver observer;
    varnex::ProbabilityMap map;
    for (auto _ : state) {
        if (!varnex::ComputeProbabilityMap(project, Request(100), observer, map)) {
            state.SkipWithError("the map failed");
            return;
        }
    }
    double above = 0.0;
    for (double p : map.exceedance) above += p > 0.05 ? 1.0 : 0.0;
    state.counters["nodes"] = static_cast<double>(map.grid.Nodes());
    state.counters["nodes_above_5pc"] = above;
}

// kB of a line of /proc/self/status ("VmRSS:", "VmHWM:").
double StatusKilobytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size()));
    return 0.0;
}

void ProbabilityMapMemory(benchmark::State& state) {
    varnex::Project project;
    if (!RunExample(project, 10000, varnex::SolverKernel::exact)) {
        state.SkipWithError("the Level 3 example did not run");
        return;
    }
    varnex::PlumeObserver observer;
    varnex::ProbabilityMap map;
    double growthMb = 0.0;
    for (auto _ : state) {
        // Writing 5 to clear_refs resets the peak resident set to the
        // current one (Linux).
        std::ofstream("/proc/self/clear_refs") << "5";
        const double before = StatusKilobytes("VmRSS:");
        if (!varnex::ComputeProbabilityMap(project, Request(200), observer, map)) {
            state.SkipWithError("the map failed");
            return;
        }
        growthMb = (StatusKilobytes("VmHWM:") - before) / 1024.0;
    }
    state.counters["nodes"] = static_cast<double>(map.grid.Nodes());
    state.counters["peak_growth_MB"] = growthMb;
}

} // namespace

BENCHMARK(ProbabilityMap)
    ->ArgNames({"exact"})
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(ProbabilityMapMemory)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
