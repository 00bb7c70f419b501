// Cost of the source term of one iteration: 10 sources, each with 20 active
// soil-measured entries, calculated porosities and a leaching decline, at
// the four default assessment times. Run: build/release/bin/bench_source_term

#include <benchmark/benchmark.h>
#include <string>

#include "model/Project.h"
#include "stochastic/IterationCount.h"
#include "transport/SourceTerm.h"

namespace {

constexpr int iterations = 100;

void Give(varnex::StochasticParameter& input, const char* text) {
    input.distribution.Parse(text);
    input.SampleAll(false);
}

varnex::Project BenchProject() {
    varnex::SetIterationCount(iterations);
    varnex::Project project;
    for (int c = 0; c < 20; ++c) {
        varnex::Contaminant contaminant;
        contaminant.identifier = c + 1;
        contaminant.name = "Species " + std::to_string(c + 1);
        contaminant.henryFlag = true;
        project.contaminants.push_back(contaminant);
        // Copies start without samples: sample the project's own input.
        Give(project.contaminants.back().koc, "TRIANGULAR(10,80,300)");
    }
    for (int s = 0; s < 10; ++s) {
        varnex::Source source;
        source.name = "Source " + std::to_string(s + 1);
        source.vertices = {{0.0, 0.0}, {10.0, 0.0}, {10.0, 10.0}, {0.0, 10.0}};
        source.decliningSource = varnex::Source::leachingDecline;
        source.calculatePorosities = true;
        std::string error;
        project.AddSource(source, error, false);
    }
    for (varnex::Source& source : project.sources) {
        Give(source.dryBulkDensity, "UNIFORM(1.4,1.8)");
        Give(source.particleDensity, "2.65");
        Give(source.moistureContent, "UNIFORM(5,30)");
        Give(source.foc, "1");
        Give(source.infiltration, "250");
        Give(source.thickness, "2");
        source.waterFilledPorosity.Resize();
        source.airFilledPorosity.Resize();
        for (varnex::SourceContaminant& entry : source.inventory) {
            entry.active = true;
            entry.partitionFromKoc = 1;
            Give(entry.concentration, "LOGUNIFORM(1,1000)");
            Give(entry.henrysLawConstant, "0.2");
            Give(entry.maximumSolubility, "500");
            entry.partitionCoefficient.Resize();
            entry.sourceConcentrations.assign(project.timeSlices.size(), varnex::ResultVector());
            for (varnex::ResultVector& v : entry.sourceConcentrations) v.Prepare(iterations, true);
        }
    }
    return project;
}

void SourceTermIteration(benchmark::State& state) {
    varnex::Project project = BenchProject();
    std::vector<char> limited;
    std::size_t i = 0;
    for (auto _ : state) {
        varnex::ComputeSourceTerm(project, i, limited);
        benchmark::DoNotOptimize(limited.data());
        i = (i + 1) % iterations;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SourceTermIteration);

} // namespace
