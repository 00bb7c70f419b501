// A project at the program's limits (30 sources with 3 unsaturated
// pathways each, 20 contaminants, 10 receptors, 10 time slices) runs, saves
// with its results and reloads with every input, sample and result vector
// as it was. It is the project that finds hidden quadratic costs, size
// overflows and copies that only large projects make visible.

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectFileComparison.h"
#include "run/RunDriver.h"
#include "settings/SolverKernel.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"
#include "support/GeneratedProject.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"
#include "transport/TransportRunSupport.h"

namespace varnex {
namespace {

TEST(LargestProject, RunsSavesWithResultsAndReloadsIdentically) {
    test::ResetProgramState();
    test::ProjectSize size;
    size.sources = 30;
    size.layers = 3;
    size.contaminants = 20;
    size.receptors = 10;
    size.slices = 10;
    Project project = test::GeneratedLevel3Project(size);
    ASSERT_EQ(project.sources.size(), 30u);
    ASSERT_EQ(project.sources[29].pathways.size(), 3u);
    ASSERT_EQ(project.contaminants.size(), 20u);
    ASSERT_EQ(project.receptors.size(), 10u);
    ASSERT_EQ(project.timeSlices.size(), 10u);
    std::string report;
    ASSERT_TRUE(project.Validate(report)) << report;

    SetIterationCount(101);
    SetRandomSeed(1);
    project.solverKernel = SolverKernel::fast;
    const test::RunResult run = test::RunProject(project, 2);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    ASSERT_TRUE(project.resultsValid);
    // Every receptor holds a total for every contaminant at every slice.
    const std::size_t values = test::StoredResultValues(project);
    EXPECT_GT(values, std::size_t{10 * 20 * 10 * 101});
    // Every stored value is one double per iteration, so the store at any
    // iteration count follows from this (recorded in docs/performance.md).
    std::fprintf(stderr,
                 "%zu stored values per iteration: %.2f GB of results at 10,000 iterations\n",
                 values / 101, 8.0 * static_cast<double>(values / 101) * 10000.0 / 1e9);

    test::TempDirectory folder;
    const std::string path = folder.File("largest.vnx");
    std::string error;
    ASSERT_TRUE(SaveProject(project, path, true, error)) << error;
    Project loaded;
    ASSERT_TRUE(LoadProject(path, loaded, error)) << error;
    EXPECT_TRUE(loaded.resultsValid);
    EXPECT_EQ(IterationCount(), 101);
    test::ExpectSameStoredProject(project, loaded, true);
    test::ResetProgramState();
}

} // namespace
} // namespace varnex
