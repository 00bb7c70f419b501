// Time per call of the advection-dispersion kernel, which dominates run time:
// it runs once per layer, contaminant, time slice and iteration in the
// unsaturated zone and once per source, receptor, contaminant, time slice and
// iteration in the aquifer. Each call evaluates 61 complex transform values
// and a quotient-difference table of about 61^2 / 2 complex operations.
#include <benchmark/benchmark.h>

#include <cmath>

#include "transport/AdvectionDispersion.h"

namespace {

constexpr double year = 365.0 * 86400.0;

// A soil layer: 2 m thick, 1 m/year pore water velocity, dispersivity 0.2 m,
// half-life 10 years, retardation 2, after 20 years (the front is at the
// base of the layer).
void BM_SoilColumn(benchmark::State& state) {
    const double decay = std::log(2.0) / (10 * year);
    double t = 4 * year;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            varnex::SolveAdvectionDispersion(1.0, 2.0, t, 1.0 / year, 0.2, decay, 2.0));
        t = t < 20 * year ? t + year : 4 * year;  // vary the argument across the front
    }
}
BENCHMARK(BM_SoilColumn);

// An aquifer receptor 50 m downstream of a 20 m wide source and 2 m off its
// centreline: 30 m/year, alphaL 5 m, alphaT 0.5 m, half-life 10 years,
// retardation 1.5, 1 to 5 years after the start.
void BM_AquiferReceptor(benchmark::State& state) {
    const double decay = std::log(2.0) / (10 * year);
    const double v = 30.0 / year;
    double t = 1 * year;
    for (auto _ : state) {
        benchmark::DoNotOptimize(varnex::SolveAquiferAdvectionDispersion(
            1.0, 50.0, 2.0, 20.0, t, v, 0.5, 5.0, decay, 1.5));
        t = t < 5 * year ? t + 0.25 * year : 1 * year;
    }
}
BENCHMARK(BM_AquiferReceptor);

// The inversion alone, on the transform of the unit step.
void BM_InvertLaplace(benchmark::State& state) {
    const double t = 10 * year;
    const double halfPeriod = 8.0 * t;
    const double gamma = -std::log(1e-11) / (2.0 * halfPeriod);
    std::complex<double> step[varnex::laplaceTerms];
    for (int k = 0; k < varnex::laplaceTerms; ++k) {
        step[k] = 1.0 / std::complex<double>(gamma, k * 3.1415926535 / halfPeriod);
    }
    for (auto _ : state) {
        std::complex<double> values[varnex::laplaceTerms];
        for (int k = 0; k < varnex::laplaceTerms; ++k) values[k] = step[k];
        benchmark::DoNotOptimize(varnex::InvertLaplace(t, gamma, halfPeriod, values));
    }
}
BENCHMARK(BM_InvertLaplace);

} // namespace
