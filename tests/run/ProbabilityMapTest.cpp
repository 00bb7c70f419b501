// The probability map: a node on a receptor repeats the run's values for
// that receptor to the bit (every iteration, and so every statistic), a
// project without uncertainty maps to 0 or 1 exactly where the central-value
// plume is above the standard, threads and blocks change no number, the run's
// results are left alone, and every refusal is named.

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "results/ResultStatistics.h"
#include "run/DefaultPlumeArea.h"
#include "run/PlumeGrid.h"
#include "run/PlumeObserver.h"
#include "run/ProbabilityMap.h"
#include "run/ResultStore.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"
#include "support/ProgramStateTest.h"
#include "transport/TransportRunSupport.h"

namespace varnex {
namespace {

class MapObserver : public PlumeObserver {
public:
    void Failed(const std::string& message) override { failures.push_back(message); }
    bool StopRequested() override { return stopAtOnce; }
    void Fraction(double done) override { fractions.push_back(done); }
    std::vector<std::string> failures;
    std::vector<double> fractions;
    bool stopAtOnce = false;
};

class ProbabilityMapTest : public test::ProgramStateTest {};

Project Load(const std::string& folder, const std::string& name) {
    Project project;
    std::vector<std::string> problems;
    EXPECT_TRUE(LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) + "/" + folder + "/" + name,
                                    project, problems))
        << name;
    return project;
}

void RunIterations(Project& project, int iterations, int threads = 2) {
    SetIterationCount(iterations);
    SetRandomSeed(11);
    const test::RunResult result = test::RunProject(project, threads);
    ASSERT_TRUE(result.succeeded) << (result.failures.empty() ? "" : result.failures[0]);
}

// Every value of every result vector the run wrote, to see that the map
// leaves them as they were.
std::vector<std::vector<double>> AllResults(const Project& project) {
    std::vector<std::vector<double>> values;
    for (const ResultEntry& entry : StatisticsSet(const_cast<Project&>(project)))
        values.push_back(entry.vector->Values());
    return values;
}

// A map of 2 x 2 nodes whose first node stands exactly on (x, y).
ProbabilityMapRequest RequestAt(double x, double y, int contaminant, double time) {
    ProbabilityMapRequest request;
    request.contaminantIndex = contaminant;
    request.timeYears = time;
    request.grid = MapGrid{x, y, 7.0, 5.0, 2, 2};
    request.percentileLevels = {5, 50, 95};
    request.threads = 2;
    return request;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || a == b; }

struct IdentityCase {
    const char* folder;
    const char* name;
    SamplingMethod sampling;
    SolverKernel kernel;
};

// Every Level 3 and 3a example (a decay chain among them), the aquifer
// fixtures with several sources, receptors and a background, Latin
// hypercube sampling and the exact
// kernel (the map must solve with the kernel of the run, whatever the
// program's choice is by then).
const IdentityCase identityCases[] = {
    {"examples", "level3-gasworks-chalk.json", SamplingMethod::monteCarlo, SolverKernel::fast},
    {"examples", "level3-gasworks-chalk.json", SamplingMethod::latinHypercube, SolverKernel::exact},
    {"examples", "level3-petrol-station.json", SamplingMethod::monteCarlo, SolverKernel::fast},
    {"examples", "level3-petrol-station.json", SamplingMethod::monteCarlo, SolverKernel::exact},
    {"examples", "level3a-landfill.json", SamplingMethod::monteCarlo, SolverKernel::fast},
    {"examples", "level3a-landfill.json", SamplingMethod::latinHypercube, SolverKernel::exact},
    {"tests/transport/data", "level3-two-sources.json", SamplingMethod::monteCarlo,
     SolverKernel::fast},
    {"tests/transport/data", "level3-receptors.json", SamplingMethod::monteCarlo,
     SolverKernel::fast},
    {"tests/transport/data", "level3a.json", SamplingMethod::monteCarlo, SolverKernel::fast},
    // A decay chain: the daughters' nodes repeat what their ancestors form.
    {"examples", "level3-solvent-chain.json", SamplingMethod::monteCarlo, SolverKernel::exact},
};

