// The sensitivity ranking of a finished run: which inputs are listed for
// which result, the row labels, and the choices offered.
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "analysis/SensitivityAnalysis.h"
#include "analysis/SensitivityChoices.h"
#include "analysis/SensitivityInputs.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

using namespace SensitivityResult;

class SensitivityEntriesTest : public test::ProgramStateTest {
protected:
    static void Run(Project& project) {
        RunObserver observer;
        ASSERT_TRUE(RunSimulation(project, observer, RunOptions{1}));
    }

    static Project Level3Project() {
        Project project;
        std::vector<std::string> problems;
        EXPECT_TRUE(LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) +
                                            "/tests/transport/data/level3-receptors.json",
                                        project, problems));
        SetIterationCount(60);
        // A few sampled inputs in each compartment.
        test::SetInput(project.aquifer.hydraulicConductivity, "UNIFORM(0.00005,0.0002)");
        test::SetInput(project.sources[0].pathways[1].thickness, "UNIFORM(2,4)");
        test::SetInput(project.sources[0].inventory[0].concentration, "UNIFORM(5,15)");
        return project;
    }
};

const SensitivityEntry* Find(const std::vector<SensitivityEntry>& entries,
                             const std::string& label) {
    auto found = std::find_if(entries.begin(), entries.end(),
                              [&](const SensitivityEntry& e) { return e.label == label; });
    return found == entries.end() ? nullptr : &*found;
}

bool AnyContains(const std::vector<SensitivityEntry>& entries, const std::string& text) {
    return std::any_of(entries.begin(), entries.end(), [&](const SensitivityEntry& e) {
        return e.label.find(text) != std::string::npos;
    });
}

TEST_F(SensitivityEntriesTest, Level1SourceConcentrationFollowsItsOnlySampledInput) {
    SetIterationCount(50);
    // A leachate of a source declining by leaching: the source term also
    // reads the soil and the infiltration, all single values here, so the
    // result at the first time slice is proportional to the concentration.
    Project project = test::LeachingLevel1Project("UNIFORM(1,3)");
    std::string report;
    ASSERT_TRUE(project.Validate(report)) << report;
    Run(project);

    SensitivitySelection selection;
    selection.result = sourceConcentration;
    selection.timeSlice = 0;
    const std::vector<SensitivityEntry> entries = ComputeEntries(project, selection);
    ASSERT_GE(entries.size(), 2u);
    const SensitivityEntry& strongest = entries.back();
    EXPECT_EQ(strongest.label, "Benzene - Tank - Source Concentration [mg/l]");
    EXPECT_NEAR(strongest.coefficient, 1.0, 1e-9);
    EXPECT_FALSE(strongest.isSingleValue);
    for (std::size_t k = 0; k + 1 < entries.size(); ++k) {
        EXPECT_TRUE(entries[k].isSingleValue) << entries[k].label << " " << entries[k].coefficient;
        EXPECT_EQ(entries[k].coefficient, 0.0) << entries[k].label;
    }
    // The infiltration the leaching carries the contaminant away with.
    EXPECT_NE(Find(entries, "Benzene - Tank - Source Infiltration [mm/yr]"), nullptr);

    selection.rank = true;
    const std::vector<SensitivityEntry> ranked = ComputeEntries(project, selection);
    EXPECT_GT(ranked.back().coefficient, 0.99);
    // The list shows the sampled input first, the single values after it.
    const std::vector<SensitivityRow> rows = FillList(entries, false, true);
    ASSERT_EQ(rows.size(), entries.size());
    EXPECT_EQ(rows.front().label, strongest.label);
    EXPECT_EQ(rows.back().text, "Single Value");
}

