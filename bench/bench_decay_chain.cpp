// A whole Level 3 run with a decay chain, side by side with the same site
// whose four contaminants travel alone: tetrachloroethene leaching through
// two unsaturated layers to a borehole, with trichloroethene,
// cis-1,2-dichloroethene and vinyl chloride formed on the way
// (tests/transport/data/level3-chain.json), 1,000 iterations, one thread,
// with the fast and the exact kernel. The cost of a chain is the layer
// walk's recursion (each member asks the layer above for every member
// above it at its own time) and the chains' inversions.
// Run: build/release/bin/bench_decay_chain

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"

namespace {

varnex::Project Site(bool chain, varnex::SolverKernel kernel) {
    varnex::Project project;
    std::vector<std::string> problems;
    varnex::LoadProjectJsonFile(VARNEX_SOURCE_DIR "/tests/transport/data/level3-chain.json",
                                project, problems);
    // The half-life of vinyl chloride as at a real site, not the stable one
    // the conservation test needs.
    project.contaminants[3].halfLife.distribution.Parse("TRIANGULAR(0.5,1,3)");
    const double yields[] = {0.0, 0.79, 0.74, 0.64};
    for (std::size_t c = 1; chain && c < project.contaminants.size(); ++c) {
        project.contaminants[c].parentIdentifier = project.contaminants[c - 1].identifier;
        project.contaminants[c].yield.distribution.Parse(
            "UNIFORM(" + std::to_string(yields[c] / 2) + "," + std::to_string(yields[c]) + ")");
    }
    // Uncertain inputs, so that every iteration differs.
    project.sources[0].infiltration.distribution.Parse("TRIANGULAR(150,300,450)");
    project.aquifer.hydraulicConductivity.distribution.Parse("LOGUNIFORM(0.00005,0.0005)");
    project.solverKernel = kernel;
    return project;
}

void Run(benchmark::State& state, bool chain, varnex::SolverKernel kernel) {
    varnex::Project project = Site(chain, kernel);
    varnex::RunObserver quiet;
    varnex::RunOptions options;
    options.threads = 1;
    for (auto _ : state) {
        varnex::SetIterationCount(1000);
        varnex::SetRandomSeed(1);
        if (!varnex::RunSimulation(project, quiet, options)) state.SkipWithError("run failed");
    }
}

void AloneFast(benchmark::State& state) { Run(state, false, varnex::SolverKernel::fast); }
void ChainFast(benchmark::State& state) { Run(state, true, varnex::SolverKernel::fast); }
void AloneExact(benchmark::State& state) { Run(state, false, varnex::SolverKernel::exact); }
void ChainExact(benchmark::State& state) { Run(state, true, varnex::SolverKernel::exact); }

} // namespace

BENCHMARK(AloneFast)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ChainFast)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(AloneExact)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ChainExact)->Unit(benchmark::kMillisecond)->Iterations(3);
