// The run driver: stages, warnings, the time-remaining estimate, stopping,
// and results that do not depend on the number of worker threads.

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

#include "model/Project.h"
#include "results/ResultVector.h"
#include "run/ResultStore.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

using test::SetInput;

class RecordingObserver : public RunObserver {
public:
    void StageText(const std::string& text) override { stages.push_back(text); }
    void IterationText(const std::string& text) override { lastIteration = text; }
    void Warning(const std::string& text) override { warnings.push_back(text); }
    void Failed(const std::string& message) override { failures.push_back(message); }
    bool StopRequested() override { return ++polls > stopAfterPolls; }
    std::vector<std::string> stages, warnings, failures;
    std::string lastIteration;
    int polls = 0;
    int stopAfterPolls = 1 << 30;
};

// A Level 1 project with three soil-measured organic entries in two
// sources, whose solubility is reached in some iterations.
Project SoilProject() {
    Project project = test::ValidLevel1Project();
    project.contaminants.push_back(test::MakeContaminant(2, "Toluene", true));
    project.contaminants.push_back(test::MakeContaminant(101, "Arsenic", false));
    std::string error;
    EXPECT_TRUE(project.AddSource(test::SquareSource("Pit", 20, 0), error, false));
    project.SyncAllInventories();
    for (Source& source : project.sources) {
        SetInput(source.dryBulkDensity, "TRIANGULAR(1.5,1.7,1.9)");
        SetInput(source.waterFilledPorosity, "UNIFORM(0.1,0.3)");
        SetInput(source.airFilledPorosity, "UNIFORM(0.05,0.2)");
        for (SourceContaminant& entry : source.inventory) {
            entry.active = true;
            entry.measuredAs = SourceContaminant::measuredInSoil;
            entry.ApplyNames();
            SetInput(entry.concentration, "LOGNORMAL(50,40)");
            SetInput(entry.henrysLawConstant, "UNIFORM(0.1,0.3)");
            SetInput(entry.maximumSolubility, "UNIFORM(20,200)");
            SetInput(entry.partitionCoefficient, "LOGUNIFORM(0.05,2)");
        }
    }
    return project;
}

class RunDriver : public test::ProgramStateTest {};

TEST_F(RunDriver, StagesInOrderAndResultsValid) {
    Project project = SoilProject();
    SetIterationCount(40);
    RecordingObserver observer;
    ASSERT_TRUE(RunSimulation(project, observer))
        << (observer.failures.empty() ? "" : observer.failures[0]);
    EXPECT_EQ(observer.stages, (std::vector<std::string>{"Sampling", "Correlating Inputs",
                                                         "Calculating", "Calculating Statistics"}));
    EXPECT_EQ(observer.lastIteration, "Iteration: 0 of 40");
    EXPECT_TRUE(project.resultsValid);
    const std::vector<ResultEntry> set = StatisticsSet(project);
    // Level 1: per source and entry one source concentration per time slice
    // and the two (unfilled) travel times of the one pathway, then the two
    // sources' mixing zone flows.
    EXPECT_EQ(set.size(), 2u * 3u * (4u + 2u) + 2u);
    const ResultVector& c = project.sources[0].inventory[0].sourceConcentrations[0];
    EXPECT_EQ(c.Size(), 40u);
    EXPECT_GT(c.Mean(), 0.0);
    EXPECT_EQ(c.Label(), "Source Concentration at 100.000000 years");
}

TEST_F(RunDriver, ResultsAreIdenticalForAnyNumberOfThreads) {
    std::vector<std::vector<double>> reference;
    std::vector<int> referenceCounts;
    for (int threads : {1, 2, 7}) {
        test::ResetProgramState();
        Project project = SoilProject();
        SetIterationCount(300);
        RecordingObserver observer;
        RunOptions options;
        options.threads = threads;
        ASSERT_TRUE(RunSimulation(project, observer, options));
        std::vector<std::vector<double>> values;
        for (const ResultEntry& entry : StatisticsSet(project))
            values.push_back(entry.vector->Values());
        if (reference.empty()) {
            reference = values;
            referenceCounts = project.solubilityLimitedCount;
            EXPECT_GT(referenceCounts[0], 0); // the warning case is exercised
        } else {
            EXPECT_EQ(values, reference) << threads << " threads";
            EXPECT_EQ(project.solubilityLimitedCount, referenceCounts) << threads << " threads";
        }
    }
}

// The warning counts, per contaminant, the iterations in which some
// source's leachate was cut to the solubility: counted here from the
// results, an iteration whose source concentration is exactly its sampled
// solubility.
TEST_F(RunDriver, SolubilityWarningCountsTheCutIterations) {
    Project project = SoilProject();
    SetIterationCount(200);
    RecordingObserver observer;
    ASSERT_TRUE(RunSimulation(project, observer));
    std::vector<int> cut(project.contaminants.size(), 0);
    for (std::size_t c = 0; c < project.contaminants.size(); ++c) {
        for (std::size_t i = 0; i < 200; ++i) {
            bool any = false;
            for (const Source& source : project.sources)
                for (const SourceContaminant& entry : source.inventory)
                    if (entry.contaminant == project.contaminants[c].identifier &&
                        entry.sourceConcentrations.at(0).At(i) ==
                            entry.maximumSolubility.SampleAt(i))
                        any = true;
            cut[c] += any ? 1 : 0;
        }
    }
    EXPECT_EQ(project.solubilityLimitedCount, cut);
    EXPECT_GT(cut[0], 0); // the case is exercised
    ASSERT_EQ(observer.warnings.size(), 1u);
    EXPECT_EQ(observer.warnings[0], SolubilityWarning(project));
}

