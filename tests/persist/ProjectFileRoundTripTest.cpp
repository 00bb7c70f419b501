// Projects survive the project file: every example saved and loaded again,
// without and with the results of a short run, is what was saved, and the
// bytes a project saves to are the same every time.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "ProjectFileComparison.h"
#include "archive/CompFile.h"
#include "archive/FileVersion.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

const char* const examples[] = {"hand-check-level1.json",     "invalid-level3.json",
                                "level1-gasworks.json",       "level2-solvent-soakaway.json",
                                "level3-gasworks-chalk.json", "level3-petrol-station.json",
                                "level3a-landfill.json"};
const char* const runnableExamples[] = {
    "hand-check-level1.json",     "level1-gasworks.json",       "level2-solvent-soakaway.json",
    "level3-gasworks-chalk.json", "level3-petrol-station.json", "level3a-landfill.json"};

constexpr const char* fixedDate = "2024-05-06 07:08:09";

class ProjectFileRoundTripTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { test::ResetProgramState(); }
    void TearDown() override { test::ResetProgramState(); }

    static void LoadExample(const std::string& name, Project& project) {
        std::vector<std::string> problems;
        ASSERT_TRUE(LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) + "/examples/" + name,
                                        project, problems))
            << ::testing::PrintToString(problems);
    }

    static void Save(Project& project, const std::string& path, bool withResults) {
        ProjectSaveOptions options;
        options.withResults = withResults;
        options.dateSaved = fixedDate;
        std::string error;
        ASSERT_TRUE(SaveProject(project, path, options, error)) << error;
    }

    static void Run(Project& project) {
        struct Silent : RunObserver {
            std::string failure;
            void Failed(const std::string& message) override { failure = message; }
        } observer;
        SetIterationCount(7);
        RunOptions options;
        options.threads = 1;
        ASSERT_TRUE(RunSimulation(project, observer, options)) << observer.failure;
    }

    test::TempDirectory folder_;
};

TEST_P(ProjectFileRoundTripTest, ModelSurvivesWithoutResults) {
    Project project;
    LoadExample(GetParam(), project);
    SetIterationCount(4321);
    const std::string path = folder_.File("model.vnx");
    Save(project, path, false);
    EXPECT_EQ(project.filePath, path);
    EXPECT_EQ(project.dateSaved, fixedDate);

    Project loaded;
    std::string error;
    SetIterationCount(5);
    ASSERT_TRUE(LoadProject(path, loaded, error)) << error;
    EXPECT_EQ(IterationCount(), 4321);
    EXPECT_FALSE(ResultsSaved());
    EXPECT_FALSE(loaded.resultsValid);
    EXPECT_EQ(loaded.dateSaved, fixedDate);
    test::ExpectSameStoredProject(project, loaded, false);

    // Saved again to its file, the loaded project gives the same bytes.
    const std::string first = test::ReadFileBytes(path);
    Save(loaded, path, false);
    EXPECT_EQ(test::ReadFileBytes(path), first);
}

TEST_P(ProjectFileRoundTripTest, BytesAreTheSameForTheSameProject) {
    Project project;
    LoadExample(GetParam(), project);
    const std::string path = folder_.File("one.vnx");
    Save(project, path, false);
    const std::string a = test::ReadFileBytes(path);
    ASSERT_GT(a.size(), 100u);
    // The file holds the path it was saved to (and its checksum covers it),
    // so the same project is saved to the same path again.
    Save(project, path, false);
    EXPECT_EQ(test::ReadFileBytes(path), a);
}

INSTANTIATE_TEST_SUITE_P(Examples, ProjectFileRoundTripTest, ::testing::ValuesIn(examples));

class ProjectFileResultsRoundTripTest : public ProjectFileRoundTripTest {};

TEST_P(ProjectFileResultsRoundTripTest, SamplesAndResultsSurvive) {
    Project project;
    LoadExample(GetParam(), project);
    Run(project);
    ASSERT_GT(test::StoredResultValues(project), 0u);
    const std::string path = folder_.File("results.vnx");
    ASSERT_TRUE(project.resultsValid);
    Save(project, path, true);
    EXPECT_TRUE(ResultsSaved());

    Project loaded;
    std::string error;
    SetResultsSaved(false);
    ASSERT_TRUE(LoadProject(path, loaded, error)) << error;
    EXPECT_TRUE(ResultsSaved());
    EXPECT_TRUE(loaded.resultsValid);
    EXPECT_EQ(IterationCount(), 7);
    test::ExpectSameStoredProject(project, loaded, true);

    const std::string again = folder_.File("again.vnx");
    Save(loaded, again, true);
    Project twice;
    ASSERT_TRUE(LoadProject(again, twice, error)) << error;
    test::ExpectSameStoredProject(project, twice, true);
}

