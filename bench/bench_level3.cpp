// A whole Level 3 run: 3 sources, each with a porous layer over a
// dual-porosity layer, 5 soil-measured contaminants, 3 receptors, 4 time
// slices, 10,000 iterations, all four transport processes on: one thread
// with the reference kernel, one and two threads with the fast kernel, side
// by side. Then the large project (30 sources, 3 layers, 20 contaminants,
// 10 receptors, 10 time slices) at 1,001 iterations. The projects are
// checked as a run would check them before they are timed.
// Run: build/release/bin/bench_level3

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <string>

#include "model/Project.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "settings/SolverKernel.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"

namespace {

constexpr int iterations = 10000;

void Set(varnex::StochasticParameter& input, const char* text) { input.distribution.Parse(text); }

void Till(varnex::UnsaturatedPathway& layer) {
    layer.name = "Till";
    layer.flowModel = varnex::UnsaturatedPathway::porousMedium;
    Set(layer.thickness, "NORMAL(3.5,0.8)");
    Set(layer.waterFilledPorosity, "TRIANGULAR(0.2,0.27,0.32)");
    Set(layer.unsaturatedConductivity, "LOGUNIFORM(1e-8,1e-6)");
    Set(layer.verticalDispersivity, "TRIANGULAR(0.1,0.3,0.5)");
    Set(layer.foc, "TRIANGULAR(0.1,0.3,0.6)");
    Set(layer.dryBulkDensity, "TRIANGULAR(1.8,1.95,2.1)");
}

// Matrix conductivities each side of the infiltration, so that both the
// matrix-only and the fissure-flow branches run.
void Chalk(varnex::UnsaturatedPathway& layer) {
    layer.name = "Chalk";
    layer.flowModel = varnex::UnsaturatedPathway::dualPorosity;
    Set(layer.thickness, "NORMAL(17,3)");
    Set(layer.matrixConductivity, "LOGUNIFORM(1e-9,1e-8)");
    Set(layer.effectiveMatrixPorosity, "TRIANGULAR(0.25,0.32,0.4)");
    Set(layer.effectiveFissurePorosity, "TRIANGULAR(0.001,0.004,0.01)");
    Set(layer.verticalDispersivity, "TRIANGULAR(0.5,1.5,3)");
    Set(layer.foc, "TRIANGULAR(0.01,0.05,0.1)");
    Set(layer.dryBulkDensity, "TRIANGULAR(1.6,1.8,2)");
}

// A Level 3 project of the given size: `layers` pathways per source (till
// over Chalk, then alternating), `contaminants` species (four in five
// organics sorbing through koc), sources in rows of five, receptors
// downstream, time slices from 10 years doubling.
struct ProjectSize {
    int sources = 3, layers = 2, contaminants = 5, receptors = 3, slices = 4;
};

varnex::Project Level3Project(const ProjectSize& size = ProjectSize()) {
    varnex::Project project;
    project.simulationLevel = varnex::SimulationLevel::level3;
    project.timeSlices.clear();
    const double slices[] = {10.0, 25.0, 50.0, 100.0};
    for (int k = 0; k < size.slices; ++k)
        project.timeSlices.push_back(k < 4 ? slices[k] : 100.0 * static_cast<double>(1 << (k - 3)));
    project.processes = {true, true, true, true};

    varnex::Aquifer& aquifer = project.aquifer;
    aquifer.flowDirection = 90.0; // east: x' is the plan's x
    aquifer.calculateMixingZone = 1;
    Set(aquifer.thickness, "TRIANGULAR(30,40,50)");
    Set(aquifer.foc, "TRIANGULAR(0.01,0.05,0.1)");
    Set(aquifer.dryBulkDensity, "TRIANGULAR(1.7,1.85,2)");
    Set(aquifer.lateralDispersivity, "TRIANGULAR(1,3,6)");
    Set(aquifer.longitudinalDispersivity, "TRIANGULAR(10,30,60)");
    Set(aquifer.effectivePorosity, "TRIANGULAR(0.01,0.02,0.05)");
    Set(aquifer.hydraulicConductivity, "LOGUNIFORM(5e-5,5e-4)");
    Set(aquifer.hydraulicGradient, "TRIANGULAR(0.001,0.003,0.005)");

    // Four organics sorbing through koc and one species with entered kd.
    const char* koc[] = {"TRIANGULAR(50,66,100)", "TRIANGULAR(130,180,300)", "TRIANGULAR(200,360,520)",
                         "TRIANGULAR(240,380,500)"};
    for (int c = 0; c < size.contaminants; ++c) {
        varnex::Contaminant contaminant;
        contaminant.identifier = 1001 + c;
        contaminant.name = "Species " + std::to_string(c + 1);
        const bool organic = c % 5 < 4;
        contaminant.henryFlag = organic;
        contaminant.partitionFromKoc = organic ? 1 : 0;
        if (organic) {
            Set(contaminant.koc, koc[c % 5]);
            Set(contaminant.halfLife, "TRIANGULAR(0.3,1.5,6)");
        } else {
            Set(contaminant.partitionCoefficient, "LOGUNIFORM(0.3,5)");
            Set(contaminant.halfLife, "SINGLE(1000000)");
        }
        project.contaminants.push_back(contaminant);
    }

    for (int s = 0; s < size.sources; ++s) {
        varnex::Source source;
        source.name = "Source " + std::to_string(s + 1);
        const double x = 50.0 * (s / 5);
        const double y = 40.0 * (s % 5);
        source.vertices = {{x, y}, {x + 30, y}, {x + 30, y + 25}, {x, y + 25}};
        source.decliningSource = s == 0 ? varnex::Source::leachingDecline : varnex::Source::constantSource;
        Set(source.infiltration, "TRIANGULAR(50,120,200)");
        Set(source.thickness, "TRIANGULAR(1,2,3.5)");
        Set(source.dryBulkDensity, "TRIANGULAR(1.5,1.65,1.8)");
        Set(source.waterFilledPorosity, "TRIANGULAR(0.15,0.2,0.25)");
        Set(source.airFilledPorosity, "TRIANGULAR(0.08,0.12,0.18)");
        Set(source.foc, "TRIANGULAR(0.5,1.5,3)");
        Set(source.overallUnsaturatedZoneThickness, "TRIANGULAR(18,21,24)");
        Till(source.pathways.at(0));
        for (int p = 1; p < size.layers; ++p) {
            source.pathways.emplace_back();
            if (p % 2 == 1)
                Chalk(source.pathways.back());
            else
                Till(source.pathways.back());
            source.pathways.back().name += " " + std::to_string(p + 1);
        }
        std::string error;
        project.AddSource(source, error, false);
    }
    for (varnex::Source& source : project.sources) {
        for (varnex::SourceContaminant& entry : source.inventory) {
            const bool organic = (entry.contaminant - 1001) % 5 < 4;
            entry.active = true;
            entry.measuredAs = varnex::SourceContaminant::measuredInSoil;
            entry.partitionFromKoc = organic ? 1 : 0;
            Set(entry.concentration, organic ? "LOGTRIANGULAR(0.5,8,80)" : "LOGNORMAL(40,25)");
            if (organic) Set(entry.henrysLawConstant, "TRIANGULAR(0.2,0.25,0.3)");
            Set(entry.maximumSolubility, "SINGLE(500)");
            if (!organic) Set(entry.partitionCoefficient, "LOGUNIFORM(25,250)");
            for (auto& [layer, record] : entry.pathwayProperties) {
                record.partitionFromKoc = organic ? 1 : 0;
                if (!organic)
                    Set(record.uzPartitionCoefficient, layer == 0 ? "LOGUNIFORM(5,50)" : "LOGUNIFORM(0.5,10)");
                Set(record.uzHalfLife, organic ? "TRIANGULAR(1,5,20)" : "SINGLE(1000000)");
            }
        }
    }

    const double distances[] = {400, 900, 1500};
    for (int r = 0; r < size.receptors; ++r) {
        varnex::Receptor receptor;
        receptor.name = "Receptor " + std::to_string(r + 1);
        receptor.x = distances[r % 3] + 150.0 * (r / 3);
        receptor.y = 50.0 + 10.0 * r;
        std::string error;
        project.AddReceptor(receptor, error);
    }
    return project;
}

// Times each stage from the moment the driver announces it.
class StageClock : public varnex::RunObserver {
public:
    void StageText(const std::string& text) override {
        const auto now = std::chrono::steady_clock::now();
        if (!current_.empty()) totals_[current_] += std::chrono::duration<double, std::milli>(now - start_).count();
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

// Arguments: worker threads, kernel (0 fast, 1 reference).
void RunLevel3(benchmark::State& state) {
    TimeRun(state, Level3Project(), iterations, static_cast<int>(state.range(0)),
            state.range(1) != 0 ? varnex::SolverKernel::reference : varnex::SolverKernel::fast);
}
// One run takes seconds to minutes: one timed run per repetition.
BENCHMARK(RunLevel3)
    ->ArgNames({"threads", "reference"})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The large project: 30 sources, 3 layers, 20 contaminants, 10 receptors,
// 10 time slices, 1,001 iterations, fast kernel.
void RunLarge(benchmark::State& state) {
    ProjectSize size;
    size.sources = 30;
    size.layers = 3;
    size.contaminants = 20;
    size.receptors = 10;
    size.slices = 10;
    TimeRun(state, Level3Project(size), 1001, static_cast<int>(state.range(0)), varnex::SolverKernel::fast);
}
BENCHMARK(RunLarge)->ArgName("threads")->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