TEST_F(RunDriver, SolubilityWarningText) {
    Project project = SoilProject();
    SetIterationCount(200);
    project.solubilityLimitedCount = {3, 0, 12};
    EXPECT_EQ(
        SolubilityWarning(project),
        "In 3 out of 200 iterations, the calculated leachate concentration (Benzene) was limited to the "
        "contaminant solubility.\nIn 12 out of 200 iterations, the calculated leachate concentration (Arsenic) "
        "was limited to the contaminant solubility.");
}

TEST_F(RunDriver, ThicknessWarningEndsWithItsRequest) {
    Project project = test::ValidLevel1Project();
    std::string error;
    project.AddSource(test::SquareSource("Pit", 20, 0), error, false);
    project.thicknessOutOfRangeCount = {0, 7};
    SetIterationCount(50);
    EXPECT_EQ(
        ThicknessWarning(project),
        "7 of 50 iterations resulted in source Pit unsaturated zone thicknesses that fell outside of their "
        "constrained definitions.\nPlease check that this is as intended.");
    project.thicknessOutOfRangeCount = {0, 0};
    EXPECT_EQ(ThicknessWarning(project), "");
    project.solubilityLimitedCount = {0};
    EXPECT_EQ(SolubilityWarning(project), "");
}

TEST_F(RunDriver, TimeRemainingEstimate) {
    // R = trunc(elapsed / j * (n - j)).
    EXPECT_EQ(TimeRemainingText(0, 1, 1001), "Estimated Time Remaining for Stage: 00:00:00");
    EXPECT_EQ(TimeRemainingText(10, 1, 1001),
              "Estimated Time Remaining for Stage: 02:46:40"); // 10000 s
    EXPECT_EQ(TimeRemainingText(7, 3, 10),
              "Estimated Time Remaining for Stage: 00:00:16"); // 16.33 s
    EXPECT_EQ(TimeRemainingText(3600, 1, 101), "Estimated Time Remaining for Stage: 100:00:00");
}

TEST_F(RunDriver, AStopLeavesTheResultsInvalidAndShowsNothing) {
    Project project = SoilProject();
    project.resultsValid = true;
    SetIterationCount(5000);
    RecordingObserver observer;
    observer.stopAfterPolls = 0;
    EXPECT_FALSE(RunSimulation(project, observer));
    EXPECT_FALSE(project.resultsValid);
    EXPECT_TRUE(observer.failures.empty());
    EXPECT_EQ(observer.stages.back(), "Calculating");
}

// Holds every worker before its next iteration while `paused`, as a front
// end does while it asks whether to stop.
class PausingObserver : public RunObserver {
public:
    void WaitWhilePaused() override {
        std::unique_lock lock(mutex);
        ++waits;
        changed.notify_all();
        changed.wait(lock, [this] { return !paused; });
    }
    std::mutex mutex;
    std::condition_variable changed;
    bool paused = true;
    int waits = 0;
};

TEST_F(RunDriver, APausingFrontEndHoldsEveryWorkerBeforeItsNextIteration) {
    Project project = SoilProject();
    SetIterationCount(200);
    PausingObserver observer;
    bool succeeded = false;
    std::thread run([&] { succeeded = RunSimulation(project, observer, RunOptions{2}); });
    {
        std::unique_lock lock(observer.mutex);
        // Both workers arrive at the gate; none has computed anything.
        ASSERT_TRUE(observer.changed.wait_for(lock, std::chrono::seconds(30),
                                              [&] { return observer.waits >= 2; }));
        for (const Source& source : project.sources)
            for (const SourceContaminant& entry : source.inventory)
                for (const ResultVector& slice : entry.sourceConcentrations)
                    for (double value : slice.Values()) ASSERT_EQ(value, 0.0);
        observer.paused = false;
        observer.changed.notify_all();
    }
    run.join();
    EXPECT_TRUE(succeeded);
    EXPECT_TRUE(project.resultsValid);
    // Asked before each of the 200 iterations.
    EXPECT_GE(observer.waits, 200);
    EXPECT_GT(project.sources[0].inventory[0].sourceConcentrations[0].Mean(), 0.0);
}

TEST_F(RunDriver, NoIterations) {
    Project project = SoilProject();
    SetIterationCount(0);
    RecordingObserver observer;
    EXPECT_TRUE(RunSimulation(project, observer));
    EXPECT_TRUE(observer.warnings.empty());
    EXPECT_EQ(observer.stages.back(), "Calculating Statistics");
    EXPECT_EQ(project.sources[0].inventory[0].sourceConcentrations[0].Size(), 0u);
}

TEST_F(RunDriver, InputErrorsEndTheRunWithTheirMessage) {
    Project project = SoilProject();
    SetInput(project.sources[1].airFilledPorosity, "0.8");
    SetInput(project.sources[1].waterFilledPorosity, "0.8");
    SetIterationCount(3);
    RecordingObserver observer;
    EXPECT_FALSE(RunSimulation(project, observer));
    ASSERT_EQ(observer.failures.size(), 1u);
    EXPECT_EQ(observer.failures[0], "Source Pit Porosities out of range");
    EXPECT_FALSE(project.resultsValid);
}

} // namespace
} // namespace varnex
