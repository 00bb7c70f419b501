// Decay chains are stored in the project file's trailing block only: a
// project whose contaminants name no parent is written byte for byte as the
// program wrote it before chains existed, and the files it wrote then read
// as they did.
//
// The fixtures under data/ were written by the program at the commit that
// put the parent and yield into the model, before the files knew about
// them (VARNEX_WRITE_CHAIN_FIXTURES=1 writes them again). The file read
// from the corpus carries its inputs' identity numbers, and its fixture is
// that commit's bytes. The two from JSON examples were written again once
// the yield stopped drawing an identity number: at that commit every
// contaminant's yield drew one, shifting the numbers of every input made
// after it against the program before chains (AYieldDrawsNoIdentityUntil-
// ItIsUsed in the model's tests pins that a contaminant draws exactly one
// per input of its table again, as before).

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectFileComparison.h"
#include "persist/ProjectJson.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

const std::string dataFolder = std::string(VARNEX_SOURCE_DIR) + "/tests/persist/data/";
const std::string corpusFolder =
    std::string(VARNEX_SOURCE_DIR) + "/tests/fuzz/corpus/project_file/";

struct FixtureCase {
    const char* fixture; // under data/
    const char* source;  // a JSON example or a project file of the corpus
    bool fromJson;
    bool withResults;
};

// Three projects without a parent: a JSON example of each level that has
// an aquifer or an unsaturated zone, and a file with results.
const std::vector<FixtureCase> cases = {
    {"no-chain-level3.vnx", "/examples/level3-gasworks-chalk.json", true, false},
    {"no-chain-level2.vnx", "/examples/level2-solvent-soakaway.json", true, false},
    {"no-chain-level3-results.vnx", "level3-results.vnx", false, true},
};

class DecayChainFileCompatibilityTest : public ::testing::Test {
protected:
    void SetUp() override { test::ResetProgramState(); }
    void TearDown() override { test::ResetProgramState(); }

    // The case's project, loaded in a fresh program state so that its
    // inputs' identity numbers are those of any fresh program.
    Project Load(const FixtureCase& c) {
        test::ResetProgramState();
        Project project;
        std::string error;
        if (c.fromJson) {
            std::vector<std::string> problems;
            EXPECT_TRUE(
                LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) + c.source, project, problems));
        } else {
            EXPECT_TRUE(LoadProject(corpusFolder + c.source, project, error)) << error;
        }
        return project;
    }

    // The bytes of the project saved with a fixed date under a fixed name
    // (the file stores both), so that two saves of one model compare.
    std::string Saved(Project& project, bool withResults) {
        const std::string staged = folder_.File("staged.vnx");
        test::WriteFileBytes(staged, "");
        ProjectSaveOptions options;
        options.withResults = withResults;
        options.dateSaved = "2026-12-10 01:34:01";
        options.writeTo = staged;
        std::string error;
        EXPECT_TRUE(SaveProject(project, "/projects/site.vnx", options, error)) << error;
        return test::ReadFileBytes(staged);
    }

    test::TempDirectory folder_;
};

TEST_F(DecayChainFileCompatibilityTest, ProjectsWithoutParentsAreWrittenAsBefore) {
    const bool write = std::getenv("VARNEX_WRITE_CHAIN_FIXTURES") != nullptr;
    for (const FixtureCase& c : cases) {
        SCOPED_TRACE(c.fixture);
        Project project = Load(c);
        const std::string bytes = Saved(project, c.withResults);
        if (write) {
            test::WriteFileBytes(dataFolder + c.fixture, bytes);
            continue;
        }
        EXPECT_TRUE(bytes == test::ReadFileBytes(dataFolder + c.fixture))
            << "the file differs from the one written before chains were stored";
    }
}

TEST_F(DecayChainFileCompatibilityTest, FilesWrittenBeforeChainsReadAsBefore) {
    for (const FixtureCase& c : cases) {
        SCOPED_TRACE(c.fixture);
        Project expected = Load(c);
        test::ResetProgramState();
        Project loaded;
        std::string error;
        ASSERT_TRUE(LoadProject(dataFolder + c.fixture, loaded, error)) << error;
        test::ExpectSameStoredProject(expected, loaded, c.withResults);
        for (const Contaminant& contaminant : loaded.contaminants)
            EXPECT_EQ(contaminant.parentIdentifier, Contaminant::noParent) << contaminant.name;
    }
}

} // namespace
} // namespace varnex
