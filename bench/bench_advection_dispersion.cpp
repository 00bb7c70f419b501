// Time per call of the advection-dispersion kernel, which dominates run time:
// it runs once per layer, contaminant, time slice and iteration in the
// unsaturated zone and once per source, receptor, contaminant, time slice and
// iteration in the aquifer. Each call evaluates 61 complex transform values
// and a quotient-difference table of about 61^2 / 2 complex operations.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <vector>

#include "transport/AdvectionDispersion.h"
#include "transport/ExactAdvectionDispersion.h"
#include "transport/FastAdvectionDispersion.h"

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
        t = t < 20 * year ? t + year : 4 * year; // vary the argument across the front
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
        benchmark::DoNotOptimize(varnex::SolveAquiferAdvectionDispersion(1.0, 50.0, 2.0, 20.0, t, v,
                                                                         0.5, 5.0, decay, 1.5));
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

// Reference and fast kernel side by side over problems typical of soils and
// aquifers: lengths 0.5 to 500 m, times 1 to 10,000 years (half of them
// about the arrival of the front), velocities 1e-9 to 1e-5 m/s,
// dispersivities 0.05 to 50 m, no decay or half-lives of 1 to 1000 years,
// retardation 1 to 100, all log-uniform from a fixed stream. The argument
// selects the dispersivity range: 0 the whole range (a third of the problems
// are sharp fronts, which the fast kernel hands to the reference), 1
// dispersivities of at least a tenth of the length (the usual rule of
// thumb for field scale).
std::vector<varnex::ColumnProblem> TypicalProblems(bool fieldScale) {
    std::uint64_t state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    auto logUniform = [&](double low, double high) {
        return std::exp(std::log(low) + next() * (std::log(high) - std::log(low)));
    };
    std::vector<varnex::ColumnProblem> problems;
    for (int k = 0; k < 4096; ++k) {
        varnex::ColumnProblem p{};
        p.concentration = logUniform(1e-3, 1e3);
        p.distanceM = logUniform(0.5, 500.0);
        p.dispersivityM = fieldScale ? std::min(50.0, p.distanceM * logUniform(0.1, 1.0))
                                     : logUniform(0.05, 50.0);
        p.velocityMPerS = logUniform(1e-9, 1e-5);
        p.retardation = logUniform(1.0, 100.0);
        p.decayPerS = next() < 0.3 ? 0.0 : std::log(2.0) / (logUniform(1.0, 1000.0) * year);
        const double arrival = p.distanceM * p.retardation / p.velocityMPerS;
        p.timeS = k % 2 == 0 ? std::min(std::max(arrival * logUniform(0.3, 3.0), year), 1e4 * year)
                             : logUniform(1.0, 1e4) * year;
        problems.push_back(p);
    }
    return problems;
}

void BM_TypicalReference(benchmark::State& state) {
    const std::vector<varnex::ColumnProblem> problems = TypicalProblems(state.range(0) != 0);
    std::size_t k = 0;
    for (auto _ : state) {
        const varnex::ColumnProblem& p = problems[k++ % problems.size()];
        benchmark::DoNotOptimize(
            varnex::SolveAdvectionDispersion(p.concentration, p.distanceM, p.timeS, p.velocityMPerS,
                                             p.dispersivityM, p.decayPerS, p.retardation));
    }
}
BENCHMARK(BM_TypicalReference)->ArgName("fieldScale")->Arg(0)->Arg(1);

void BM_TypicalFastSingle(benchmark::State& state) {
    const std::vector<varnex::ColumnProblem> problems = TypicalProblems(state.range(0) != 0);
    std::size_t k = 0;
    for (auto _ : state) {
        const varnex::ColumnProblem& p = problems[k++ % problems.size()];
        benchmark::DoNotOptimize(varnex::FastSolveAdvectionDispersion(
            p.concentration, p.distanceM, p.timeS, p.velocityMPerS, p.dispersivityM, p.decayPerS,
            p.retardation));
    }
}
BENCHMARK(BM_TypicalFastSingle)->ArgName("fieldScale")->Arg(0)->Arg(1);

