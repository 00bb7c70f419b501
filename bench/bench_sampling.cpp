// Latin hypercube against plain Monte Carlo sampling.
//
// BM_VarianceReduction: over 200 seeds at N = 101 iterations, the standard
// deviation of the mean and of the 95th percentile of one result, with each
// sampling method: a Level 1 source concentration (examples/level1-
// gasworks.json, the first entry's at the first time slice) and a Level 3
// receptor total (examples/level3-petrol-station.json, the receptor total
// with the largest mean; and the same in examples/level3-gasworks-chalk.json). Reported as counters: the two standard deviations
// of each method and their ratios, Latin hypercube over Monte Carlo (below 1
// is a reduction). One repetition; it takes tens of seconds.
//
// BM_SampleLargeProject: the sampling stage alone (SampleIterationInputs) of
// the large project (30 sources, 3 layers, 20 contaminants, 10 receptors, 10
// time slices) at 10,000 iterations, with each method.
//
// Run: build/release/bin/bench_sampling

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "results/ResultStatistics.h"
#include "run/IterationInputs.h"
#include "run/ResultStore.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"
#include "support/GeneratedProject.h"

namespace {

using varnex::Project;
using varnex::SamplingMethod;

class Quiet : public varnex::RunObserver {
public:
    void Failed(const std::string& message) override { failure = message; }
    std::string failure;
};

Project Example(const std::string& name) {
    Project project;
    std::vector<std::string> problems;
    varnex::LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) + "/examples/" + name, project,
                                problems);
    return project;
}

// The values of the chosen result of one run.
std::vector<double> Values(Project& project, const std::string& kind, std::uint32_t seed) {
    varnex::SetRandomSeed(seed);
    Quiet observer;
    varnex::RunOptions options;
    options.threads = 2;
    if (!varnex::RunSimulation(project, observer, options)) return {};
    const std::vector<varnex::ResultEntry> entries = varnex::StatisticsSet(project);
    const varnex::ResultEntry* chosen = nullptr;
    double largest = -1.0;
    for (const varnex::ResultEntry& entry : entries) {
        if (entry.kind != kind) continue;
        if (kind == "sourceConcentration") {
            chosen = &entry;
            break;
        }
        const double mean = entry.vector->Mean();
        if (mean > largest) {
            largest = mean;
            chosen = &entry;
        }
    }
    return chosen ? chosen->vector->Values() : std::vector<double>();
}

double StandardDeviation(const std::vector<double>& x) {
    double mean = 0.0;
    for (double v : x) mean += v / static_cast<double>(x.size());
    double sum = 0.0;
    for (double v : x) sum += (v - mean) * (v - mean);
    return std::sqrt(sum / static_cast<double>(x.size() - 1));
}

// Standard deviations over the seeds of the mean and of the 95th percentile.
void Scatter(Project project, const std::string& kind, SamplingMethod method, double& meanSd,
             double& p95Sd) {
    project.samplingMethod = method;
    varnex::SetIterationCount(101);
    std::vector<double> means, p95s;
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        std::vector<double> values = Values(project, kind, seed);
        if (values.empty()) continue;
        double mean = 0.0;
        for (double v : values) mean += v / static_cast<double>(values.size());
        varnex::SortValues(values);
        means.push_back(mean);
        p95s.push_back(varnex::Percentile(values, 95));
    }
    meanSd = StandardDeviation(means);
    p95Sd = StandardDeviation(p95s);
}

void VarianceReduction(benchmark::State& state, const char* example, const char* kind) {
    const Project project = Example(example);
    for (auto _ : state) {
        double mcMean = 0, mcP95 = 0, lhsMean = 0, lhsP95 = 0;
        Scatter(project, kind, SamplingMethod::monteCarlo, mcMean, mcP95);
        Scatter(project, kind, SamplingMethod::latinHypercube, lhsMean, lhsP95);
        state.counters["mc_mean_sd"] = mcMean;
        state.counters["lhs_mean_sd"] = lhsMean;
        state.counters["ratio_mean_sd"] = lhsMean / mcMean;
        state.counters["mc_p95_sd"] = mcP95;
        state.counters["lhs_p95_sd"] = lhsP95;
        state.counters["ratio_p95_sd"] = lhsP95 / mcP95;
    }
}

BENCHMARK_CAPTURE(VarianceReduction, level1_source, "level1-gasworks.json", "sourceConcentration")
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(VarianceReduction, level3_receptor, "level3-petrol-station.json",
                  "totalReceptorConcentration")
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(VarianceReduction, level3_chalk_receptor, "level3-gasworks-chalk.json",
                  "totalReceptorConcentration")
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

void SampleLargeProject(benchmark::State& state) {
    varnex::test::ProjectSize size;
    size.sources = 30;
    size.layers = 3;
    size.contaminants = 20;
    size.receptors = 10;
    size.slices = 10;
    Project project = varnex::test::GeneratedLevel3Project(size);
    project.samplingMethod =
        state.range(0) != 0 ? SamplingMethod::latinHypercube : SamplingMethod::monteCarlo;
    varnex::SetIterationCount(10000);
    project.thicknessOutOfRangeCount.assign(project.sources.size(), 0);
    for (auto _ : state) {
        varnex::SetRandomSeed(1);
        varnex::SampleIterationInputs(project);
    }
}
BENCHMARK(SampleLargeProject)
    ->ArgName("lhs")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
