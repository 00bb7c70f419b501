// Whole runs with Latin hypercube sampling: every example runs, the same seed
// gives the same numbers and any number of worker threads the same results,
// the inputs the run stratifies hold one value per stratum, inputs drawn
// again to keep a pair consistent are counted and reported, and rank
// correlations act on stratified samples as on random ones.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "model/ParameterField.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "run/ResultStore.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/DistributionQuantile.h"
#include "stochastic/DistributionType.h"
#include "stochastic/IterationCount.h"
#include "stochastic/LatinHypercube.h"
#include "stochastic/RandomStream.h"
#include "stochastic/RankCorrelation.h"
#include "stochastic/StochasticParameter.h"
#include "support/ModelBuilders.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

class Observer : public RunObserver {
public:
    void Warning(const std::string& text) override { warnings.push_back(text); }
    void Failed(const std::string& message) override { failure = message; }
    std::vector<std::string> warnings;
    std::string failure;
};

Project Example(const std::string& name) {
    Project project;
    std::vector<std::string> problems;
    EXPECT_TRUE(LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) + "/examples/" + name, project,
                                    problems))
        << name;
    return project;
}

std::vector<std::vector<double>> RunValues(Project& project, int threads, Observer& observer) {
    SetRandomSeed(7);
    RunOptions options;
    options.threads = threads;
    EXPECT_TRUE(RunSimulation(project, observer, options)) << observer.failure;
    std::vector<std::vector<double>> values;
    for (const ResultEntry& entry : StatisticsSet(project))
        values.push_back(entry.vector->Values());
    return values;
}

class LatinHypercubeRun : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { test::ResetProgramState(); }
    void TearDown() override { test::ResetProgramState(); }
};

// The inputs of the aquifer and the contaminants are sampled once each and
// never drawn again: each holds one value in each of the N strata of its
// law, whatever correlation did to their order.
void ExpectStratified(const StochasticParameter& input, int n) {
    if (input.distribution.type == DistributionType::single || input.SampleCount() == 0) return;
    ASSERT_EQ(input.SampleCount(), static_cast<std::size_t>(n)) << input.Label();
    std::vector<double> sorted = input.Samples();
    std::sort(sorted.begin(), sorted.end());
    for (int k = 0; k < n; ++k) {
        const double low = DistributionQuantile(input.distribution, (k + 1e-9) / n);
        const double high = DistributionQuantile(input.distribution, (k + 1 - 1e-9) / n);
        const double x = sorted[static_cast<std::size_t>(k)];
        EXPECT_TRUE(x >= low * (1 - 1e-12) && x <= high * (1 + 1e-12))
            << input.Label() << " stratum " << k << ": " << x << " not in [" << low << ", " << high
            << "]";
    }
}

TEST_P(LatinHypercubeRun, RunsReproduciblyOnAnyThreadCountWithStratifiedInputs) {
    Project project = Example(GetParam());
    project.samplingMethod = SamplingMethod::latinHypercube;
    SetIterationCount(101);
    Observer observer;
    const auto twoThreads = RunValues(project, 2, observer);
    // Computed rather than sampled: the mixing zone's thickness (from the
    // flows) and partition coefficients derived from koc.
    for (StochasticParameter* input : ParametersOf(project.aquifer))
        if (input != &project.aquifer.mixingZoneThickness) ExpectStratified(*input, 101);
    for (Contaminant& contaminant : project.contaminants)
        for (StochasticParameter* input : ParametersOf(contaminant))
            if (!(input == &contaminant.partitionCoefficient && contaminant.partitionFromKoc != 0))
                ExpectStratified(*input, 101);
    for (int threads : {1, 5}) {
        Observer again;
        EXPECT_EQ(RunValues(project, threads, again), twoThreads) << threads << " threads";
        EXPECT_EQ(again.warnings, observer.warnings);
    }
    // Not the numbers of plain sampling, unless every input the run uses is
    // a single value (the hand-checked example: every result is constant).
    bool stochastic = false;
    for (const std::vector<double>& values : twoThreads)
        stochastic |=
            std::adjacent_find(values.begin(), values.end(), std::not_equal_to<>()) != values.end();
    project.samplingMethod = SamplingMethod::monteCarlo;
    Observer plain;
    if (stochastic)
        EXPECT_NE(RunValues(project, 2, plain), twoThreads);
    else
        EXPECT_EQ(RunValues(project, 2, plain), twoThreads);
}