TEST_F(ProbabilityMapTest, NodesOnReceptorsRepeatTheRunToTheBit) {
    for (const IdentityCase& example : identityCases) {
        SCOPED_TRACE(std::string(example.name) +
                     (example.kernel == SolverKernel::exact ? " exact" : " fast"));
        Project project = Load(example.folder, example.name);
        project.samplingMethod = example.sampling;
        project.solverKernel = example.kernel;
        RunIterations(project, 61);
        ASSERT_FALSE(project.receptors.empty());
        // The program's choice changes after the run; the map keeps to the
        // run's kernel.
        project.solverKernel =
            example.kernel == SolverKernel::exact ? SolverKernel::fast : SolverKernel::exact;
        const std::vector<std::vector<double>> before = AllResults(project);

        std::size_t compared = 0, nonZero = 0;
        for (Receptor& receptor : project.receptors) {
            const PlanPoint point{receptor.x, receptor.y, receptor.rotatedX, receptor.rotatedY};
            for (std::size_t c = 0; c < project.contaminants.size(); ++c) {
                if (!project.ContaminantTakesPart(c)) continue;
                const ReceptorContaminant* totals =
                    receptor.FindResults(project.contaminants[c].identifier);
                ASSERT_NE(totals, nullptr);
                for (std::size_t k = 0; k < project.timeSlices.size(); ++k) {
                    const ResultVector& run = totals->totalConcentrations.at(k);
                    for (std::size_t i = 0; i < 61; ++i) {
                        double value = -1.0;
                        project.solverKernel = *project.resultsKernel;
                        RepeatIterationAtPoints(project, c, project.timeSlices[k], &point, 1, i,
                                                &value);
                        ASSERT_TRUE(SameBits(value, run.At(i)))
                            << receptor.name << " " << project.contaminants[c].name
                            << " t=" << project.timeSlices[k] << " i=" << i << ": " << value
                            << " vs " << run.At(i);
                        ++compared;
                        nonZero += value != 0.0;
                    }
                }
            }
            // And the map's statistics at the node are the run's.
            const std::size_t c = 0;
            const std::size_t k = project.timeSlices.size() - 1;
            project.contaminants[c].standard = 1e-3;
            ProbabilityMap map;
            MapObserver observer;
            ASSERT_TRUE(ComputeProbabilityMap(
                project,
                RequestAt(receptor.x, receptor.y, static_cast<int>(c), project.timeSlices[k]),
                observer, map))
                << observer.failures.at(0);
            const ResultVector& run =
                receptor.FindResults(project.contaminants[c].identifier)->totalConcentrations.at(k);
            EXPECT_EQ(map.exceedance.at(0), ExceedanceProbability(run.Values(), 1e-3));
            EXPECT_EQ(map.mean.at(0), run.Mean());
            EXPECT_EQ(map.percentiles.at(0).at(0), run.PercentileValue(0)); // 5th
            EXPECT_EQ(map.percentiles.at(1).at(0), run.PercentileValue(3)); // 50th
            EXPECT_EQ(map.percentiles.at(2).at(0), run.PercentileValue(6)); // 95th
            EXPECT_TRUE(map.complete);
            EXPECT_EQ(map.iterations, 61);
        }
        EXPECT_GT(nonZero, compared / 10) << "too few arrivals to show anything";
        EXPECT_EQ(AllResults(project), before) << "the map changed the run's results";
        EXPECT_TRUE(project.resultsValid);
        EXPECT_TRUE(project.runStateInMemory);
    }
}

