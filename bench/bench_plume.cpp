// The contaminant plume of the Level 3 example (examples/
// level3-gasworks-chalk.json): benzene after 100 years on a 200 x 200 grid
// of 8 m spacing, 1600 m square, from the site to beyond the river, with 1
// and 2 worker threads, with the fast and with the exact kernel side by
// side.
// Run: build/release/bin/bench_plume

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "run/PlumeGrid.h"
#include "run/PlumeObserver.h"
#include "settings/SolverKernel.h"

namespace {

void Plume(benchmark::State& state) {
    varnex::Project project;
    std::vector<std::string> problems;
    if (!varnex::LoadProjectJsonFile(VARNEX_SOURCE_DIR "/examples/level3-gasworks-chalk.json",
                                     project, problems)) {
        state.SkipWithError("cannot read the Level 3 example");
        return;
    }
    varnex::PlumeRequest request;
    request.contaminantIndex = 0; // benzene
    request.timeYears = 100.0;
    request.spacingM = 8.0;
    request.leftX = -300.0;
    request.topY = 100.0;
    request.widthM = 1600.0;
    request.heightM = 1600.0;
    request.threads = static_cast<int>(state.range(0));
    project.solverKernel =
        state.range(1) != 0 ? varnex::SolverKernel::exact : varnex::SolverKernel::fast;
    varnex::PlumeObserver observer;
    for (auto _ : state) {
        if (!varnex::ComputePlume(project, request, observer)) {
            state.SkipWithError("the plume failed");
            return;
        }
    }
    double peak = 0.0;
    for (const std::vector<double>& column : project.plume.columns)
        for (double c : column) peak = c > peak ? c : peak;
    state.counters["nodes"] =
        static_cast<double>(project.plume.columns.size() *
                            (project.plume.columns.empty() ? 0 : project.plume.columns[0].size()));
    state.counters["peak_mg_per_l"] = peak;
}

} // namespace

BENCHMARK(Plume)
    ->ArgNames({"threads", "exact"})
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);