TEST_F(SensitivityEntriesTest, Level3ListsAquiferInputsForReceptorResultsOnly) {
    Project project = Level3Project();
    Run(project);
    SensitivitySelection selection;
    selection.source = 0;
    selection.timeSlice = 3;

    selection.result = sourceConcentration;
    const auto source = ComputeEntries(project, selection);
    EXPECT_NE(Find(source, "Benzene - Tank - Source Concentration [mg/l]"), nullptr);
    EXPECT_FALSE(AnyContains(source, "Aquifer "));
    EXPECT_FALSE(AnyContains(source, "U/S Zone "));

    selection.result = receptorConcentration;
    selection.receptor = 0;
    const auto receptor = ComputeEntries(project, selection);
    const SensitivityEntry* conductivity =
        Find(receptor, "Benzene - Tank - Aquifer Hydraulic Conductivity [m/s] - Borehole");
    ASSERT_NE(conductivity, nullptr);
    EXPECT_FALSE(conductivity->isSingleValue);
    EXPECT_NE(Find(receptor, "Benzene - Tank - Aquifer Lateral Dispersivity [m] - Borehole"),
              nullptr);
    EXPECT_NE(Find(receptor, "Benzene - Tank - Aquifer Half Life [years] - Borehole"), nullptr);
    // The aquifer's partition coefficient comes from koc and the aquifer's
    // organic carbon; koc has no compartment prefix.
    EXPECT_NE(
        Find(receptor,
             "Benzene - Tank - Partition coefficient to organic fraction (koc) [ml/g] - Borehole"),
        nullptr);
    EXPECT_NE(
        Find(receptor, "Benzene - Tank - Aquifer Fraction of organic carbon (foc) [%] - Borehole"),
        nullptr);
    EXPECT_NE(Find(receptor, "Benzene - Tank - Source Concentration [mg/l] - Borehole"), nullptr);
    EXPECT_NE(Find(receptor, "Benzene - Tank - U/S Zone Sand Thickness [m] - Borehole"), nullptr);
    EXPECT_FALSE(AnyContains(receptor, "Upstream well")); // only the selected receptor

    // The travel time does not depend on the mixing zone, the lateral
    // spreading or decay, nor on the source's concentration.
    selection.result = receptorTravelTime;
    selection.receptor = SensitivitySelection::all;
    const auto travel = ComputeEntries(project, selection);
    EXPECT_NE(Find(travel, "Benzene - Tank - Aquifer Hydraulic Conductivity [m/s] - Upstream well"),
              nullptr);
    EXPECT_NE(Find(travel, "Benzene - Tank - Aquifer Longitudinal Dispersivity [m] - Borehole"),
              nullptr);
    EXPECT_FALSE(AnyContains(travel, "Mixing Zone Thickness"));
    EXPECT_FALSE(AnyContains(travel, "Lateral Dispersivity"));
    EXPECT_FALSE(AnyContains(travel, "Half Life"));
    EXPECT_FALSE(AnyContains(travel, "Source Concentration"));
    EXPECT_EQ(travel.size() % project.receptors.size(), 0u); // the same inputs for every receptor
}

TEST_F(SensitivityEntriesTest, PathwayResultsReachDownToTheChosenLayer) {
    Project project = Level3Project();
    Run(project);
    SensitivitySelection selection;
    selection.source = 0;

    // The travel time to the base of the top layer: the lower layer's inputs
    // play no part.
    selection.result = unsaturatedZoneTravelTime;
    selection.pathway = 0;
    const auto clay = ComputeEntries(project, selection);
    EXPECT_NE(Find(clay, "Benzene - Tank - U/S Zone Clay Thickness [m]"), nullptr);
    EXPECT_NE(Find(clay, "Benzene - Tank - U/S Zone Clay Infiltration [mm/yr]"), nullptr);
    EXPECT_NE(Find(clay, "Benzene - Tank - U/S Zone Clay UZ Partition Coefficient [ml/g]"),
              nullptr);
    EXPECT_FALSE(AnyContains(clay, "U/S Zone Sand "));
    EXPECT_FALSE(AnyContains(clay, "Source "));

    // Down to the base of the lower layer, the sampled thickness leads.
    selection.pathway = 1;
    const auto sand = ComputeEntries(project, selection);
    ASSERT_FALSE(sand.empty());
    EXPECT_EQ(sand.back().label, "Benzene - Tank - U/S Zone Sand Thickness [m]");
    // The layers are scaled to the overall thickness, a single value: a
    // thicker sand leaves less of the slower clay, so the time falls.
    EXPECT_LT(sand.back().coefficient, -0.9);
    EXPECT_NE(Find(sand, "Benzene - Tank - U/S Zone Clay Thickness [m]"), nullptr);

    // Concentrations at the base of the top layer see the infiltration as
    // the lower layer capped it, and so its conductivity, but not its
    // thickness; they come from the source term.
    selection.result = baseOfUnsaturatedZoneConcentration;
    selection.timeSlice = 3;
    selection.pathway = 0;
    const auto clayConcentration = ComputeEntries(project, selection);
    EXPECT_NE(
        Find(clayConcentration, "Benzene - Tank - U/S Zone Sand Unsaturated Conductivity [m/s]"),
        nullptr);
    EXPECT_EQ(Find(clayConcentration, "Benzene - Tank - U/S Zone Sand Thickness [m]"), nullptr);
    EXPECT_NE(Find(clayConcentration, "Benzene - Tank - Source Concentration [mg/l]"), nullptr);
    EXPECT_FALSE(AnyContains(clayConcentration, "Aquifer "));

    // With every pathway, the rows start with the pathway's name.
    selection.pathway = SensitivitySelection::all;
    const auto both = ComputeEntries(project, selection);
    EXPECT_NE(Find(both, "Clay - Benzene - Tank - U/S Zone Clay Thickness [m]"), nullptr);
    EXPECT_NE(Find(both, "Sand - Benzene - Tank - U/S Zone Sand Thickness [m]"), nullptr);
    EXPECT_NE(Find(both, "Sand - Benzene - Tank - U/S Zone Clay Thickness [m]"), nullptr);
}