INSTANTIATE_TEST_SUITE_P(Examples, LatinHypercubeRun,
                         ::testing::Values("level1-gasworks.json", "hand-check-level1.json",
                                           "level2-solvent-soakaway.json",
                                           "level3-petrol-station.json",
                                           "level3-gasworks-chalk.json", "level3a-landfill.json"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             name = name.substr(0, name.find('.'));
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// Air- and water-filled porosities whose sum often exceeds 1: the run draws
// the offending pairs again at random, counts them per input, and says so;
// plain sampling draws the same way but has nothing to report.
TEST(LatinHypercubeRedraws, PairsDrawnAgainAreCountedAndReported) {
    test::ResetProgramState();
    Project project = test::ValidLevel1Project();
    Source& source = project.sources[0];
    source.calculatePorosities = false;
    source.decliningSource = Source::leachingDecline;
    test::SetInput(source.airFilledPorosity, "UNIFORM(0.1,0.6)");
    test::SetInput(source.waterFilledPorosity, "UNIFORM(0.1,0.6)");
    project.samplingMethod = SamplingMethod::latinHypercube;
    SetIterationCount(1000);
    Observer observer;
    RunValues(project, 1, observer);
    ASSERT_EQ(project.redrawnInputs.size(), 2u);
    // P(a + w > 1) for two uniforms on [0.1, 0.6] is 0.08: about 80 of 1000.
    const int count = project.redrawnInputs[0].count;
    EXPECT_GT(count, 40);
    EXPECT_LT(count, 130);
    EXPECT_EQ(project.redrawnInputs[1].count, count);
    EXPECT_EQ(project.redrawnInputs[0].owner, source.name);
    std::vector<double> sums;
    for (std::size_t i = 0; i < 1000; ++i)
        EXPECT_LE(source.airFilledPorosity.SampleAt(i) + source.waterFilledPorosity.SampleAt(i),
                  1.0);
    bool reported = false;
    for (const std::string& warning : observer.warnings)
        reported |= warning.find("Latin Hypercube sampling: " + std::to_string(count) +
                                 " of 1000 values of " + source.airFilledPorosity.Label()) !=
                    std::string::npos;
    EXPECT_TRUE(reported);

    project.samplingMethod = SamplingMethod::monteCarlo;
    Observer plain;
    RunValues(project, 1, plain);
    EXPECT_TRUE(project.redrawnInputs.empty());
    for (const std::string& warning : plain.warnings)
        EXPECT_EQ(warning.find("Latin Hypercube"), std::string::npos);
    test::ResetProgramState();
}

// Rank correlation reorders stratified samples as it reorders random ones.
// The mixing method is approximate, and its result depends on the target:
// for two uniform inputs of 1001 values, random samples reach 0.8 within
// 0.04 (the tolerance of the correlation tests) and fall short of 0.5 and
// 0.25 by a few hundredths. Stratified samples reach the same on average
// (within 0.02 over 20 seeds), each within three standard errors of
// Spearman's coefficient, 3 (1 - rho^2) / sqrt(n), or 0.04, of the target;
// and they keep their values.
TEST(LatinHypercubeCorrelation, RequestedRankCorrelationsAreReachedAsWithRandomSamples) {
    test::ResetProgramState();
    SetIterationCount(1001);
    StochasticParameter x, y;
    ASSERT_TRUE(x.distribution.Parse("UNIFORM(1,2)"));
    ASSERT_TRUE(y.distribution.Parse("UNIFORM(5,10)"));
    RandomStream random;
    for (double target : {0.25, 0.5, 0.8}) {
        double randomMean = 0.0;
        std::vector<double> stratified;
        const int seeds = 20;
        for (std::uint32_t seed = 0; seed < seeds; ++seed) {
            SetRandomSeed(seed);
            x.SampleAll(false);
            y.SampleAll(false);
            std::vector<double> plain = y.Samples();
            ASSERT_TRUE(InduceRankCorrelation(x.Samples(), plain, target));
            randomMean += SpearmanRankCorrelation(x.Samples(), plain) / seeds;

            random.Seed(seed);
            const std::vector<double> reference =
                LatinHypercubeSample(x.distribution, 1001, random);
            const std::vector<double> drawn = LatinHypercubeSample(y.distribution, 1001, random);
            std::vector<double> correlated = drawn;
            ASSERT_TRUE(InduceRankCorrelation(reference, correlated, target));
            stratified.push_back(SpearmanRankCorrelation(reference, correlated));
            std::vector<double> a = drawn, b = correlated;
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            EXPECT_EQ(a, b);
        }
        if (target == 0.8) {
            EXPECT_NEAR(randomMean, target, 0.04);
        }
        double stratifiedMean = 0.0;
        for (double achieved : stratified) {
            stratifiedMean += achieved / seeds;
            EXPECT_NEAR(achieved, target,
                        std::max(0.04, 3.0 * (1.0 - target * target) / std::sqrt(1001.0)))
                << "target " << target;
        }
        EXPECT_NEAR(stratifiedMean, randomMean, 0.02) << "target " << target;
        std::printf("target %.2f: random %.4f, stratified %.4f .. %.4f\n", target, randomMean,
                    *std::min_element(stratified.begin(), stratified.end()),
                    *std::max_element(stratified.begin(), stratified.end()));
    }
    test::ResetProgramState();
}

} // namespace
} // namespace varnex
