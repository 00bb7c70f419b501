// Cost of one Monte Carlo draw per distribution type and of reading a
// distribution text. Run: build/release/bin/bench_distribution

#include <benchmark/benchmark.h>

#include "stochastic/Distribution.h"
#include "stochastic/RandomStream.h"

namespace {

const char* const drawTexts[] = {
    "SINGLE(5)",
    "UNIFORM(1,2)",
    "LOGUNIFORM(0.001,10)",
    "TRIANGULAR(0.1,0.25,0.4)",
    "LOGTRIANGULAR(0.1,1,10)",
    "NORMAL(1,2)",
    "LOGNORMAL(2,1)",
    "POISSON(3.5)",
    "BINOMIAL(10,0.5)",
    "EXPONENTIAL(2)",
    "BOOLEAN(0.5)",
};

void Draw(benchmark::State& state) {
    varnex::Distribution d;
    const char* text = drawTexts[state.range(0)];
    if (!d.Parse(text)) state.SkipWithError("invalid text");
    state.SetLabel(text);
    varnex::SetRandomSeed(1);
    for (auto _ : state) benchmark::DoNotOptimize(d.Draw(false));
}
BENCHMARK(Draw)->DenseRange(0, 10);

void Parse(benchmark::State& state) {
    const char* const texts[] = {"5", "TRIANGULAR(0.1, 0.25, 0.4)", "normal(1,2)",
                                 "LOGUNIFORM(1e-6,1e-3)"};
    varnex::Distribution d;
    d.unitFactor = 0.001;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(d.Parse(texts[i++ & 3]));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(Parse);

void Format(benchmark::State& state) {
    varnex::Distribution d;
    d.Parse("TRIANGULAR(0.1,0.25,0.4)");
    for (auto _ : state) benchmark::DoNotOptimize(d.Format());
}
BENCHMARK(Format);

} // namespace
