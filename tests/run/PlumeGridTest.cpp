// The plume grid: where its nodes lie, that a node shows what a receptor
// placed there would show in a run with the same (central) values, the
// refusals, stopping, and that worker threads do not change a number.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "model/Project.h"
#include "run/DefaultPlumeArea.h"
#include "run/PlumeGrid.h"
#include "run/PlumeLegend.h"
#include "run/PlumeObserver.h"
#include "stochastic/IterationCount.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"
#include "transport/TransportRunSupport.h"

namespace varnex {
namespace {

class RecordingPlumeObserver : public PlumeObserver {
public:
    void ProgressText(const std::string& text) override { texts.push_back(text); }
    void Failed(const std::string& message) override { failures.push_back(message); }
    bool StopRequested() override { return ++polls > stopAfterPolls; }
    std::vector<std::string> texts, failures;
    int polls = 0;
    int stopAfterPolls = 1 << 30;
};

class PlumeGrid : public test::ProgramStateTest {};

// The Level 3 fixture of the transport tests: one source 20 m x 10 m at
// the origin over one porous layer, constant inputs, flow along +x (the
// plan and aquifer frames coincide), receptors at (110, 7), (-30, 5) and
// (13, 5), time slices 5, 10, 20 and 50 years.
Project Level3() { return test::LoadTransportFixture("level3-receptors.json"); }

PlumeRequest RequestOverReceptors(int threads) {
    PlumeRequest request;
    request.contaminantIndex = 0;
    request.timeYears = 20.0;
    request.spacingM = 1.0;
    // Columns from x = -30 to 110, rows y = 7, 6, 5: every receptor of the
    // fixture lies on a node.
    request.leftX = -30.0;
    request.topY = 7.0;
    request.widthM = 141.0;
    request.heightM = 3.0;
    request.title = "Fixture";
    request.threads = threads;
    return request;
}

TEST_F(PlumeGrid, NodesEqualReceptorsOfARunWithTheSameValues) {
    Project run = Level3();
    SetIterationCount(1);
    const test::RunResult result = test::RunProject(run);
    ASSERT_TRUE(result.succeeded);
    const int contaminant = run.contaminants[0].identifier;
    auto total = [&](std::size_t receptor) {
        return run.receptors[receptor]
            .FindResults(contaminant)
            ->totalConcentrations.at(2)
            .At(0); // 20 years
    };
    ASSERT_GT(total(0), 0.0);

    Project project = Level3();
    SetIterationCount(250);
    RecordingPlumeObserver observer;
    ASSERT_TRUE(ComputePlume(project, RequestOverReceptors(2), observer))
        << observer.failures.at(0);
    const auto& grid = project.plume.columns;
    ASSERT_EQ(grid.size(), 141u);
    ASSERT_EQ(grid[0].size(), 3u);
    EXPECT_EQ(grid[140][0], total(0)); // (110, 7)
    EXPECT_EQ(grid[0][2], 0.0);        // (-30, 5), upstream
    EXPECT_EQ(grid[0][2], total(1));
    EXPECT_EQ(grid[43][2], total(2)); // (13, 5)

    // The project is as the user left it, except that its results are gone.
    EXPECT_EQ(project.receptors.size(), 3u);
    EXPECT_EQ(IterationCount(), 250);
    EXPECT_FALSE(project.plume.active);
    EXPECT_FALSE(project.resultsValid);
    EXPECT_EQ(observer.texts.back(), "Fixture - Calculating: 110.00,5.00 (100%)");
}

TEST_F(PlumeGrid, IdenticalForAnyNumberOfThreads) {
    Project serial = Level3();
    RecordingPlumeObserver observer;
    ASSERT_TRUE(ComputePlume(serial, RequestOverReceptors(1), observer));
    for (int threads : {2, 7}) {
        Project parallel = Level3();
        ASSERT_TRUE(ComputePlume(parallel, RequestOverReceptors(threads), observer));
        EXPECT_EQ(parallel.plume.columns, serial.plume.columns) << threads << " threads";
    }
}

TEST_F(PlumeGrid, ColumnsAndRowsRoundUp) {
    // A view 95 m wide with a spacing of 10 m gives 10 columns, the last at
    // x0 + 90 m.
    Project project = Level3();
    PlumeRequest request = RequestOverReceptors(1);
    request.leftX = 0.0;
    request.widthM = 95.0;
    request.heightM = 21.0;
    request.spacingM = 10.0;
    RecordingPlumeObserver observer;
    ASSERT_TRUE(ComputePlume(project, request, observer));
    EXPECT_EQ(project.plume.columns.size(), 10u);
    EXPECT_EQ(project.plume.columns[0].size(), 3u);
    EXPECT_EQ(observer.texts.front(), "Fixture - Calculating: 0.00,7.00 (3%)");
}

TEST_F(PlumeGrid, RefusalsLeaveTheProjectUnchanged) {
    struct Case {
        const char* what;
        void (*change)(Project&, PlumeRequest&);
        const char* message;
    };
    const Case cases[] = {
        {"level 2", [](Project& p, PlumeRequest&) { p.simulationLevel = SimulationLevel::level2; },
         "A contaminant plume can only be calculated at Level 3 or Level 3a."},
        {"no contaminant", [](Project&, PlumeRequest& r) { r.contaminantIndex = 5; },
         "Choose a contaminant for the plume."},
        {"time 0", [](Project&, PlumeRequest& r) { r.timeYears = 0.0; },
         "Time must be greater than 0"},
        {"spacing 0", [](Project&, PlumeRequest& r) { r.spacingM = 0.0; },
         "Grid spacing must be greater than 0"},
        {"too many nodes",
         [](Project&, PlumeRequest& r) {
             r.spacingM = 0.1;
             r.widthM = r.heightM = 100.1;
         },
         "The plume grid would have more than 1000000 nodes; choose a larger grid spacing."},
    };
    for (const Case& c : cases) {
        Project project = Level3();
        project.resultsValid = true;
        PlumeRequest request = RequestOverReceptors(1);
        c.change(project, request);
        RecordingPlumeObserver observer;
        EXPECT_FALSE(ComputePlume(project, request, observer)) << c.what;
        ASSERT_EQ(observer.failures.size(), 1u) << c.what;
        EXPECT_EQ(observer.failures[0], c.message);
        EXPECT_TRUE(project.resultsValid) << c.what;
        EXPECT_EQ(project.receptors.size(), 3u) << c.what;
        EXPECT_TRUE(project.plume.columns.empty()) << c.what;
    }
}

TEST_F(PlumeGrid, StopsAndFailuresRemoveTheTemporaryReceptor) {
    Project project = Level3();
    RecordingPlumeObserver observer;
    observer.stopAfterPolls = 0;
    EXPECT_FALSE(ComputePlume(project, RequestOverReceptors(2), observer));
    EXPECT_TRUE(observer.failures.empty());
    EXPECT_EQ(project.receptors.size(), 3u);

    // An aquifer porosity of 0 fails inside the calculation.
    Project failing = Level3();
    test::SetInput(failing.aquifer.effectivePorosity, "0");
    RecordingPlumeObserver failed;
    EXPECT_FALSE(ComputePlume(failing, RequestOverReceptors(2), failed));
    ASSERT_EQ(failed.failures.size(), 1u);
    EXPECT_NE(failed.failures[0].find("the aquifer flow beneath the source cannot be calculated"),
              std::string::npos);
    EXPECT_EQ(failing.receptors.size(), 3u);
    EXPECT_FALSE(failing.plume.active);
}

TEST(PlumeLegend, SixteenBands) {
    EXPECT_EQ(PlumeBandText(0), "1e-30 - 1e-12 mg/l");
    EXPECT_EQ(PlumeBandText(1), "1e-12 - 1e-11 mg/l");
    EXPECT_EQ(PlumeBandText(14), "10 - 100 mg/l");
    EXPECT_EQ(PlumeBandText(15), "Above 100 mg/l");
    EXPECT_EQ(PlumeLegendTitle("Benzene"), "Concentration of Benzene");
    EXPECT_EQ(PlumeBand(0.0), -1);
    EXPECT_EQ(PlumeBand(1e-30), 0);
    EXPECT_EQ(PlumeBand(1e-12), 0);
    EXPECT_EQ(PlumeBand(2e-12), 1);
    EXPECT_EQ(PlumeBand(100.0), 14);
    EXPECT_EQ(PlumeBand(100.5), 15);
}

// The default area, worked by hand from its rule: the bounding box of every
// source vertex and receptor, 20 % of each side beyond each edge.
struct DefaultAreaCase {
    const char* what;
    std::vector<PlanPoint> sourceVertices; // one source, or none when empty
    std::vector<PlanPoint> receptors;
    double leftX, topY, widthM, heightM;
};

TEST(DefaultPlumeAreaTest, WidensTheBoundingBoxOfSourcesAndReceptors) {
    const DefaultAreaCase cases[] = {
        // Box x 0..100, y 0..50: 20 % of 100 is 20, of 50 is 10.
        {"source and receptor", {{0, 0}, {10, 0}, {10, 10}}, {{100, 50}}, -20.0, 60.0, 140.0, 70.0},
        // Every point on y = 5: the height takes the width, 40 m.
        {"points on one line", {}, {{0, 5}, {40, 5}}, -8.0, 33.0, 56.0, 56.0},
        // A single point: one node there, a square of one spacing (2 m).
        {"single point", {}, {{3, 4}}, 3.0, 4.0, 2.0, 2.0},
    };
    for (const DefaultAreaCase& c : cases) {
        Project project;
        if (!c.sourceVertices.empty()) {
            project.sources.push_back(test::SquareSource("S"));
            project.sources.back().vertices = c.sourceVertices;
        }
        for (const PlanPoint& point : c.receptors) {
            Receptor receptor;
            receptor.x = point.x;
            receptor.y = point.y;
            project.receptors.push_back(receptor);
        }
        PlumeRequest request;
        ASSERT_TRUE(DefaultPlumeArea(project, 2.0, request)) << c.what;
        EXPECT_DOUBLE_EQ(request.leftX, c.leftX) << c.what;
        EXPECT_DOUBLE_EQ(request.topY, c.topY) << c.what;
        EXPECT_DOUBLE_EQ(request.widthM, c.widthM) << c.what;
        EXPECT_DOUBLE_EQ(request.heightM, c.heightM) << c.what;
    }

    // Nothing to map around: the request is left as it was.
    PlumeRequest untouched;
    untouched.leftX = 9.0;
    EXPECT_FALSE(DefaultPlumeArea(Project(), 2.0, untouched));
    EXPECT_EQ(untouched.leftX, 9.0);
}

} // namespace
} // namespace varnex
