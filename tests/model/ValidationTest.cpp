// The check before a run, compared as whole report texts for hand-built
// projects at each level; and the property that the check tests exactly the
// inputs a run uses.

#include <cmath>
#include <gtest/gtest.h>

#include "model/Project.h"
#include "model/RunInputs.h"
#include "run/IterationInputs.h"
#include "stochastic/IterationCount.h"
#include "support/ModelBuilders.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

using test::SetInput;

class Validation : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetProgramState();
        project = test::ValidLevel1Project();
    }
    std::string Report() {
        std::string report;
        project.Validate(report);
        return report;
    }
    Project project;
};

TEST_F(Validation, Level1SourceWithoutReceptorsIsValid) {
    std::string report = "stale";
    EXPECT_TRUE(project.Validate(report));
    EXPECT_EQ(report, "");
}

TEST_F(Validation, Level3ReportsEveryMissingInputInOrder) {
    project.simulationLevel = 3;
    EXPECT_EQ(Report(), "Tank:\n"
                        "\tThickness [m] - Data missing\n"
                        "\tInfiltration [mm/yr] - Data missing\n"
                        "\tUnsaturated Pathway 1 Vertical Dispersivity [m] - Data missing\n"
                        "\tUnsaturated Pathway 1 Thickness [m] - Data missing\n"
                        "\tUnsaturated Pathway 1 Water filled porosity [fraction] - Data missing\n"
                        "\tUnsaturated Pathway 1 Unsaturated Conductivity [m/s] - Data missing\n"
                        "\tOverall Unsaturated Zone Thickness [m] - Data missing\n"
                        "At least one receptor is required.\n"
                        "Aquifer Pathway:\n"
                        "\tThickness [m] - Data missing\n"
                        "\tMixing Zone Thickness [m] - Data missing\n"
                        "\tHydraulic Conductivity [m/s] - Data missing\n"
                        "\tHydraulic Gradient - Data missing\n"
                        "\tEffective Porosity [fraction] - Data missing\n"
                        "\tLateral Dispersivity [m] - Data missing\n"
                        "\tLongitudinal Dispersivity [m] - Data missing");
}

TEST_F(Validation, Level2WithDilutionChecksTheMixingZoneOnly) {
    project.simulationLevel = 2;
    Source& s = project.sources[0];
    for (StochasticParameter* p :
         {&s.thickness, &s.infiltration, &s.overallUnsaturatedZoneThickness})
        SetInput(*p, "1");
    UnsaturatedPathway& layer = s.pathways[0];
    for (StochasticParameter* p : {&layer.verticalDispersivity, &layer.thickness,
                                   &layer.waterFilledPorosity, &layer.unsaturatedConductivity})
        SetInput(*p, "0.5");
    EXPECT_EQ(Report(), "Aquifer Pathway:\n"
                        "\tMixing Zone Thickness [m] - Data missing\n"
                        "\tHydraulic Conductivity [m/s] - Data missing\n"
                        "\tHydraulic Gradient - Data missing");
    project.aquifer.calculateMixingZone = 1;
    EXPECT_EQ(Report(), "Aquifer Pathway:\n"
                        "\tThickness [m] - Data missing\n"
                        "\tHydraulic Conductivity [m/s] - Data missing\n"
                        "\tHydraulic Gradient - Data missing");
    project.aquifer.dilutionFlag = 0;
    EXPECT_EQ(Report(), "");
}