// With every input single-valued and the source points fixed at the
// centroids, each iteration is the central-value calculation: the map is 0
// or 1, and 1 exactly where the central-value plume is above the standard.
TEST_F(ProbabilityMapTest, WithoutUncertaintyTheMapIsTheCentralPlumeAgainstTheStandard) {
    Project project = test::LoadTransportFixture("level3-receptors.json");
    for (Source& source : project.sources) source.centreDefinition = Source::calculatedCentre;
    Project central = project;

    PlumeRequest plume;
    plume.contaminantIndex = 0;
    plume.timeYears = 20.0;
    plume.spacingM = 2.0;
    plume.leftX = -30.0;
    plume.topY = 15.0;
    plume.widthM = 150.0;
    plume.heightM = 30.0;
    plume.threads = 2;
    MapObserver plumeObserver;
    SetIterationCount(1);
    ASSERT_TRUE(ComputePlume(central, plume, plumeObserver));
    const auto& columns = central.plume.columns;

    RunIterations(project, 25);
    // A standard that cuts the plume: the largest node's tenth.
    double largest = 0.0;
    for (const auto& column : columns)
        for (double value : column) largest = std::max(largest, value);
    ASSERT_GT(largest, 0.0);
    project.contaminants[0].standard = largest / 10.0;

    ProbabilityMapRequest request;
    request.contaminantIndex = 0;
    request.timeYears = 20.0;
    request.grid = MapGrid{-30.0, 15.0, 2.0, 2.0, columns.size(), columns[0].size()};
    MapObserver observer;
    ProbabilityMap map;
    ASSERT_TRUE(ComputeProbabilityMap(project, request, observer, map));
    std::size_t above = 0;
    for (std::size_t c = 0; c < map.grid.columns; ++c) {
        for (std::size_t r = 0; r < map.grid.rows; ++r) {
            const std::size_t node = r * map.grid.columns + c;
            const double expected = columns[c][r];
            SCOPED_TRACE("node " + std::to_string(c) + "," + std::to_string(r));
            EXPECT_NEAR(map.mean[node], expected, 1e-12 * expected + 1e-300);
            EXPECT_NEAR(map.percentiles[1][node], expected, 1e-12 * expected + 1e-300);
            EXPECT_TRUE(map.exceedance[node] == 0.0 || map.exceedance[node] == 1.0);
            // Nodes within rounding of the standard could fall either way.
            if (std::fabs(expected - project.contaminants[0].standard) >
                1e-9 * project.contaminants[0].standard) {
                EXPECT_EQ(map.exceedance[node],
                          expected > project.contaminants[0].standard ? 1.0 : 0.0);
            }
            above += map.exceedance[node] == 1.0;
        }
    }
    EXPECT_GT(above, 3u);
    EXPECT_LT(above, map.grid.Nodes());
}

TEST_F(ProbabilityMapTest, ThreadsAndBlocksChangeNoNumber) {
    Project project = Load("examples", "level3-gasworks-chalk.json");
    RunIterations(project, 41);
    PlumeRequest area;
    ASSERT_TRUE(DefaultPlumeArea(project, 25.0, area));
    ProbabilityMapRequest request;
    request.contaminantIndex = 0;
    request.timeYears = project.timeSlices.back();
    request.grid = MapGrid{area.leftX, area.topY, area.widthM / 11.0, area.heightM / 7.0, 11, 7};
    request.percentileLevels = {10, 50, 90, 99};
    auto mapWith = [&](int threads, std::size_t block) {
        request.threads = threads;
        request.blockNodes = block;
        MapObserver observer;
        ProbabilityMap map;
        EXPECT_TRUE(ComputeProbabilityMap(project, request, observer, map));
        EXPECT_FALSE(observer.fractions.empty());
        EXPECT_EQ(observer.fractions.back(), 1.0);
        return map;
    };
    const ProbabilityMap one = mapWith(1, 0);
    double largest = 0.0;
    for (double value : one.percentiles[3]) largest = std::max(largest, value);
    EXPECT_GT(largest, 0.0) << "the area should see the plume";
    for (auto [threads, block] : {std::pair{2, std::size_t{5}}, std::pair{3, std::size_t{1}},
                                  std::pair{2, std::size_t{77}}}) {
        const ProbabilityMap other = mapWith(threads, block);
        SCOPED_TRACE(std::to_string(threads) + " threads, blocks of " + std::to_string(block));
        EXPECT_EQ(other.exceedance, one.exceedance);
        EXPECT_EQ(other.mean, one.mean);
        EXPECT_EQ(other.percentiles, one.percentiles);
    }
}

TEST_F(ProbabilityMapTest, AContaminantWithoutAStandardHasNoExceedance) {
    Project project = test::LoadTransportFixture("level3-receptors.json");
    RunIterations(project, 5);
    project.contaminants[0].standard = 0.0;
    ProbabilityMap map;
    MapObserver observer;
    ASSERT_TRUE(ComputeProbabilityMap(project, RequestAt(110.0, 7.0, 0, 20.0), observer, map));
    EXPECT_TRUE(map.exceedance.empty());
    EXPECT_EQ(map.standardMgPerL, 0.0);
    EXPECT_EQ(map.mean.size(), 4u);
    EXPECT_GT(map.mean[0], 0.0);
}