TEST_F(SensitivityEntriesTest, EveryListedInputWasSampledByTheRun) {
    Project project = Level3Project();
    project.processes = ActiveProcesses{}; // no sorption or decay: their inputs are not sampled
    Run(project);
    const SensitivityInputs inputs(project);
    Source& source = project.sources[0];
    SourceContaminant& entry = source.inventory[0];
    for (int code = 0; code <= 4; ++code)
        for (std::size_t p = 0; p < source.pathways.size(); ++p)
            for (const SensitivityInputs::Input& input : inputs.For(code, source, entry, p))
                EXPECT_EQ(input.parameter->SampleCount(), 60u)
                    << code << ": " << input.parameter->Label();

    SensitivitySelection selection;
    selection.result = receptorConcentration;
    selection.timeSlice = 3;
    const auto entries = ComputeEntries(project, selection);
    EXPECT_FALSE(AnyContains(entries, "Half Life"));
    EXPECT_FALSE(AnyContains(entries, "Partition"));
    EXPECT_NE(Find(entries, "Benzene - Tank - Aquifer Hydraulic Conductivity [m/s] - Borehole"),
              nullptr);
}

TEST_F(SensitivityEntriesTest, SelectionsTheRunDidNotProduceGiveNoEntries) {
    Project project = Level3Project();
    project.simulationLevel = SimulationLevel::level2;
    Run(project);
    SensitivitySelection selection;
    // Below "Level 3" the per-receptor travel times are never created.
    selection.result = receptorTravelTime;
    EXPECT_TRUE(ComputeEntries(project, selection).empty());
    selection.result = sourceConcentration;
    selection.timeSlice = 4; // beyond the four time slices
    EXPECT_TRUE(ComputeEntries(project, selection).empty());
    selection.timeSlice = 0;
    selection.source = 5;
    EXPECT_TRUE(ComputeEntries(project, selection).empty());
    selection.source = SensitivitySelection::all;
    selection.contaminant = 0;
    EXPECT_FALSE(ComputeEntries(project, selection).empty());
    selection.contaminant = 1;
    EXPECT_TRUE(ComputeEntries(project, selection).empty());
}

TEST_F(SensitivityEntriesTest, ChoicesFollowTheLevelAndTheSelectedSource) {
    Project project = Level3Project();
    const std::vector<SensitivityChoice> level3 = ResultChoices(project);
    ASSERT_EQ(level3.size(), 2u + 3u * 4u);
    EXPECT_EQ(level3[0].text, "Unsaturated Zone Travel Time");
    EXPECT_EQ(level3[0].code, unsaturatedZoneTravelTime);
    EXPECT_EQ(level3[1].text, "Receptor Zone Travel Time");
    EXPECT_EQ(level3[2].text, "Concentration at source - 5 years");
    EXPECT_EQ(level3[2].index, 0);
    EXPECT_EQ(level3[6].text, "Concentration at Base of Unsat. Zone - 5 years");
    EXPECT_EQ(level3[13].text, "Concentration at Receptor - 50 years");
    EXPECT_EQ(level3[13].code, receptorConcentration);
    EXPECT_EQ(level3[13].index, 3);

    project.simulationLevel = SimulationLevel::level1;
    const std::vector<SensitivityChoice> level1 = ResultChoices(project);
    ASSERT_EQ(level1.size(), 4u);
    EXPECT_EQ(level1[0].code, sourceConcentration);
    project.simulationLevel = SimulationLevel::level3a;
    for (const SensitivityChoice& choice : ResultChoices(project))
        EXPECT_TRUE(choice.code == receptorTravelTime || choice.code == receptorConcentration)
            << choice.text;

    project.simulationLevel = SimulationLevel::level3;
    EXPECT_EQ(SourceSelector(project).choices.front().text, "<All>");
    project.simulationLevel = SimulationLevel::level2;
    EXPECT_EQ(SourceSelector(project).choices.front().text, "Tank");
    EXPECT_FALSE(ReceptorSelector(project, baseOfUnsaturatedZoneConcentration).enabled);
    EXPECT_TRUE(ReceptorSelector(project, receptorTravelTime).enabled);

    // An excluded pathway is not offered, except the first.
    project.AddPathway(0);
    project.sources[0].pathways[0].include = false;
    project.sources[0].pathways[1].include = false;
    const SensitivitySelector pathways = PathwaySelector(project, 0, unsaturatedZoneTravelTime);
    EXPECT_TRUE(pathways.enabled);
    ASSERT_EQ(pathways.choices.size(), 3u);
    EXPECT_EQ(pathways.choices[0].index, SensitivitySelection::all);
    EXPECT_EQ(pathways.choices[1].text, "Clay");
    EXPECT_EQ(pathways.choices[2].index, 2);
    EXPECT_FALSE(PathwaySelector(project, 0, sourceConcentration).enabled);
    const SensitivitySelector none =
        PathwaySelector(project, SensitivitySelection::all, unsaturatedZoneTravelTime);
    EXPECT_FALSE(none.enabled);
    EXPECT_TRUE(none.choices.empty());
}

} // namespace
} // namespace varnex