TEST_F(Validation, SoilMeasuredOrganicEntryWithALeachingSource) {
    SourceContaminant& entry = project.sources[0].inventory[0];
    entry.measuredAs = SourceContaminant::measuredInSoil;
    entry.ApplyNames();
    project.sources[0].decliningSource = Source::leachingDecline;
    EXPECT_EQ(Report(), "Tank:\n"
                        "\tDry Bulk Density [g/cm³] - Data missing\n"
                        "\tWater filled porosity [fraction] - Data missing\n"
                        "\tAir filled porosity [fraction] - Data missing\n"
                        "\tThickness [m] - Data missing\n"
                        "\tInfiltration [mm/yr] - Data missing\n"
                        "\tBenzene Henry's Law Constant - Data missing\n"
                        "\tBenzene Maximum Solubility [mg/l] - Data missing\n"
                        "\tBenzene Partition Coefficient [ml/g] - Data missing");
    // A partition coefficient from koc needs koc and the source's foc.
    entry.partitionFromKoc = 1;
    project.sources[0].calculatePorosities = true;
    EXPECT_EQ(Report(),
              "\tBenzene Partition coefficient to organic fraction (koc) [ml/g] - Data missing\n"
              "Tank:\n"
              "\tDry Bulk Density [g/cm³] - Data missing\n"
              "\tMoisture Content [%] - Data missing\n"
              "\tParticle Density [g/cm³] - Data missing\n"
              "\tThickness [m] - Data missing\n"
              "\tInfiltration [mm/yr] - Data missing\n"
              "\tFraction of organic carbon (foc) [%] - Data missing\n"
              "\tBenzene Henry's Law Constant - Data missing\n"
              "\tBenzene Maximum Solubility [mg/l] - Data missing");
}

TEST_F(Validation, InvalidValuesShowTheirErrorText) {
    SetInput(project.sources[0].inventory[0].concentration, "2");
    project.sources[0].inventory[0].concentration.distribution.Parse("UNIFORM(5,1)");
    EXPECT_EQ(Report(), "Tank:\n\tBenzene Concentration [mg/l] - Minimum greater than maximum");
}

TEST_F(Validation, PolygonsNeedThreeVerticesAndAnArea) {
    project.sources[0].vertices.resize(2);
    EXPECT_EQ(Report(), "Tank:\n\tAt least three vertices are required.");
    project.sources[0].vertices = {{0, 0}, {5, 5}, {10, 10}};
    EXPECT_EQ(Report(), "Tank:\n\tThe source polygon must enclose at least 1 m².");
    project.sources[0].vertices = {{0, 0}, {1, 0}, {1, 0.9}};
    EXPECT_EQ(Report(), "Tank:\n\tThe source polygon must enclose at least 1 m².");
    project.sources[0].vertices = {{0, 0}, {0, 2}, {1, 2}, {1, 0}}; // clockwise, 2 m²
    EXPECT_EQ(Report(), "");
}

TEST_F(Validation, ProjectWideRequirements) {
    project.timeSlices.clear();
    project.sources[0].decliningSource = Source::userDefinedDecline;
    project.sources[0].declineFactors = {1.0};
    SetInput(project.sources[0].thickness, "1");
    SetInput(project.sources[0].dryBulkDensity, "1.6");
    // A declining source partitions its leachate like a soil measurement.
    SourceContaminant& entry = project.sources[0].inventory[0];
    for (StochasticParameter* p :
         {&entry.henrysLawConstant, &entry.maximumSolubility, &entry.partitionCoefficient})
        SetInput(*p, "0.2");
    EXPECT_EQ(Report(), "At least one timeslice is required.\n"
                        "Tank:\n\tThe declining source needs one factor for each timeslice.");
    project.timeSlices = {10, 20};
    project.sources[0].declineFactors = {1.0, 0.5};
    EXPECT_EQ(Report(), "");
    project.sources.clear();
    EXPECT_EQ(Report(), "At least one source is required");
}

TEST_F(Validation, AquiferContaminantsAtLevel3) {
    project.simulationLevel = 3;
    project.processes.retardedTravelAquifer = true;
    project.processes.biodegradationAquifer = true;
    Receptor well;
    well.name = "Well";
    std::string error;
    ASSERT_TRUE(project.AddReceptor(well, error));
    Source& s = project.sources[0];
    for (StochasticParameter* p : s.AllParameters()) SetInput(*p, "0.5");
    Aquifer& a = project.aquifer;
    for (StochasticParameter* p : ParametersOf(a)) SetInput(*p, "0.5");
    a.foc.distribution.Reset();
    a.foc.distribution.maxLimit = 100;
    project.contaminants[0].backgroundOption = 1;
    // koc is needed for the background concentration's retardation and is
    // reported once, with the other contaminant inputs after the aquifer.
    EXPECT_EQ(Report(),
              "\tBenzene Partition coefficient to organic fraction (koc) [ml/g] - Data missing\n"
              "Aquifer Pathway:\n\tFraction of organic carbon (foc) [%] - Data missing\n"
              "\tBenzene Background Concentration [mg/l] - Data missing\n"
              "\tBenzene Half Life [years] - Data missing");
}