TEST_P(ProjectFileResultsRoundTripTest, ResultsThatNoLongerHoldAreNotSaved) {
    Project project;
    LoadExample(GetParam(), project);
    Run(project);
    project.InvalidateResults();
    const std::string path = folder_.File("stale.vnx");
    Save(project, path, true);
    EXPECT_FALSE(ResultsSaved());

    Project loaded;
    std::string error;
    ASSERT_TRUE(LoadProject(path, loaded, error)) << error;
    EXPECT_FALSE(loaded.resultsValid);
    EXPECT_EQ(test::StoredResultValues(loaded), 0u);
    test::ExpectSameStoredProject(project, loaded, false);
}

INSTANTIATE_TEST_SUITE_P(Examples, ProjectFileResultsRoundTripTest,
                         ::testing::ValuesIn(runnableExamples));

class ProjectFileLoadTest : public test::ProgramStateTest {
protected:
    test::TempDirectory folder_;
};

// The file's stored path is ignored: a moved file loads with the path it
// was opened from. Decline factors exist only with a user-defined decline,
// and a source without vertices or inventory is stored as zero counts.
TEST_F(ProjectFileLoadTest, TakesThePathItWasOpenedFromAndStoresOnlyWhatExists) {
    Project project;
    Source withFactors, withoutFactors;
    withFactors.decliningSource = Source::userDefinedDecline;
    withFactors.declineFactors = {1.0, 0.5, 0.25};
    withoutFactors.decliningSource = Source::leachingDecline;
    withoutFactors.declineFactors = {9.0};
    project.sources = {withFactors, withoutFactors};
    std::string error;
    ASSERT_TRUE(SaveProject(project, folder_.File("old.vnx"), false, error)) << error;
    const std::string moved = folder_.File("moved.vnx");
    std::filesystem::rename(folder_.File("old.vnx"), moved);

    Project loaded;
    ASSERT_TRUE(LoadProject(moved, loaded, error)) << error;
    EXPECT_EQ(loaded.filePath, moved);
    ASSERT_EQ(loaded.sources.size(), 2u);
    EXPECT_EQ(loaded.sources[0].declineFactors, (std::vector<double>{1.0, 0.5, 0.25}));
    EXPECT_TRUE(loaded.sources[1].declineFactors.empty());
    EXPECT_TRUE(loaded.sources[1].vertices.empty());
    EXPECT_TRUE(loaded.sources[1].inventory.empty());
    EXPECT_EQ(loaded.sources[1].pathways.size(), 1u);
}

// Loading replaces the open project's model but keeps the standard sets,
// which come from the standards files beside the program.
TEST_F(ProjectFileLoadTest, KeepsTheStandardSetsOfTheOpenProject) {
    Project saved;
    saved.standardSelection = 2;
    std::string error;
    const std::string path = folder_.File("standards.vnx");
    ASSERT_TRUE(SaveProject(saved, path, false, error)) << error;

    Project open;
    open.standardSets.resize(3);
    open.details.title = "open before";
    ASSERT_TRUE(LoadProject(path, open, error)) << error;
    EXPECT_EQ(open.standardSets.size(), 3u);
    EXPECT_EQ(open.standardSelection, 2);
    EXPECT_EQ(open.details.title, "");
}

// The fuzzer's seed files are sound project files of this program, except
// those named "damaged-*": findings kept so the fuzzer starts from them, which
// must be refused with a message rather than loaded.
TEST_F(ProjectFileLoadTest, FuzzSeedsLoadOrAreRefused) {
    const std::filesystem::path corpus =
        std::string(VARNEX_SOURCE_DIR) + "/tests/fuzz/corpus/project_file";
    int soundSeeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        Project project;
        std::string error;
        const bool loaded = LoadProject(entry.path().string(), project, error);
        if (entry.path().filename().string().starts_with("damaged-")) {
            EXPECT_FALSE(loaded) << entry.path();
            EXPECT_FALSE(error.empty()) << entry.path();
        } else {
            EXPECT_TRUE(loaded) << entry.path() << ": " << error;
            ++soundSeeds;
        }
    }
    EXPECT_GE(soundSeeds, 3);
}

} // namespace
} // namespace varnex
