// A project file with results says which advection-dispersion kernel
// computed them, in the trailing block that the file's predecessors never
// read: the name comes back when the file is read, is absent from a file
// saved without results, and a file that does not record it (saved before
// there was a choice) reads as "not recorded", never as some kernel.

#include <gtest/gtest.h>
#include <string>

#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "settings/SolverKernel.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/TempDirectory.h"
#include "transport/TransportRunSupport.h"

namespace varnex {
namespace {

class ResultsKernel : public test::ProgramStateTest {
protected:
    // A small project run with `kernel`.
    Project RunWith(SolverKernel kernel) {
        Project project = test::ValidLevel1Project();
        SetIterationCount(8);
        SetRandomSeed(3);
        project.solverKernel = kernel;
        const test::RunResult run = test::RunProject(project);
        EXPECT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
        return project;
    }

    Project SavedAndRead(Project& project, bool withResults) {
        const std::string path = folder_.File("p.vnx");
        std::string error;
        EXPECT_TRUE(SaveProject(project, path, withResults, error)) << error;
        Project loaded;
        EXPECT_TRUE(LoadProject(path, loaded, error)) << error;
        return loaded;
    }

    test::TempDirectory folder_;
};

TEST_F(ResultsKernel, EveryKernelsNameComesBackWithTheResults) {
    for (SolverKernel kernel : {SolverKernel::fast, SolverKernel::reference, SolverKernel::exact}) {
        SCOPED_TRACE(SolverKernelName(kernel));
        Project project = RunWith(kernel);
        ASSERT_EQ(project.resultsKernel, kernel);
        // The program's choice for the next run may differ from the one that
        // made the stored results; the file records the latter.
        project.solverKernel = SolverKernel::fast;
        const Project loaded = SavedAndRead(project, true);
        EXPECT_TRUE(loaded.resultsValid);
        EXPECT_EQ(loaded.resultsKernel, kernel);
        // Not a setting of the project: a loaded project runs with the
        // program's default until the program says otherwise.
        EXPECT_EQ(loaded.solverKernel, SolverKernel::fast);
    }
}

TEST_F(ResultsKernel, WithoutResultsThereIsNoKernelToName) {
    Project project = RunWith(SolverKernel::exact);
    const Project loaded = SavedAndRead(project, false);
    EXPECT_FALSE(loaded.resultsValid);
    EXPECT_EQ(loaded.resultsKernel, std::nullopt);
}

// Results in a file that does not name their kernel (written before there
// was a choice) read as "not recorded"; a name this program does not know
// (a later program's kernel) is not taken for one it knows.
TEST_F(ResultsKernel, AFileThatDoesNotNameAKnownKernelSaysNotRecorded) {
    Project project = RunWith(SolverKernel::exact);
    project.resultsKernel.reset();
    const Project older = SavedAndRead(project, true);
    EXPECT_TRUE(older.resultsValid);
    EXPECT_EQ(older.resultsKernel, std::nullopt);

    project.resultsKernel = SolverKernel::exact;
    const std::string path = folder_.File("later.vnx");
    std::string error;
    ASSERT_TRUE(SaveProject(project, path, true, error)) << error;
    std::string bytes = test::ReadFileBytes(path);
    // The block is short texts stored as they are, at the end of the file.
    const std::size_t at = bytes.rfind("exact");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 5, "quark");
    ProjectLoadOptions accept;
    accept.acceptDamaged = true; // the checksum no longer matches, knowingly
    ProjectLoadOutcome outcome;
    Project later;
    ASSERT_TRUE(LoadProjectFromBytes(bytes, later, error, path, accept, outcome)) << error;
    EXPECT_EQ(outcome.integrity, FileIntegrity::damaged);
    EXPECT_TRUE(later.resultsValid);
    EXPECT_EQ(later.resultsKernel, std::nullopt);
}

} // namespace
} // namespace varnex
