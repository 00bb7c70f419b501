// The example projects shipped in examples/: each reads without problems,
// passes the check before a run, and is exactly the text the writer makes of
// it; the example with errors reports what its expected file says.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "stochastic/IterationCount.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

std::string ExamplePath(const std::string& name) {
    return std::string(VARNEX_SOURCE_DIR) + "/examples/" + name;
}

class ProjectJsonExamplesTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { test::ResetProgramState(); }
    void TearDown() override { test::ResetProgramState(); }

    void Load(const std::string& name, Project& project) {
        std::vector<std::string> problems;
        ASSERT_TRUE(LoadProjectJsonFile(ExamplePath(name), project, problems))
            << name << ":\n"
            << ::testing::PrintToString(problems);
    }
};

TEST_P(ProjectJsonExamplesTest, IsWrittenBackUnchanged) {
    const std::string name = GetParam();
    const std::string text = test::ReadFileBytes(ExamplePath(name));
    Project project;
    Load(name, project);
    EXPECT_EQ(WriteProjectJson(project), text);

    Project again;
    std::vector<std::string> problems;
    ASSERT_TRUE(ReadProjectJson(WriteProjectJson(project), again, problems));
    EXPECT_EQ(WriteProjectJson(again), text);
}

INSTANTIATE_TEST_SUITE_P(ProjectJson, ProjectJsonExamplesTest,
                         ::testing::Values("level1-gasworks.json", "level2-solvent-soakaway.json",
                                           "level3-petrol-station.json", "level3a-landfill.json",
                                           "invalid-level3.json"));

class ProjectJsonValidExamplesTest : public ProjectJsonExamplesTest {};

TEST_P(ProjectJsonValidExamplesTest, PassesTheCheckBeforeARun) {
    Project project;
    Load(GetParam(), project);
    std::string report;
    EXPECT_TRUE(project.Validate(report)) << report;
}

INSTANTIATE_TEST_SUITE_P(ProjectJson, ProjectJsonValidExamplesTest,
                         ::testing::Values("level1-gasworks.json", "level2-solvent-soakaway.json",
                                           "level3-petrol-station.json", "level3a-landfill.json"));

class ProjectJsonExampleContentTest : public ProjectJsonExamplesTest {};

TEST_F(ProjectJsonExampleContentTest, InvalidExampleReportsItsExpectedText) {
    Project project;
    Load("invalid-level3.json", project);
    std::string report;
    EXPECT_FALSE(project.Validate(report));
    EXPECT_EQ("Validation Errors:\n" + report + "\n",
              test::ReadFileBytes(ExamplePath("invalid-level3.expected.txt")));
}

TEST_F(ProjectJsonExampleContentTest, CorrelationsNameTheInputsTheirPointersName) {
    Project project;
    Load("level3-petrol-station.json", project);
    ASSERT_EQ(project.correlations.Count(), 2u);
    const auto& records = project.correlations.Entries();
    const Correlation& aquifer = records.at(project.aquifer.hydraulicConductivity.id);
    EXPECT_EQ(aquifer.correlatedParameter, project.aquifer.effectivePorosity.id);
    EXPECT_EQ(aquifer.value, 0.5);
    const Source& source = project.sources.at(0);
    const Correlation& fuel = records.at(source.inventory.at(0).concentration.id);
    EXPECT_EQ(fuel.correlatedParameter, source.inventory.at(1).concentration.id);
    EXPECT_EQ(fuel.name, "Benzene and toluene in the same fuel");
    EXPECT_EQ(IterationCount(), 5000);
}

TEST_F(ProjectJsonExampleContentTest, TextsAreInDisplayUnitsAndLabelsFollowTheSettings) {
    Project project;
    Load("level2-solvent-soakaway.json", project);
    const Source& source = project.sources.at(0);
    // Run-off recharge is typed in mm/yr and calculated in m/d.
    EXPECT_DOUBLE_EQ(source.runoffRecharge.distribution.likely, 550 * 2.737850787132101e-06);
    EXPECT_EQ(source.runoffRecharge.Label(), "Run-off Recharge [mm/yr]");
    // Beneath a soakaway the pathway conductivity is the saturated one; the
    // concentration's unit is that of its measurement.
    EXPECT_EQ(source.pathways.at(0).unsaturatedConductivity.Label(),
              "Saturated Conductivity [m/s]");
    EXPECT_EQ(source.inventory.at(0).concentration.Label(), "Concentration [mg/l]");
    EXPECT_EQ(source.inventory.at(1).concentration.Label(), "Concentration [mg/kg]");
    EXPECT_TRUE(source.pathways.at(1).DualPorosity());
    ASSERT_EQ(source.inventory.at(1).pathwayProperties.size(), 2u);

    Load("level3-petrol-station.json", project);
    EXPECT_DOUBLE_EQ(project.sources.at(0).infiltration.distribution.maximum, 0.2);
}

} // namespace
} // namespace varnex
