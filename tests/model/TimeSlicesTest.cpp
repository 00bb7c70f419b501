// "Calculate Timeslices" and the acceptance of the simulation parameters.

#include <gtest/gtest.h>

#include "model/Project.h"
#include "model/TimeSlices.h"
#include "stochastic/IterationCount.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

TEST(TimeSliceCalculation, LogarithmicAndLinearSeries) {
    std::vector<int> years;
    EXPECT_EQ(CalculateTimeSlices(5, 300, 0, true, years), "");
    EXPECT_EQ(years,
              (std::vector<int>{5, 6, 7, 8, 9, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 200, 300}));
    years.clear();
    EXPECT_EQ(CalculateTimeSlices(10, 35, 10, false, years), "");
    EXPECT_EQ(years, (std::vector<int>{10, 20, 30}));
    // Years already listed are skipped; the rest are appended.
    EXPECT_EQ(CalculateTimeSlices(1, 100, 0, true, years), "");
    EXPECT_EQ(years.size(), 3u + 19u - 3u); // 10, 20 and 30 were listed
    years.clear();
    EXPECT_EQ(CalculateTimeSlices(1, 1000000, 0, true, years), "");
    EXPECT_EQ(years.size(), 9u * 6u + 1u);
    EXPECT_EQ(years.back(), 1000000);
}

TEST(TimeSliceCalculation, InputChecksCollectEveryMessage) {
    std::vector<int> years{42};
    EXPECT_EQ(CalculateTimeSlices(0, 0, 0, false, years),
              "Start Year must be > 0\nEnd Year must be > Start Year\nStep must be > 0");
    EXPECT_EQ(CalculateTimeSlices(10, 2000000, 5, false, years), "End Year must be <= 1000000");
    EXPECT_EQ(CalculateTimeSlices(10, 5, 0, true, years), "End Year must be > Start Year");
    EXPECT_EQ(years, (std::vector<int>{42}));
}

TEST(SimulationParameters, AcceptanceSortsAndStoresTheIterations) {
    test::ResetProgramState();
    Project project;
    std::string error;
    EXPECT_FALSE(AcceptSimulationParameters(project, {}, 100, error));
    EXPECT_EQ(error, "At least one timeslice is required.");
    EXPECT_FALSE(AcceptSimulationParameters(project, {10, 0}, 100, error));
    EXPECT_FALSE(AcceptSimulationParameters(project, {10}, 10001, error));
    EXPECT_FALSE(AcceptSimulationParameters(project, {10}, -1, error));
    EXPECT_EQ(project.timeSlices, (std::vector<double>{100, 300, 1000, 7000}));
    EXPECT_TRUE(AcceptSimulationParameters(project, {500, 20, 500, 7}, 250, error));
    EXPECT_EQ(project.timeSlices, (std::vector<double>{7, 20, 500}));
    EXPECT_EQ(IterationCount(), 250);
    EXPECT_TRUE(AcceptSimulationParameters(project, {1}, 0, error));
    EXPECT_EQ(IterationCount(), 0);
    std::vector<int> years;
    for (int year = 1; year <= 101; ++year) years.push_back(year);
    EXPECT_FALSE(AcceptSimulationParameters(project, years, 10, error));
    EXPECT_EQ(error, "At most 100 timeslices are allowed.");
    EXPECT_EQ(project.timeSlices, std::vector<double>{1});
    years.pop_back();
    years.push_back(100); // a repeated year counts once
    EXPECT_TRUE(AcceptSimulationParameters(project, years, 10, error));
    EXPECT_EQ(project.timeSlices.size(), 100u);
    test::ResetProgramState();
}

// Results belong to the samples of one iteration count and one set of
// times: a change of either alone leaves them stale, taking the same values
// again does not.
TEST(SimulationParameters, OnlyAChangeMakesTheResultsStale) {
    test::ResetProgramState();
    Project project;
    std::string error;
    ASSERT_TRUE(AcceptSimulationParameters(project, {100, 300}, 500, error));
    struct Case {
        const char* what;
        std::vector<int> years;
        int iterations;
        bool stillValid;
    };
    const Case cases[] = {
        {"the same values", {300, 100}, 500, true},
        {"the iteration count alone", {100, 300}, 501, false},
        {"the times alone", {100, 300, 1000}, 501, false},
        {"a refused entry", {}, 9, true},
    };
    for (const Case& c : cases) {
        project.resultsValid = true;
        AcceptSimulationParameters(project, c.years, c.iterations, error);
        EXPECT_EQ(project.resultsValid, c.stillValid) << c.what;
    }
    test::ResetProgramState();
}

} // namespace
} // namespace varnex
