// When iterations fail, the run reports the failure a serial run would
// meet first: that of the lowest failing iteration, whatever the number of
// worker threads and however the iterations are spread over them.

#include <gtest/gtest.h>
#include <string>

#include "model/Project.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"
#include "support/ModelBuilders.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

using test::SetInput;

class FailureObserver : public RunObserver {
public:
    void Failed(const std::string& message) override { failures.push_back(message); }
    std::vector<std::string> failures;
};

// Two sources at "Level 2", each over one porous layer whose water filled
// porosity is drawn as 0 in about one iteration in fifty (BOOLEAN(0.96)
// gives 1 with probability 0.98). A zero porosity with water flowing
// through the layer ends the run with a message naming the source.
Project TwoSourcesWithFailingLayers() {
    Project project = test::ValidLevel1Project();
    std::string error;
    EXPECT_TRUE(project.AddSource(test::SquareSource("Pit", 20, 0), error, false)) << error;
    project.SyncAllInventories();
    project.simulationLevel = SimulationLevel::level2;
    project.aquifer.dilutionFlag = 0;
    for (Source& source : project.sources) {
        for (SourceContaminant& entry : source.inventory) {
            entry.active = true;
            entry.measuredAs = 0; // leachate
            entry.ApplyNames();
            SetInput(entry.concentration, "2");
        }
        SetInput(source.infiltration, "100");
        SetInput(source.thickness, "1");
        SetInput(source.dryBulkDensity, "1.7");
        SetInput(source.overallUnsaturatedZoneThickness, "5");
        UnsaturatedPathway& layer = source.pathways.at(0);
        SetInput(layer.thickness, "5");
        SetInput(layer.verticalDispersivity, "0.5");
        SetInput(layer.unsaturatedConductivity, "1e-6");
        SetInput(layer.waterFilledPorosity, "BOOLEAN(0.96)");
    }
    return project;
}

// The message of the first iteration, in order, whose porosity sample is
// 0, looking at the sources in list order as an iteration does.
std::string FirstFailureFromSamples(const Project& project) {
    for (int i = 0; i < IterationCount(); ++i)
        for (const Source& source : project.sources)
            if (source.pathways[0].waterFilledPorosity.SampleAt(static_cast<std::size_t>(i)) == 0.0)
                return "Source " + source.name + ", pathway " + source.pathways[0].name + ": " +
                       source.pathways[0].waterFilledPorosity.Label() +
                       " is 0, but water flows through the layer";
    return std::string();
}

class RunFailure : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { test::ResetProgramState(); }
    void TearDown() override { test::ResetProgramState(); }
};

TEST_P(RunFailure, ReportsTheLowestFailingIteration) {
    Project project = TwoSourcesWithFailingLayers();
    std::string report;
    ASSERT_TRUE(project.Validate(report)) << report;
    SetIterationCount(400);
    // With this seed the first failure is in iteration 54, past the first
    // chunks the workers take, and both sources fail in it: the message
    // must be that of the first source, as in a serial run.
    SetRandomSeed(3003);
    FailureObserver observer;
    RunOptions options;
    options.threads = GetParam();
    EXPECT_FALSE(RunSimulation(project, observer, options));
    EXPECT_FALSE(project.resultsValid);
    // Both sources fail in several of the 400 iterations (about 8 each).
    int failing[2] = {0, 0};
    for (std::size_t i = 0; i < 400; ++i)
        for (int s = 0; s < 2; ++s)
            if (project.sources[static_cast<std::size_t>(s)]
                    .pathways[0]
                    .waterFilledPorosity.SampleAt(i) == 0.0)
                ++failing[s];
    ASSERT_GT(failing[0], 1);
    ASSERT_GT(failing[1], 1);
    ASSERT_EQ(project.sources[0].pathways[0].waterFilledPorosity.SampleAt(54), 0.0);
    ASSERT_EQ(project.sources[1].pathways[0].waterFilledPorosity.SampleAt(54), 0.0);
    for (std::size_t i = 0; i < 54; ++i)
        ASSERT_NE(project.sources[0].pathways[0].waterFilledPorosity.SampleAt(i) *
                      project.sources[1].pathways[0].waterFilledPorosity.SampleAt(i),
                  0.0)
            << i;
    ASSERT_EQ(observer.failures.size(), 1u);
    EXPECT_EQ(observer.failures[0], FirstFailureFromSamples(project));
}

INSTANTIATE_TEST_SUITE_P(Threads, RunFailure, ::testing::Values(1, 2, 7));

} // namespace
} // namespace varnex