// Batches of 4, 8 and 24 problems; the time reported is per problem.
void BM_TypicalFastBatch(benchmark::State& state) {
    const std::vector<varnex::ColumnProblem> problems = TypicalProblems(state.range(0) != 0);
    const std::size_t size = static_cast<std::size_t>(state.range(1));
    std::vector<double> results(size);
    std::size_t start = 0;
    for (auto _ : state) {
        if (start + size > problems.size()) start = 0;
        varnex::FastSolveAdvectionDispersionBatch(problems.data() + start, results.data(), size);
        benchmark::DoNotOptimize(results.data());
        start += size;
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
BENCHMARK(BM_TypicalFastBatch)
    ->ArgNames({"fieldScale", "batch"})
    ->ArgsProduct({{0, 1}, {4, 8, 24}});

// The reference and the fast kernel side by side over problems typical of
// soils and aquifers, drawn once (log-uniformly, from a fixed seed): lengths
// 0.5 to 500 m, times 1 to 10,000 years, velocities 1e-9 to 1e-5 m/s,
// dispersivities 0.05 to 50 m, half-lives 1 to 1000 years or no decay (one
// in four), retardation 1 to 100; for the aquifer also lateral offsets within
// +-50 m, source widths 1 to 100 m and lateral dispersivities 1 to 50 % of
// the longitudinal one. Each benchmark cycles through the same 960 problems;
// the time is per problem.
class TypicalProblems {
public:
    static const TypicalProblems& Get() {
        static const TypicalProblems problems;
        return problems;
    }
    std::vector<varnex::ColumnProblem> columns;
    std::vector<varnex::AquiferProblem> aquifers;

private:
    TypicalProblems() {
        std::uint64_t state = 960;
        auto next = [&state] {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            return static_cast<double>(state >> 11) / 9007199254740992.0;
        };
        auto logUniform = [&next](double low, double high) {
            return std::exp(std::log(low) + next() * (std::log(high) - std::log(low)));
        };
        for (int k = 0; k < 960; ++k) {
            varnex::ColumnProblem c{};
            c.concentration = 1.0;
            c.distanceM = logUniform(0.5, 500.0);
            c.timeS = logUniform(1.0, 1e4) * year;
            c.velocityMPerS = logUniform(1e-9, 1e-5);
            c.dispersivityM = logUniform(0.05, 50.0);
            c.decayPerS = next() < 0.25 ? 0.0 : std::log(2.0) / (logUniform(1.0, 1000.0) * year);
            c.retardation = logUniform(1.0, 100.0);
            columns.push_back(c);
            aquifers.push_back({c.concentration, c.distanceM, (next() - 0.5) * 100.0,
                                logUniform(1.0, 100.0), c.timeS, c.velocityMPerS,
                                c.dispersivityM * logUniform(0.01, 0.5), c.dispersivityM,
                                c.decayPerS, c.retardation});
        }
    }
};

void BM_TypicalColumnReference(benchmark::State& state) {
    const auto& problems = TypicalProblems::Get().columns;
    std::size_t k = 0;
    for (auto _ : state) {
        const varnex::ColumnProblem& p = problems[k];
        benchmark::DoNotOptimize(
            varnex::SolveAdvectionDispersion(p.concentration, p.distanceM, p.timeS, p.velocityMPerS,
                                             p.dispersivityM, p.decayPerS, p.retardation));
        k = k + 1 < problems.size() ? k + 1 : 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TypicalColumnReference);

void BM_TypicalColumnFast(benchmark::State& state) {
    const auto& problems = TypicalProblems::Get().columns;
    std::size_t k = 0;
    for (auto _ : state) {
        const varnex::ColumnProblem& p = problems[k];
        benchmark::DoNotOptimize(varnex::FastSolveAdvectionDispersion(
            p.concentration, p.distanceM, p.timeS, p.velocityMPerS, p.dispersivityM, p.decayPerS,
            p.retardation));
        k = k + 1 < problems.size() ? k + 1 : 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TypicalColumnFast);

// Batches of state.range(0) problems; items are problems, so the reported
// time per item is the amortised time per call.
void BM_TypicalColumnFastBatch(benchmark::State& state) {
    const auto& problems = TypicalProblems::Get().columns;
    const auto size = static_cast<std::size_t>(state.range(0));
    std::vector<double> results(size);
    std::size_t first = 0;
    for (auto _ : state) {
        varnex::FastSolveAdvectionDispersionBatch(problems.data() + first, results.data(), size);
        benchmark::DoNotOptimize(results.data());
        first = first + 2 * size <= problems.size() ? first + size : 0;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TypicalColumnFastBatch)->Arg(4)->Arg(8)->Arg(24);

void BM_TypicalAquiferReference(benchmark::State& state) {
    const auto& problems = TypicalProblems::Get().aquifers;
    std::size_t k = 0;
    for (auto _ : state) {
        const varnex::AquiferProblem& p = problems[k];
        benchmark::DoNotOptimize(varnex::SolveAquiferAdvectionDispersion(
            p.concentration, p.xM, p.yM, p.widthM, p.timeS, p.velocityMPerS, p.lateralDispersivityM,
            p.longitudinalDispersivityM, p.decayPerS, p.retardation));
        k = k + 1 < problems.size() ? k + 1 : 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TypicalAquiferReference);

void BM_TypicalAquiferFast(benchmark::State& state) {
    const auto& problems = TypicalProblems::Get().aquifers;
    std::size_t k = 0;
    for (auto _ : state) {
        const varnex::AquiferProblem& p = problems[k];
        benchmark::DoNotOptimize(varnex::FastSolveAquiferAdvectionDispersion(
            p.concentration, p.xM, p.yM, p.widthM, p.timeS, p.velocityMPerS, p.lateralDispersivityM,
            p.longitudinalDispersivityM, p.decayPerS, p.retardation));
        k = k + 1 < problems.size() ? k + 1 : 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TypicalAquiferFast);

void BM_TypicalAquiferFastBatch(benchmark::State& state) {
    const auto& problems = TypicalProblems::Get().aquifers;
    const auto size = static_cast<std::size_t>(state.range(0));
    std::vector<double> results(size);
    std::size_t first = 0;
    for (auto _ : state) {
        varnex::FastSolveAquiferAdvectionDispersionBatch(problems.data() + first, results.data(),
                                                         size);
        benchmark::DoNotOptimize(results.data());
        first = first + 2 * size <= problems.size() ? first + size : 0;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TypicalAquiferFastBatch)->Arg(4)->Arg(8)->Arg(24);

// The fast kernel on the soil layer of BM_SoilColumn.
void BM_SoilColumnFast(benchmark::State& state) {
    const double decay = std::log(2.0) / (10 * year);
    double t = 4 * year;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            varnex::FastSolveAdvectionDispersion(1.0, 2.0, t, 1.0 / year, 0.2, decay, 2.0));
        t = t < 20 * year ? t + year : 4 * year;
    }
}
BENCHMARK(BM_SoilColumnFast);

// The amortised time per call of the batch kernel and of the reference side
// by side in one run: every iteration solves the 960 typical problems once
// with each, in batches of state.range(0) for the fast kernel (the
// transport hands it the time slices of a result, and more, together), one
// call after the other for the reference. Both are timed in the same
// iterations, by the processor time of the thread (so that the load of a
// shared machine, which takes the core away now and then, falls on neither);
// the counters give µs per call and the ratio. The reported time is that of
// the whole iteration.
template <class Problem, class Batch, class Reference>
void SideBySide(benchmark::State& state, const std::vector<Problem>& problems, Batch batch,
                Reference reference) {
    auto now = [] {
        timespec time{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return static_cast<double>(time.tv_sec) + 1e-9 * static_cast<double>(time.tv_nsec);
    };
    const auto size = static_cast<std::size_t>(state.range(0));
    std::vector<double> results(problems.size());
    double referenceSeconds = 0.0, batchSeconds = 0.0;
    for (auto _ : state) {
        const double start = now();
        for (std::size_t first = 0; first < problems.size(); first += size) {
            batch(problems.data() + first, results.data() + first,
                  std::min(size, problems.size() - first));
        }
        benchmark::DoNotOptimize(results.data());
        const double middle = now();
        for (const Problem& p : problems) benchmark::DoNotOptimize(reference(p));
        const double end = now();
        batchSeconds += middle - start;
        referenceSeconds += end - middle;
    }
    const double calls =
        static_cast<double>(state.iterations()) * static_cast<double>(problems.size());
    state.counters["batch_us"] = batchSeconds / calls * 1e6;
    state.counters["reference_us"] = referenceSeconds / calls * 1e6;
    state.counters["speedup"] = referenceSeconds / batchSeconds;
}

void BM_ColumnBatchAgainstReference(benchmark::State& state) {
    SideBySide(state, TypicalProblems::Get().columns, varnex::FastSolveAdvectionDispersionBatch,
               [](const varnex::ColumnProblem& p) {
                   return varnex::SolveAdvectionDispersion(p.concentration, p.distanceM, p.timeS,
                                                           p.velocityMPerS, p.dispersivityM,
                                                           p.decayPerS, p.retardation);
               });
}
BENCHMARK(BM_ColumnBatchAgainstReference)
    ->ArgName("batch")
    ->Arg(8)
    ->Arg(12)
    ->Arg(24)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond);

void BM_AquiferBatchAgainstReference(benchmark::State& state) {
    SideBySide(
        state, TypicalProblems::Get().aquifers, varnex::FastSolveAquiferAdvectionDispersionBatch,
        [](const varnex::AquiferProblem& p) {
            return varnex::SolveAquiferAdvectionDispersion(
                p.concentration, p.xM, p.yM, p.widthM, p.timeS, p.velocityMPerS,
                p.lateralDispersivityM, p.longitudinalDispersivityM, p.decayPerS, p.retardation);
        });
}
BENCHMARK(BM_AquiferBatchAgainstReference)
    ->ArgName("batch")
    ->Arg(8)
    ->Arg(12)
    ->Arg(24)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond);

// The exact kernel (the closed form, its problems side by side in SIMD
// lanes) against the fast kernel over the same 960 typical problems, in
// batches of state.range(0) for both, timed in the same iterations by the
// processor time of the thread as in SideBySide: the counters give ns per
// call of each and the ratio fast / exact. The reported time is that of the
// whole iteration.
template <class Problem, class Exact, class Fast>
void ExactAgainstFast(benchmark::State& state, const std::vector<Problem>& problems, Exact exact,
                      Fast fast) {
    auto now = [] {
        timespec time{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return static_cast<double>(time.tv_sec) + 1e-9 * static_cast<double>(time.tv_nsec);
    };
    const auto size = static_cast<std::size_t>(state.range(0));
    std::vector<double> results(problems.size());
    double exactSeconds = 0.0, fastSeconds = 0.0;
    auto solveAll = [&](auto batch) {
        for (std::size_t first = 0; first < problems.size(); first += size) {
            batch(problems.data() + first, results.data() + first,
                  std::min(size, problems.size() - first));
        }
        benchmark::DoNotOptimize(results.data());
    };
    for (auto _ : state) {
        const double start = now();
        solveAll(exact);
        const double middle = now();
        solveAll(fast);
        const double end = now();
        exactSeconds += middle - start;
        fastSeconds += end - middle;
    }
    const double calls =
        static_cast<double>(state.iterations()) * static_cast<double>(problems.size());
    state.counters["exact_ns"] = exactSeconds / calls * 1e9;
    state.counters["fast_ns"] = fastSeconds / calls * 1e9;
    state.counters["speedup"] = fastSeconds / exactSeconds;
}

void BM_ColumnExactAgainstFast(benchmark::State& state) {
    ExactAgainstFast(state, TypicalProblems::Get().columns, varnex::ExactAdvectionDispersionBatch,
                     varnex::FastSolveAdvectionDispersionBatch);
}
BENCHMARK(BM_ColumnExactAgainstFast)
    ->ArgName("batch")
    ->Arg(1)
    ->Arg(8)
    ->Arg(24)
    ->Arg(100)
    ->Arg(256)
    ->Unit(benchmark::kMillisecond);

void BM_AquiferExactAgainstFast(benchmark::State& state) {
    ExactAgainstFast(state, TypicalProblems::Get().aquifers,
                     varnex::ExactAquiferAdvectionDispersionBatch,
                     varnex::FastSolveAquiferAdvectionDispersionBatch);
}
BENCHMARK(BM_AquiferExactAgainstFast)
    ->ArgName("batch")
    ->Arg(1)
    ->Arg(8)
    ->Arg(24)
    ->Arg(100)
    ->Arg(256)
    ->Unit(benchmark::kMillisecond);

// The exact kernel alone, one call after the other and in batches; items
// are problems, so the time per item is the amortised time per call.
void BM_TypicalColumnExact(benchmark::State& state) {
    const auto& problems = TypicalProblems::Get().columns;
    std::size_t k = 0;
    for (auto _ : state) {
        const varnex::ColumnProblem& p = problems[k];
        benchmark::DoNotOptimize(
            varnex::ExactAdvectionDispersion(p.concentration, p.distanceM, p.timeS, p.velocityMPerS,
                                             p.dispersivityM, p.decayPerS, p.retardation));
        k = k + 1 < problems.size() ? k + 1 : 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TypicalColumnExact);

void BM_TypicalColumnExactBatch(benchmark::State& state) {
    const auto& problems = TypicalProblems::Get().columns;
    const auto size = static_cast<std::size_t>(state.range(0));
    std::vector<double> results(size);
    std::size_t first = 0;
    for (auto _ : state) {
        varnex::ExactAdvectionDispersionBatch(problems.data() + first, results.data(), size);
        benchmark::DoNotOptimize(results.data());
        first = first + 2 * size <= problems.size() ? first + size : 0;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TypicalColumnExactBatch)->Arg(8)->Arg(24)->Arg(100);

void BM_TypicalAquiferExactBatch(benchmark::State& state) {
    const auto& problems = TypicalProblems::Get().aquifers;
    const auto size = static_cast<std::size_t>(state.range(0));
    std::vector<double> results(size);
    std::size_t first = 0;
    for (auto _ : state) {
        varnex::ExactAquiferAdvectionDispersionBatch(problems.data() + first, results.data(), size);
        benchmark::DoNotOptimize(results.data());
        first = first + 2 * size <= problems.size() ? first + size : 0;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TypicalAquiferExactBatch)->Arg(8)->Arg(24)->Arg(100);

} // namespace
