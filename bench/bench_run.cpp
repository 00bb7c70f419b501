// A whole Level 1 run: 5 sources with 10 soil-measured contaminants each,
// 10,000 iterations, with 1 and 2 worker threads.
// Run: build/release/bin/bench_run

#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <string>

#include "model/Project.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"

namespace {

void Set(varnex::StochasticParameter& input, const char* text) { input.distribution.Parse(text); }

varnex::Project Level1Project() {
    varnex::Project project;
    for (int c = 0; c < 10; ++c) {
        varnex::Contaminant contaminant;
        contaminant.identifier = c + 1;
        contaminant.name = "Species " + std::to_string(c + 1);
        contaminant.henryFlag = c % 2 == 0;
        Set(contaminant.koc, "LOGUNIFORM(10,1000)");
        project.contaminants.push_back(contaminant);
    }
    for (int s = 0; s < 5; ++s) {
        varnex::Source source;
        source.name = "Source " + std::to_string(s + 1);
        const double x = 30.0 * s;
        source.vertices = {{x, 0}, {x + 20, 0}, {x + 20, 15}, {x, 15}};
        source.decliningSource = varnex::Source::leachingDecline;
        Set(source.dryBulkDensity, "TRIANGULAR(1.5,1.7,1.9)");
        Set(source.waterFilledPorosity, "UNIFORM(0.1,0.3)");
        Set(source.airFilledPorosity, "UNIFORM(0.05,0.2)");
        Set(source.thickness, "UNIFORM(1,3)");
        Set(source.infiltration, "TRIANGULAR(100,250,400)");
        Set(source.foc, "UNIFORM(0.5,2)");
        std::string error;
        project.AddSource(source, error, false);
    }
    for (varnex::Source& source : project.sources) {
        for (varnex::SourceContaminant& entry : source.inventory) {
            entry.active = true;
            entry.partitionFromKoc = 1;
            Set(entry.concentration, "LOGNORMAL(50,40)");
            Set(entry.henrysLawConstant, "UNIFORM(0.01,0.3)");
            Set(entry.maximumSolubility, "UNIFORM(100,1000)");
        }
    }
    return project;
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
    void Finish() { StageText(std::string()); }
    double Milliseconds(const std::string& stage) { return totals_[stage]; }

private:
    std::string current_;
    std::chrono::steady_clock::time_point start_;
    std::map<std::string, double> totals_;
};

void RunLevel1(benchmark::State& state) {
    varnex::Project project = Level1Project();
    varnex::SetIterationCount(10000);
    StageClock clock;
    varnex::RunOptions options;
    options.threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        varnex::SetRandomSeed(1);
        if (!varnex::RunSimulation(project, clock, options)) state.SkipWithError("run failed");
        clock.Finish();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["sampling_ms"] = clock.Milliseconds("Sampling") / runs;
    state.counters["calculating_ms"] = clock.Milliseconds("Calculating") / runs;
    state.counters["statistics_ms"] = clock.Milliseconds("Calculating Statistics") / runs;
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(RunLevel1)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
