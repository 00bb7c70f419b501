// A run stopped by the user at any point, or ended by an input error part
// way, leaves a project whose every input is as it was: it saves (without
// results, as there are none valid) to the very bytes the project saved
// before the run, and reloads to the same model.

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectFileComparison.h"
#include "persist/ProjectJson.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"
#include "support/ModelBuilders.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

class StoppingObserver : public RunObserver {
public:
    void Failed(const std::string& message) override { failures.push_back(message); }
    bool StopRequested() override { return ++polls > stopAfterPolls; }
    // Every iteration takes at least half a millisecond here, so that the
    // driver's polls, which follow the progress of the run (one a batch of
    // iterations, or one a tenth of a second), are many whatever the speed
    // of the machine and of the transport: a run too fast for more than two
    // polls could not be stopped part way.
    void WaitWhilePaused() override { std::this_thread::sleep_for(std::chrono::microseconds(500)); }
    std::vector<std::string> failures;
    int polls = 0;
    int stopAfterPolls = 1 << 30;
};

class InterruptedRun : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetProgramState();
        std::vector<std::string> problems;
        ASSERT_TRUE(LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) +
                                            "/examples/level3-petrol-station.json",
                                        project_, problems));
        SetIterationCount(200);
        options_.dateSaved = "2026-12-08 10:00:00";
        options_.withResults = true;
        path_ = folder_.File("site.vnx");
        std::string error;
        ASSERT_TRUE(SaveProject(project_, path_, options_, error)) << error;
        beforeBytes_ = test::ReadFileBytes(path_);
        beforeJson_ = WriteProjectJson(project_);
    }
    void TearDown() override { test::ResetProgramState(); }

    // The interrupted project saves to the bytes of the project before the
    // run and reloads to the same model, without results.
    void ExpectNothingLost() {
        EXPECT_FALSE(project_.resultsValid);
        EXPECT_EQ(WriteProjectJson(project_), beforeJson_);
        std::string error;
        ASSERT_TRUE(SaveProject(project_, path_, options_, error)) << error;
        EXPECT_TRUE(test::ReadFileBytes(path_) == beforeBytes_)
            << "the saved file differs from the one before the run";
        Project loaded;
        ASSERT_TRUE(LoadProject(path_, loaded, error)) << error;
        EXPECT_FALSE(loaded.resultsValid);
        EXPECT_EQ(test::StoredResultValues(loaded), 0u);
        EXPECT_EQ(WriteProjectJson(loaded), beforeJson_);
    }

    Project project_;
    test::TempDirectory folder_;
    std::string path_;
    std::string beforeBytes_;
    std::string beforeJson_;
    ProjectSaveOptions options_;
};

TEST_F(InterruptedRun, AStopAtAnyPointLosesNoInput) {
    // A whole run tells how often the driver asks whether to stop; the stops
    // then fall before the first iteration, in the middle and at the end.
    Project whole = project_;
    StoppingObserver counting;
    SetRandomSeed(1);
    ASSERT_TRUE(RunSimulation(whole, counting))
        << (counting.failures.empty() ? "" : counting.failures[0]);
    const int polls = counting.polls;
    ASSERT_GT(polls, 2);
    // The driver asks between batches of iterations as time passes, so a
    // late stop can come after the last iteration; those runs finish.
    int stops = 0;
    for (int stopAfter : {0, 1, polls / 4, polls / 2, polls - 1}) {
        SCOPED_TRACE("stop after " + std::to_string(stopAfter) + " of " + std::to_string(polls) +
                     " polls");
        StoppingObserver observer;
        observer.stopAfterPolls = stopAfter;
        RunOptions options;
        options.threads = 2;
        if (RunSimulation(project_, observer, options)) continue;
        ++stops;
        EXPECT_TRUE(observer.failures.empty());
        ExpectNothingLost();
    }
    EXPECT_GE(stops, 3);
}

TEST_F(InterruptedRun, AnInputErrorPartWayLosesNoInput) {
    // Porosities that always sum to more than 1: the run has sampled the
    // inputs before them, redraws these until it gives up, and ends.
    Source& source = project_.sources.at(0);
    test::SetInput(source.waterFilledPorosity, "UNIFORM(0.5,0.8)");
    test::SetInput(source.airFilledPorosity, "UNIFORM(0.5,0.8)");
    beforeJson_ = WriteProjectJson(project_);
    std::string error;
    ASSERT_TRUE(SaveProject(project_, path_, options_, error)) << error;
    beforeBytes_ = test::ReadFileBytes(path_);

    StoppingObserver observer;
    SetRandomSeed(1);
    EXPECT_FALSE(RunSimulation(project_, observer));
    ASSERT_EQ(observer.failures.size(), 1u);
    EXPECT_NE(observer.failures[0].find("Porosities out of range"), std::string::npos)
        << observer.failures[0];
    ExpectNothingLost();
}

} // namespace
} // namespace varnex
