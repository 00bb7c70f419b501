// Defaults, labels, limits and unit factors of a new project and its
// entities, the inventory invariant, and a new project from the shipped
// standards files.

#include <gtest/gtest.h>
#include <string>

#include "archive/FileVersion.h"
#include "model/Project.h"
#include "settings/LanguageList.h"
#include "settings/TranslationTable.h"
#include "stochastic/IterationCount.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

class ProjectModel : public test::ProgramStateTest {};

TEST_F(ProjectModel, NewSourceDefaults) {
    Source source;
    ASSERT_EQ(source.pathways.size(), 1u);
    EXPECT_EQ(source.pathways[0].name, "Unsaturated Pathway 1");
    EXPECT_TRUE(source.pathways[0].include);
    EXPECT_EQ(source.decliningSource, 0);
    EXPECT_TRUE(source.declineFactors.empty());
    EXPECT_EQ(source.attachedReceptor, -1);
    EXPECT_EQ(source.centreDefinition, Source::randomCentre);
    EXPECT_EQ(source.fillColour, 5);
    EXPECT_EQ(source.hatchStyle, 7);
    EXPECT_EQ(source.timeOffset, 0.0);
    // Every input starts undefined with lower limit 0 and upper 1e30, unless
    // its quantity has a natural bound.
    for (StochasticParameter* p : source.AllParameters()) {
        EXPECT_EQ(p->distribution.type, 0) << p->Label();
        EXPECT_EQ(p->distribution.minLimit, 0.0) << p->Label();
    }
    EXPECT_EQ(source.waterFilledPorosity.distribution.maxLimit, 1.0);
    EXPECT_EQ(source.airFilledPorosity.distribution.maxLimit, 1.0);
    EXPECT_EQ(source.foc.distribution.maxLimit, 100.0);
    EXPECT_EQ(source.moistureContent.distribution.maxLimit, 100.0);
    EXPECT_EQ(source.thickness.distribution.maxLimit, 1e30);
    EXPECT_FALSE(source.waterFilledPorosity.distribution.Parse("1.2"));
}

// Inputs typed in one unit and calculated in another: the value a run uses
// for a typed value, worked out by hand from the units of the labels and of
// the calculation (infiltration in m/yr, soakaway rates in m/d, a year of
// 365.25 days), so a wrong factor shows as a wrong quantity.
TEST_F(ProjectModel, TypedValuesBecomeTheUnitsOfTheCalculation) {
    Source source;
    struct Case {
        StochasticParameter* input;
        const char* typed;
        double internal;
    };
    const Case cases[] = {
        {&source.infiltration, "250", 0.25},      // 250 mm/yr = 0.25 m/yr
        {&source.runoffRecharge, "365250", 1.0},  // 365.25 m/yr = 1 m/d
        {&source.runoffRecharge, "730.5", 0.002}, // 0.7305 m/yr = 2 mm/d
        {&source.thickness, "3.5", 3.5},          // metres both
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.input->distribution.Parse(c.typed)) << c.input->Label();
        EXPECT_NEAR(c.input->distribution.CentralValue(), c.internal, 1e-12 * c.internal)
            << c.input->Label() << " typed " << c.typed;
        EXPECT_EQ(c.input->distribution.Format(), std::string("SINGLE(") + c.typed + ")")
            << c.input->Label();
    }
}

TEST_F(ProjectModel, LabelsAreTheProgramsTexts) {
    Source source;
    EXPECT_EQ(source.infiltration.Label(), "Infiltration [mm/yr]");
    EXPECT_EQ(source.catchmentArea.Label(), "Catchment Area [m²]");
    EXPECT_EQ(source.dryBulkDensity.Label(), "Dry Bulk Density [g/cm³]");
    EXPECT_EQ(source.pathways[0].effectiveMatrixPorosity.Label(),
              "Effective Matrix Porosoity [fraction]");
    EXPECT_EQ(source.pathways[0].unsaturatedConductivity.Label(), "Unsaturated Conductivity [m/s]");
    source.soakaway = 1;
    source.ApplyNames();
    EXPECT_EQ(source.pathways[0].unsaturatedConductivity.Label(), "Saturated Conductivity [m/s]");
    SourceContaminant entry;
    EXPECT_EQ(entry.concentration.Label(), "Concentration [mg/kg]");
    entry.measuredAs = 0;
    entry.ApplyNames();
    EXPECT_EQ(entry.concentration.Label(), "Concentration [mg/l]");
    Aquifer aquifer;
    EXPECT_EQ(aquifer.reserved.Label(), "");
    EXPECT_EQ(aquifer.lateralDispersivity.distribution.minLimit, 1e-30);
    EXPECT_EQ(aquifer.effectivePorosity.distribution.maxLimit, 1.0);
    EXPECT_EQ(aquifer.dilutionFlag, 1);
    Contaminant contaminant;
    EXPECT_EQ(contaminant.koc.Label(), "Partition coefficient to organic fraction (koc) [ml/g]");
    EXPECT_EQ(contaminant.standardStatus, 2);
    EXPECT_EQ(contaminant.identifier, -1);
}