// Every input of a project, each made invalid in turn: the check must fail
// exactly for the inputs the run uses.
TEST(RunInputsAgreement, TheCheckTestsExactlyTheInputsTheRunUses) {
    test::ResetProgramState();
    struct Options {
        int level;
        bool soil, soakaway, drainage, dual, calcPorosities, retarded, biodegradation, fromKoc;
        int declining;
    };
    const Options variants[] = {
        {1, false, false, false, false, false, false, false, false, 0},
        {1, true, false, false, false, false, false, false, true, 1},
        {1, false, true, true, false, false, false, false, false, 1},
        {2, true, true, true, false, true, true, true, true, 2},
        {2, false, false, false, true, false, true, false, false, 0},
        {3, true, false, false, false, false, true, true, true, 1},
        {3, false, true, false, true, true, false, true, false, 0},
        {4, true, false, false, false, false, true, true, true, 1},
    };
    for (const Options& o : variants) {
        Project project = test::ValidLevel1Project();
        project.contaminants.push_back(test::MakeContaminant(101, "Arsenic", false));
        project.SyncAllInventories();
        project.simulationLevel = o.level;
        project.processes = {o.retarded, o.biodegradation, o.retarded, o.biodegradation};
        Receptor well;
        well.name = "Well";
        std::string error;
        ASSERT_TRUE(project.AddReceptor(well, error));
        project.AddPathway(0);
        Source& s = project.sources[0];
        s.soakaway = o.soakaway;
        s.drainageSystem = o.drainage;
        s.calculatePorosities = o.calcPorosities;
        s.decliningSource = o.declining;
        s.declineFactors.assign(project.timeSlices.size(), 1.0);
        s.pathways[1].flowModel =
            o.dual ? UnsaturatedPathway::dualPorosity : UnsaturatedPathway::porousMedium;
        for (SourceContaminant& e : s.inventory) {
            e.active = true;
            e.measuredAs = o.soil ? SourceContaminant::measuredInSoil : 0;
            e.partitionFromKoc = o.fromKoc;
            for (auto& [key, record] : e.pathwayProperties)
                record.partitionFromKoc = o.fromKoc && key == 1;
        }
        std::vector<StochasticParameter*> every = s.AllParameters();
        for (StochasticParameter* p : ParametersOf(project.aquifer)) every.push_back(p);
        for (Contaminant& c : project.contaminants)
            for (StochasticParameter* p : ParametersOf(c)) every.push_back(p);
        for (StochasticParameter* p : every) SetInput(*p, "0.5");
        std::string report;
        ASSERT_TRUE(project.Validate(report)) << report;
        const std::vector<StochasticParameter*> used = RunInputs(project).All();
        for (StochasticParameter* p : every) {
            const bool isUsed = std::find(used.begin(), used.end(), p) != used.end();
            p->distribution.Parse("SINGLE(-1)");
            EXPECT_EQ(project.Validate(report), !isUsed)
                << "level " << o.level << ": " << p->Label()
                << (isUsed ? " is used but not checked" : " is checked but not used");
            SetInput(*p, "0.5");
        }
        EXPECT_FALSE(used.empty());

        // Every input the run uses is drawn: with every input at
        // SINGLE(0.5), a drawn input holds that value (in internal units)
        // after sampling, while an input the run only sizes (to derive it
        // later) holds 0 or a derived value. (Sampling also draws some
        // inputs the run may not need, koc and the source's foc and bulk
        // density, to keep the order of the random stream fixed.) A soakaway
        // at "Level 1" declining by leaching reads its infiltration as
        // entered: no soakaway rate is derived without an unsaturated zone.
        SetIterationCount(2);
        SetInput(s.particleDensity, "2.65"); // 0.5 would leave no pore space
        project.thicknessOutOfRangeCount.assign(project.sources.size(), 0);
        SampleIterationInputs(project);
        for (StochasticParameter* p : used) {
            // Layer thicknesses are drawn, then scaled to the overall
            // thickness.
            if (std::any_of(s.pathways.begin(), s.pathways.end(),
                            [p](const UnsaturatedPathway& layer) { return p == &layer.thickness; }))
                continue;
            const double value = p->distribution.Draw(false);
            const bool drawn =
                p->SampleCount() == 2 && p->Samples()[0] == value && p->Samples()[1] == value;
            EXPECT_TRUE(drawn) << "level " << o.level << ", soakaway " << o.soakaway << ": "
                               << p->Label() << " is used but not drawn";
        }
    }
}