TEST_F(ProbabilityMapTest, StoppedAtOnceLeavesEveryNodeUncomputed) {
    Project project = test::LoadTransportFixture("level3-receptors.json");
    RunIterations(project, 5);
    const std::vector<std::vector<double>> before = AllResults(project);
    MapObserver observer;
    observer.stopAtOnce = true;
    ProbabilityMap map;
    EXPECT_FALSE(ComputeProbabilityMap(project, RequestAt(110.0, 7.0, 0, 20.0), observer, map));
    EXPECT_FALSE(map.complete);
    EXPECT_TRUE(observer.failures.empty()) << "a stop is not a failure";
    ASSERT_EQ(map.mean.size(), 4u);
    for (double value : map.mean) EXPECT_TRUE(std::isnan(value));
    EXPECT_EQ(AllResults(project), before);
}

TEST_F(ProbabilityMapTest, RefusalsNameEveryProblemAndChangeNothing) {
    struct Case {
        const char* what;
        void (*change)(Project&, ProbabilityMapRequest&);
        const char* expected;
    };
    const Case cases[] = {
        {"no run in memory", [](Project& p, ProbabilityMapRequest&) { p.InvalidateResults(); },
         "there is none in memory"},
        {"a time the run did not compute",
         [](Project&, ProbabilityMapRequest& r) { r.timeYears = 37.0; },
         "37 years is not one of the project's time slices (5, 10, 20, 50 years)"},
        {"no such contaminant", [](Project&, ProbabilityMapRequest& r) { r.contaminantIndex = 3; },
         "Choose a contaminant"},
        {"too many nodes",
         [](Project&, ProbabilityMapRequest& r) {
             r.grid.columns = 1001;
             r.grid.rows = 1000;
         },
         "1001000 nodes, more than the 1000000"},
        {"no spacing", [](Project&, ProbabilityMapRequest& r) { r.grid.spacingYM = 0.0; },
         "Grid spacing must be greater than 0"},
        {"percentiles out of range",
         [](Project&, ProbabilityMapRequest& r) {
             r.percentileLevels = {0, 50};
         },
         "from 1 to 99"},
        {"percentiles out of order",
         [](Project&, ProbabilityMapRequest& r) {
             r.percentileLevels = {95, 50};
         },
         "ascending"},
        {"another iteration count than the run's",
         [](Project&, ProbabilityMapRequest&) { SetIterationCount(4); }, "there is none in memory"},
        {"a level without an aquifer",
         [](Project& p, ProbabilityMapRequest&) { p.simulationLevel = SimulationLevel::level2; },
         "Level 3 or Level 3a"},
    };
    Project ran = test::LoadTransportFixture("level3-receptors.json");
    RunIterations(ran, 5);
    for (const Case& refusal : cases) {
        SCOPED_TRACE(refusal.what);
        SetIterationCount(5);
        Project project = ran;
        ProbabilityMapRequest request = RequestAt(110.0, 7.0, 0, 20.0);
        refusal.change(project, request);
        const std::vector<std::vector<double>> before = AllResults(project);
        MapObserver observer;
        ProbabilityMap map;
        EXPECT_FALSE(ComputeProbabilityMap(project, request, observer, map));
        ASSERT_EQ(observer.failures.size(), 1u);
        EXPECT_NE(observer.failures[0].find(refusal.expected), std::string::npos)
            << observer.failures[0];
        EXPECT_EQ(AllResults(project), before);
    }
    // Several problems are reported together.
    ProbabilityMapRequest request = RequestAt(110.0, 7.0, 9, 3.0);
    request.grid.spacingXM = -1.0;
    const std::vector<std::string> problems = ProbabilityMapProblems(ran, request);
    EXPECT_EQ(problems.size(), 3u);
    // A copy of the project has the results but not the run's samples.
    const Project copy = ran;
    EXPECT_EQ(ProbabilityMapProblems(copy, RequestAt(110.0, 7.0, 0, 20.0)).size(), 1u);
    EXPECT_TRUE(ProbabilityMapProblems(ran, RequestAt(110.0, 7.0, 0, 20.0)).empty());
    // A plume since the run replaced the run's iterations with central
    // values: the map must not use them.
    PlumeRequest plume;
    plume.contaminantIndex = 0;
    plume.timeYears = 20.0;
    plume.spacingM = 10.0;
    plume.widthM = plume.heightM = 20.0;
    MapObserver plumeObserver;
    ASSERT_TRUE(ComputePlume(ran, plume, plumeObserver));
    EXPECT_EQ(ProbabilityMapProblems(ran, RequestAt(110.0, 7.0, 0, 20.0)).size(), 1u);
}

} // namespace
} // namespace varnex
