// The "Correlating Inputs" stage inside a run: only the correlated input's
// samples move, records the run cannot use are kept, the rank correlation
// reached is reported, and a correlated run gives the same results on any
// number of worker threads.

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

#include "model/Project.h"
#include "results/ResultVector.h"
#include "run/InputCorrelation.h"
#include "run/ResultStore.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RankCorrelation.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

using test::SetInput;

class FailureObserver : public RunObserver {
public:
    void Failed(const std::string& message) override { failure = message; }
    std::string failure;
};

class InputCorrelation : public test::ProgramStateTest {
protected:
    // "Level 1": one source with leachate entries of benzene and toluene at
    // lognormal concentrations; with `correlated`, toluene's follows
    // benzene's at 0.8, and a second record correlates two aquifer inputs,
    // which "Level 1" does not use.
    static Project TwoSpeciesProject(bool correlated) {
        Project project = test::ValidLevel1Project();
        project.contaminants.push_back(test::MakeContaminant(2, "Toluene", true));
        project.SyncAllInventories();
        for (SourceContaminant& entry : project.sources[0].inventory) {
            entry.active = true;
            entry.measuredAs = 0;
            entry.ApplyNames();
        }
        SetInput(Benzene(project).concentration, "LOGNORMAL(5,4)");
        SetInput(Toluene(project).concentration, "LOGNORMAL(2,1.5)");
        if (correlated) {
            Correlation fuel;
            fuel.name = "Same fuel";
            fuel.referenceParameter = Benzene(project).concentration.id;
            fuel.correlatedParameter = Toluene(project).concentration.id;
            fuel.value = 0.8;
            EXPECT_TRUE(project.correlations.Add(fuel));
            Correlation aquifer;
            aquifer.referenceParameter = project.aquifer.hydraulicConductivity.id;
            aquifer.correlatedParameter = project.aquifer.effectivePorosity.id;
            aquifer.value = -0.5;
            EXPECT_TRUE(project.correlations.Add(aquifer));
        }
        return project;
    }
    static SourceContaminant& Benzene(Project& p) { return p.sources[0].inventory[0]; }
    static SourceContaminant& Toluene(Project& p) { return p.sources[0].inventory[1]; }

    static void Run(Project& project, int threads = 1) {
        FailureObserver observer;
        RunOptions options;
        options.threads = threads;
        ASSERT_TRUE(RunSimulation(project, observer, options)) << observer.failure;
    }
    static std::vector<double> Sorted(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v;
    }
};

TEST_F(InputCorrelation, OnlyTheCorrelatedInputsSamplesMoveAndTheResultsFollowThem) {
    SetIterationCount(1001);
    Project independent = TwoSpeciesProject(false);
    Run(independent);
    test::ResetProgramState();
    SetIterationCount(1001);
    Project correlated = TwoSpeciesProject(true);
    Run(correlated);

    // The same draws (a fresh stream both times); the reference input keeps
    // its order, the correlated one its values.
    const std::vector<double>& drawn = Toluene(independent).concentration.Samples();
    const std::vector<double>& reordered = Toluene(correlated).concentration.Samples();
    EXPECT_EQ(Benzene(correlated).concentration.Samples(),
              Benzene(independent).concentration.Samples());
    EXPECT_NE(reordered, drawn);
    EXPECT_EQ(Sorted(reordered), Sorted(drawn));

    ASSERT_EQ(correlated.correlationOutcomes.size(), 2u);
    const auto fuel = std::find_if(
        correlated.correlationOutcomes.begin(), correlated.correlationOutcomes.end(),
        [&](const CorrelationOutcome& o) {
            return o.record.correlatedParameter == Toluene(correlated).concentration.id;
        });
    ASSERT_NE(fuel, correlated.correlationOutcomes.end());
    EXPECT_EQ(fuel->record.name, "Same fuel");
    EXPECT_EQ(fuel->status, CorrelationStatus::applied);
    // What the samples the iterations use show; with these skewed inputs
    // well short of 0.8 (the method scales each input by its largest
    // sample), but plainly correlated.
    EXPECT_EQ(fuel->achieved,
              SpearmanRankCorrelation(Benzene(correlated).concentration.Samples(), reordered));
    EXPECT_GT(fuel->achieved, 0.5);
    EXPECT_LT(
        std::abs(SpearmanRankCorrelation(Benzene(independent).concentration.Samples(), drawn)),
        0.1);
    // A constant leachate source passes its concentration on, so the
    // iterations compute with the reordered samples.
    EXPECT_NEAR(SpearmanRankCorrelation(Benzene(correlated).sourceConcentrations[0].Values(),
                                        Toluene(correlated).sourceConcentrations[0].Values()),
                fuel->achieved, 1e-12);
}

TEST_F(InputCorrelation, RecordsTheRunCannotUseAreKeptForLaterRuns) {
    SetIterationCount(50);
    Project project = TwoSpeciesProject(true);
    Correlation stale;
    stale.referenceParameter = project.sources[0].thickness.id;
    stale.correlatedParameter = 9999; // an input the project does not have
    stale.value = 0.3;
    ASSERT_TRUE(project.correlations.Add(stale));
    const CorrelationList::Records before = project.correlations.Entries();
    ASSERT_EQ(before.size(), 3u);

    for (int run = 0; run < 2; ++run) {
        Run(project);
        ASSERT_EQ(project.correlations.Count(), before.size());
        for (const auto& [key, record] : before) {
            const Correlation& kept = project.correlations.Entries().at(key);
            EXPECT_EQ(kept.correlatedParameter, record.correlatedParameter);
            EXPECT_EQ(kept.value, record.value);
        }
        // One outcome per record, in key order.
        ASSERT_EQ(project.correlationOutcomes.size(), before.size());
        auto outcome = project.correlationOutcomes.begin();
        for (const auto& [key, record] : before)
            EXPECT_EQ((outcome++)->record.referenceParameter, key);
        for (const CorrelationOutcome& o : project.correlationOutcomes) {
            if (o.record.referenceParameter == project.aquifer.hydraulicConductivity.id)
                EXPECT_EQ(o.status, CorrelationStatus::inputNotUsed);
            else if (o.record.correlatedParameter == 9999)
                EXPECT_EQ(o.status, CorrelationStatus::inputMissing);
            else
                EXPECT_EQ(o.status, CorrelationStatus::applied);
            EXPECT_EQ(std::isnan(o.achieved), o.status != CorrelationStatus::applied);
        }
    }
    EXPECT_EQ(CorrelationStatusText(CorrelationStatus::inputNotUsed),
              "skipped: input not used at this level and with these options");
    EXPECT_EQ(CorrelationStatusText(CorrelationStatus::applied), "");
}

TEST_F(InputCorrelation, CorrelatedResultsAreIdenticalForAnyNumberOfThreads) {
    std::vector<std::vector<double>> reference;
    std::vector<double> referenceSamples;
    for (int threads : {1, 2, 7}) {
        test::ResetProgramState();
        SetIterationCount(500);
        Project project = TwoSpeciesProject(true);
        Run(project, threads);
        std::vector<std::vector<double>> values;
        for (const ResultEntry& entry : StatisticsSet(project))
            values.push_back(entry.vector->Values());
        const std::vector<double>& samples = Toluene(project).concentration.Samples();
        if (reference.empty()) {
            reference = values;
            referenceSamples = samples;
            continue;
        }
        // Bit for bit: equality of doubles, not closeness.
        EXPECT_EQ(values, reference) << threads << " threads";
        EXPECT_EQ(samples, referenceSamples) << threads << " threads";
    }
}

} // namespace
} // namespace varnex