// Geometry that would run with a wrong area or lost digits, and decline
// factors that would give negative or NaN concentrations, are refused.
TEST_F(Validation, GeometryAndDeclineFactorsThatWouldGiveWrongNumbers) {
    Source& source = project.sources[0];
    const std::vector<PlanPoint> square = source.vertices;
    const std::string polygon = "Tank:\n\tThe source polygon must not cross itself.";
    const std::string coordinates =
        "\tCoordinates must be numbers within 1000000000 m of the plan's origin.";
    // A bow tie with unequal wings: its signed area, 100 m², is neither the
    // ground it covers nor zero.
    source.vertices = {{0, 0, 0, 0}, {20, 20, 0, 0}, {20, 0, 0, 0}, {0, 10, 0, 0}};
    EXPECT_EQ(Report(), polygon);
    source.vertices = square;
    for (PlanPoint& vertex : source.vertices) vertex.x += 1e14;
    EXPECT_EQ(Report(), "Tank:\n" + coordinates);
    source.vertices = square;
    source.vertices[1].y = 1e300;
    EXPECT_EQ(Report(), "Tank:\n" + coordinates);
    source.vertices = square;

    Receptor far;
    far.name = "Far";
    far.x = 1e308;
    project.receptors.push_back(far);
    EXPECT_EQ(Report(), "Far:\n" + coordinates);
    project.receptors.clear();

    // A user-defined decline asks for the soil too; only the factors'
    // line is looked for.
    const std::string factors = "\tThe declining source factors must be numbers of 0 or more.";
    project.timeSlices = {10, 100};
    source.decliningSource = Source::userDefinedDecline;
    source.declineFactors = {1.0, -0.5};
    EXPECT_NE(Report().find(factors), std::string::npos) << Report();
    source.declineFactors = {1.0, std::nan("")};
    EXPECT_NE(Report().find(factors), std::string::npos) << Report();
    source.declineFactors = {1.0, 0.0};
    EXPECT_EQ(Report().find(factors), std::string::npos) << Report();
}

// The bounds on what multiplies the results: whatever brought a project in
// (an older file, a script), a run with more is refused before it starts.
TEST_F(Validation, TimeSlicesAndReceptorsAreBounded) {
    project.timeSlices.clear();
    for (int year = 1; year <= 101; ++year) project.timeSlices.push_back(year);
    for (int r = 0; r < 101; ++r) {
        Receptor receptor;
        receptor.name = "R" + std::to_string(r);
        project.receptors.push_back(receptor);
    }
    EXPECT_EQ(Report(), "At most 100 timeslices are allowed.\nAt most 100 receptors are allowed.");
    project.timeSlices.pop_back();
    project.receptors.pop_back();
    EXPECT_EQ(Report(), "");
}

// Texts that would make every save fail are refused before a run, whatever
// brought them in, each named by its field (entities by position: an
// over-long name is no way to name one) with the project file's limit.
TEST_F(Validation, TextsLongerThanAProjectFileHoldsAreNamed) {
    const std::string limitText =
        " bytes, but a project file holds at most 16383 bytes of text in one field.";
    project.details.comment = std::string(20000, 'c');
    project.details.title = std::string(16383, 't'); // the longest that fits
    project.sources[0].pathways[0].name = std::string(16384, 'p');
    std::string report;
    EXPECT_FALSE(project.Validate(report));
    EXPECT_EQ(Report(), "Comment is too long: 20000" + limitText +
                            "\nName of unsaturated pathway 1 of source 1 is too long: 16384" +
                            limitText);
}

} // namespace
} // namespace varnex