TEST_F(ProjectModel, ResetRestoresANewProjectsState) {
    Project project = test::ValidLevel1Project();
    project.simulationLevel = 3;
    project.timeSlices = {5};
    project.processes.biodegradationUz = true;
    project.details.title = "Old site";
    project.standardSelection = 2;
    project.aquifer.flowDirection = 45;
    project.plume.active = true;
    Correlation record;
    record.referenceParameter = 1;
    record.correlatedParameter = 2;
    project.correlations.Add(record);
    SetIterationCount(50);
    project.Reset();
    EXPECT_TRUE(project.sources.empty());
    EXPECT_TRUE(project.contaminants.empty());
    EXPECT_EQ(project.correlations.Count(), 0u);
    EXPECT_EQ(project.simulationLevel, 1);
    EXPECT_EQ(project.timeSlices, (std::vector<double>{100, 300, 1000, 7000}));
    EXPECT_FALSE(project.processes.biodegradationUz);
    EXPECT_EQ(project.details.title, "");
    EXPECT_EQ(project.standardSelection, 0);
    EXPECT_EQ(project.aquifer.flowDirection, 0.0);
    EXPECT_FALSE(project.plume.active);
    EXPECT_EQ(IterationCount(), 1001);
}

TEST_F(ProjectModel, SyncInventoryKeepsOneEntryPerContaminant) {
    Project project;
    project.contaminants.push_back(test::MakeContaminant(1, "Benzene", true));
    project.contaminants.push_back(test::MakeContaminant(101, "Arsenic", false));
    Source source = test::SquareSource("A");
    SourceContaminant stale;
    stale.contaminant = 555; // no longer in the project
    source.inventory.push_back(stale);
    SourceContaminant kept;
    kept.contaminant = 101;
    kept.active = true;
    kept.pathwayProperties[3]; // a pathway the source does not have
    source.inventory.push_back(kept);
    SourceContaminant second = kept; // a second entry of the same species
    second.active = false;
    source.inventory.push_back(second);
    project.SyncInventory(source);
    ASSERT_EQ(source.inventory.size(), 2u);
    EXPECT_EQ(source.inventory[0].contaminant, 101);
    EXPECT_TRUE(source.inventory[0].active);
    EXPECT_EQ(source.inventory[1].contaminant, 1);
    EXPECT_FALSE(source.inventory[1].active);
    for (const SourceContaminant& entry : source.inventory)
        EXPECT_EQ(entry.pathwayProperties.size(), 1u);
}

TEST_F(ProjectModel, SyncInventoryCopiesTheFirstPathwayRecordWithNewIdentities) {
    Project project;
    project.contaminants.push_back(test::MakeContaminant(1, "Benzene", true));
    std::string error;
    ASSERT_TRUE(project.AddSource(test::SquareSource("A"), error, false));
    Source& source = project.sources[0];
    PathwayContaminant& first = source.inventory[0].pathwayProperties.at(0);
    test::SetInput(first.uzHalfLife, "12");
    first.degradationPhase = 1;
    project.AddPathway(0);
    ASSERT_EQ(source.pathways.size(), 2u);
    EXPECT_EQ(source.pathways[1].name, "Unsaturated Pathway 2");
    const PathwayContaminant& second = source.inventory[0].pathwayProperties.at(1);
    EXPECT_EQ(second.uzHalfLife.Format(), "SINGLE(12)");
    EXPECT_EQ(second.degradationPhase, 1);
    EXPECT_NE(second.uzHalfLife.id, first.uzHalfLife.id);
}

TEST_F(ProjectModel, ChangingTheLanguageRelabelsWithoutTouchingValues) {
    Project project = test::ValidLevel1Project();
    Source& source = project.sources[0];
    test::SetInput(source.thickness, "TRIANGULAR(1,2,3)");
    SetIterationCount(3);
    source.thickness.SampleAll(false);
    const std::vector<double> samples = source.thickness.Samples();
    SetLanguage("Deutsch", VARNEX_SOURCE_DIR "/data/Info/langs.txt");
    project.ApplyNames();
    EXPECT_NE(source.thickness.Label(), "Thickness [m]");
    EXPECT_EQ(source.thickness.Label(), Translate("Thickness [m]"));
    EXPECT_EQ(source.thickness.Format(), "TRIANGULAR(1,2,3)");
    EXPECT_EQ(source.thickness.Samples(), samples);
    EXPECT_EQ(source.infiltration.distribution.unitFactor, 0.001);
}

TEST_F(ProjectModel, NewProjectFromTheShippedStandardsFiles) {
    Project project;
    project.NewProject(VARNEX_SOURCE_DIR "/data/Info");
    EXPECT_EQ(project.filePath, "unnamed");
    EXPECT_EQ(ActiveFileVersion().Compare(FileVersion{2, 5, 4, 0, true}), 0);
    EXPECT_FALSE(project.processes.retardedTravelUz || project.processes.biodegradationUz ||
                 project.processes.retardedTravelAquifer ||
                 project.processes.biodegradationAquifer);
    EXPECT_EQ(project.standardSets.size(), 3u);
    EXPECT_GE(project.contaminants.size(), 40u);
    for (const Contaminant& c : project.contaminants) {
        EXPECT_FALSE(c.name.empty());
        EXPECT_GE(c.identifier, 1);
        EXPECT_LE(c.identifier, 1000);
        EXPECT_EQ(c.standardStatus, Contaminant::noStandard); // "No Standard" selected
    }
    const Contaminant* benzene = nullptr;
    for (const Contaminant& c : project.contaminants)
        if (c.name == "Benzene") benzene = &c;
    ASSERT_NE(benzene, nullptr);
    EXPECT_TRUE(benzene->henryFlag);
    EXPECT_EQ(benzene->partitionFromKoc, 1);
}

} // namespace
} // namespace varnex
