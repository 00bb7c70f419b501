// Time to compute the statistics of one result vector of 10,000 iterations
// (the maximum N), in ns per vector: the statistics stage runs this for every
// result vector of a run. Two shapes of values: a spread of concentrations
// (log-normal), and a vector that is mostly zero because most iterations
// never see breakthrough in the time slice.
#include <benchmark/benchmark.h>
#include <random>

#include "results/ResultVector.h"
#include "stochastic/IterationCount.h"

namespace {

using varnex::ResultVector;

constexpr int valueCount = 10000;

ResultVector MakeVector(double zeroFraction) {
    varnex::SetIterationCount(valueCount);
    ResultVector vector("bench");
    vector.Prepare(0, true);
    std::mt19937_64 random(20240601);
    std::lognormal_distribution<double> concentration(-3.0, 2.0);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    for (std::size_t i = 0; i < vector.Size(); ++i) {
        vector.At(i) = uniform(random) < zeroFraction ? 0.0 : concentration(random);
    }
    return vector;
}

void ComputeStatistics(benchmark::State& state, double zeroFraction) {
    ResultVector vector = MakeVector(zeroFraction);
    for (auto _ : state) {
        vector.ComputeStatistics();
        benchmark::DoNotOptimize(vector.Mean());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * valueCount);
}

void BM_ComputeStatistics_LogNormal(benchmark::State& state) { ComputeStatistics(state, 0.0); }
void BM_ComputeStatistics_MostlyZero(benchmark::State& state) { ComputeStatistics(state, 0.8); }

} // namespace

BENCHMARK(BM_ComputeStatistics_LogNormal);
BENCHMARK(BM_ComputeStatistics_MostlyZero);
