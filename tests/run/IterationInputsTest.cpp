// Sampling of a run's inputs: the order in which inputs take their random
// numbers, the re-draw rules and their limits, thickness scaling, geometry in
// the aquifer frame and the choice of source centres. UNIFORM(0,32767) turns
// each deviate r back into r, so the samples show which part of the stream
// every input received.

#include <cmath>
#include <gtest/gtest.h>

#include "base/Exception.h"
#include "model/Project.h"
#include "run/IterationInputs.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"
#include "support/ModelBuilders.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

using test::SetInput;

class IterationInputs : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetProgramState();
        project = test::ValidLevel1Project();
        project.thicknessOutOfRangeCount.assign(1, 0);
    }
    void TearDown() override { test::ResetProgramState(); }
    Source& TheSource() { return project.sources[0]; }
    SourceContaminant& Entry() { return project.sources[0].inventory[0]; }

    std::vector<double> Stream(std::uint32_t seed, int count) {
        SetRandomSeed(seed);
        std::vector<double> values;
        for (int k = 0; k < count; ++k) values.push_back(Rand());
        SetRandomSeed(seed);
        return values;
    }
    static void ExpectDraws(const StochasticParameter& p, const std::vector<double>& stream,
                            std::size_t from, double scale = 1.0) {
        for (std::size_t i = 0; i < p.SampleCount(); ++i)
            EXPECT_NEAR(p.SampleAt(i), stream[from + i] * scale, 1e-9)
                << p.Label() << " sample " << i;
    }
    Project project;
};

TEST_F(IterationInputs, Level1LeachateOrder) {
    // koc of every contaminant, then per source: foc, bulk density, then the
    // active entries' concentrations.
    SetIterationCount(3);
    for (StochasticParameter* p : {&project.contaminants[0].koc, &TheSource().foc,
                                   &TheSource().dryBulkDensity, &Entry().concentration}) {
        p->distribution.maxLimit = 0; // no upper limit, so r itself is a valid value
        SetInput(*p, "UNIFORM(0,32767)");
    }
    const int next = static_cast<int>(Stream(7, 13)[12]);
    const auto stream = Stream(7, 12);
    SampleIterationInputs(project);
    ExpectDraws(project.contaminants[0].koc, stream, 0);
    ExpectDraws(TheSource().foc, stream, 3);
    ExpectDraws(TheSource().dryBulkDensity, stream, 6);
    ExpectDraws(Entry().concentration, stream, 9);
    EXPECT_EQ(Rand(), next); // nothing else was drawn
}

TEST_F(IterationInputs, SoilEntryDrawsPorositiesPairwiseThenPartitioning) {
    SetIterationCount(2);
    Entry().measuredAs = SourceContaminant::measuredInSoil;
    for (StochasticParameter* p :
         {&TheSource().foc, &TheSource().dryBulkDensity, &Entry().concentration,
          &Entry().henrysLawConstant, &Entry().maximumSolubility, &Entry().partitionCoefficient}) {
        p->distribution.maxLimit = 0;
        SetInput(*p, "UNIFORM(0,32767)");
    }
    // Porosities of at most 0.5 each never need a re-draw.
    SetInput(TheSource().airFilledPorosity, "UNIFORM(0,0.5)");
    SetInput(TheSource().waterFilledPorosity, "UNIFORM(0,0.5)");
    const auto stream = Stream(11, 20);
    SampleIterationInputs(project);
    ExpectDraws(TheSource().foc, stream, 0);
    ExpectDraws(TheSource().dryBulkDensity, stream, 2);
    const double half = 0.5 / 32767.0;
    // air[0], water[0], air[1], water[1]
    EXPECT_NEAR(TheSource().airFilledPorosity.SampleAt(0), stream[4] * half, 1e-12);
    EXPECT_NEAR(TheSource().waterFilledPorosity.SampleAt(0), stream[5] * half, 1e-12);
    EXPECT_NEAR(TheSource().airFilledPorosity.SampleAt(1), stream[6] * half, 1e-12);
    EXPECT_NEAR(TheSource().waterFilledPorosity.SampleAt(1), stream[7] * half, 1e-12);
    ExpectDraws(Entry().concentration, stream, 8);
    ExpectDraws(Entry().henrysLawConstant, stream, 10); // benzene obeys Henry's law
    ExpectDraws(Entry().maximumSolubility, stream, 12);
    ExpectDraws(Entry().partitionCoefficient, stream, 14);
}

TEST_F(IterationInputs, InorganicEntryHasNoAirPhaseAndKdFromKocIsOnlySized) {
    project.contaminants[0].henryFlag = false;
    SetIterationCount(2);
    Entry().measuredAs = SourceContaminant::measuredInSoil;
    Entry().partitionFromKoc = 1;
    for (StochasticParameter* p :
         {&TheSource().airFilledPorosity, &TheSource().waterFilledPorosity,
          &Entry().henrysLawConstant, &Entry().maximumSolubility, &Entry().partitionCoefficient})
        SetInput(*p, "0.2");
    SampleIterationInputs(project);
    EXPECT_EQ(Entry().henrysLawConstant.Samples(), (std::vector<double>{0, 0}));
    EXPECT_EQ(Entry().partitionCoefficient.Samples(), (std::vector<double>{0, 0}));
    EXPECT_EQ(Entry().maximumSolubility.Samples(), (std::vector<double>{0.2, 0.2}));
}

TEST_F(IterationInputs, PorosityRedrawsUpToAThousand) {
    SetIterationCount(1);
    Entry().measuredAs = SourceContaminant::measuredInSoil;
    SetInput(TheSource().airFilledPorosity, "UNIFORM(0,1)");
    SetInput(TheSource().waterFilledPorosity, "0.5");
    // The first draw and 999 re-draws give air 1.0 (sum 1.5); the 1000th
    // re-draw gives 0: accepted.
    std::vector<int> script(1000, 32767);
    script.push_back(0);
    {
        test::ScriptedRandomSource source(script);
        EXPECT_NO_THROW(SampleIterationInputs(project));
        EXPECT_EQ(TheSource().airFilledPorosity.SampleAt(0), 0.0);
    }
    // One more failing draw: the 1001st re-draw would be needed.
    test::ScriptedRandomSource always{32767};
    try {
        SampleIterationInputs(project);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Source Tank Porosities out of range");
        EXPECT_TRUE(e.Display());
    }
    EXPECT_EQ(always.Consumed(), 1001u);
}

TEST_F(IterationInputs, BulkDensityAboveParticleDensityAndSaturation) {
    SetIterationCount(1);
    Entry().measuredAs = SourceContaminant::measuredInSoil;
    TheSource().calculatePorosities = true;
    SetInput(TheSource().dryBulkDensity, "UNIFORM(1,3)");
    SetInput(TheSource().particleDensity, "2.65");
    SetInput(TheSource().moistureContent, "10");
    {
        test::ScriptedRandomSource always{32767}; // bulk density 3 every time
        try {
            SampleIterationInputs(project);
            FAIL() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Source Tank Bulk Density > Particle Density");
        }
    }
    // Equal densities leave no pore space: moisture cannot fit.
    SetInput(TheSource().dryBulkDensity, "2.65");
    try {
        SampleIterationInputs(project);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Source Tank Saturation > 100%");
    }
    SetInput(TheSource().moistureContent, "0");
    EXPECT_NO_THROW(SampleIterationInputs(project));
    // rho_b 1.7, rho_s 2.65: n = 0.3585, saturation = 2.65 / (2.65/1.7 - 1) * w
    // = 4.742 w; w = 21 gives 99.6 %, w = 21.2 gives 100.5 %.
    SetInput(TheSource().dryBulkDensity, "1.7");
    SetInput(TheSource().moistureContent, "21");
    EXPECT_NO_THROW(SampleIterationInputs(project));
    SetInput(TheSource().moistureContent, "21.2");
    EXPECT_THROW(SampleIterationInputs(project), Exception);
}

TEST_F(IterationInputs, NothingIsDrawnForNoIterations) {
    SetIterationCount(0);
    Entry().measuredAs = SourceContaminant::measuredInSoil;
    SetInput(TheSource().airFilledPorosity, "0.8");
    SetInput(TheSource().waterFilledPorosity, "0.8");
    test::ScriptedRandomSource source{5};
    EXPECT_NO_THROW(SampleIterationInputs(project));
    EXPECT_EQ(source.Consumed(), 0u);
}

class Level2Inputs : public IterationInputs {
protected:
    void SetUp() override {
        IterationInputs::SetUp();
        project.simulationLevel = 2;
        project.aquifer.dilutionFlag = 0;
        project.AddPathway(0);
        Source& s = TheSource();
        for (StochasticParameter* p : s.AllParameters()) SetInput(*p, "0.25");
        SetInput(s.pathways[0].thickness, "2");
        SetInput(s.pathways[1].thickness, "UNIFORM(2,4)");
    }
};

TEST_F(Level2Inputs, LayersAreScaledToTheOverallThickness) {
    SetIterationCount(2);
    SetInput(TheSource().overallUnsaturatedZoneThickness, "5");
    // Layer 2 draws 3 (r = 16383.5 is not possible; use the script) in both
    // iterations: sum 5, ratio 1, nothing out of range.
    test::ScriptedRandomSource source{16384};
    SampleIterationInputs(project);
    const double second = 2 + 2 * (16384 / 32767.0);
    const double ratio = 5 / (2 + second);
    EXPECT_NEAR(TheSource().pathways[0].thickness.SampleAt(0), 2 * ratio, 1e-12);
    EXPECT_NEAR(TheSource().pathways[1].thickness.SampleAt(1), second * ratio, 1e-12);
    // Layer 1 (a single value of 2) is scaled by 0.99999 and leaves its range.
    EXPECT_EQ(project.thicknessOutOfRangeCount[0], 2);
    SetInput(TheSource().overallUnsaturatedZoneThickness, "UNIFORM(4,6)");
    project.thicknessOutOfRangeCount[0] = 0;
    project.plume.active = true; // central values; nothing counted
    SampleIterationInputs(project);
    EXPECT_NEAR(TheSource().pathways[0].thickness.SampleAt(0), 2 * 5.0 / 5.0, 1e-12);
    EXPECT_EQ(project.thicknessOutOfRangeCount[0], 0);
}

TEST_F(Level2Inputs, ZeroLayerThicknessesAreAnInputError) {
    SetIterationCount(1);
    SetInput(TheSource().pathways[0].thickness, "0");
    SetInput(TheSource().pathways[1].thickness, "0");
    EXPECT_THROW(SampleIterationInputs(project), Exception);
}

TEST_F(Level2Inputs, SoakawayAreasAndPathwayPorosityRedraws) {
    SetIterationCount(2);
    Source& s = TheSource();
    s.soakaway = 1;
    s.vertices = {{0, 0}, {0, 10}, {10.7, 10}, {10.7, 0}}; // clockwise, 107 m²
    SampleIterationInputs(project);
    EXPECT_EQ(s.sourceArea.Samples(), (std::vector<double>{107, 107}));
    EXPECT_EQ(s.baseArea.Samples(), (std::vector<double>{107, 107}));
    EXPECT_EQ(s.infiltration.Samples(), (std::vector<double>{0, 0})); // derived per iteration later
    SetInput(s.pathways[0].waterFilledPorosity, "0.4");
    SetInput(s.pathways[0].saturatedEffectivePorosity, "0.3");
    try {
        SampleIterationInputs(project);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unsaturated Pathway Unsaturated Pathway 1 Porosities out of range");
    }
}

TEST_F(IterationInputs, GeometryInTheAquiferFrame) {
    SetIterationCount(1);
    Source& s = TheSource();
    s.vertices = {{0, 0}, {20, 0}, {20, 10}, {0, 10}};
    s.centre = {5, 5};
    project.aquifer.flowDirection = 90; // the frame is the plan
    SampleIterationInputs(project);
    EXPECT_NEAR(s.extentX, 20, 1e-9);
    EXPECT_NEAR(s.extentY, 10, 1e-9);
    EXPECT_NEAR(s.signedArea, 200, 1e-9);
    EXPECT_NEAR(s.centroid.rotatedX, 10, 1e-9);
    EXPECT_NEAR(s.centroid.rotatedY, 5, 1e-9);
    project.aquifer.flowDirection = 0; // flow north: x' = y, y' = -x
    SampleIterationInputs(project);
    EXPECT_NEAR(s.extentX, 10, 1e-8);
    EXPECT_NEAR(s.extentY, 20, 1e-8);
    EXPECT_NEAR(s.centroid.rotatedX, 5, 1e-8);
    EXPECT_NEAR(s.centroid.rotatedY, -10, 1e-8);
    EXPECT_NEAR(s.centre.rotatedX, 5, 1e-8);
    EXPECT_NEAR(s.centre.rotatedY, -5, 1e-8);
}

TEST_F(IterationInputs, CentresByOption) {
    project.simulationLevel = 2; // dilution on: centres are chosen
    Source& s = TheSource();
    for (StochasticParameter* p : s.AllParameters()) SetInput(*p, "0.25");
    SetInput(s.overallUnsaturatedZoneThickness, "0.25");
    project.aquifer.flowDirection = 90;
    s.vertices = {{0, 0}, {10, 0}, {0, 10}}; // triangle, centroid (3.33, 3.33)
    s.centre = {1, 2};
    SetIterationCount(50);
    s.centreDefinition = Source::randomCentre;
    SampleIterationInputs(project);
    for (const PlanPoint& c : s.centres) {
        EXPECT_GE(c.rotatedX, 0);
        EXPECT_GE(c.rotatedY, 0);
        EXPECT_LE(c.rotatedX + c.rotatedY, 10 + 1e-9);
    }
    s.centreDefinition = Source::userDefinedCentre;
    SampleIterationInputs(project);
    EXPECT_NEAR(s.centres[49].rotatedX, 1, 1e-9);
    EXPECT_NEAR(s.centres[49].rotatedY, 2, 1e-9);
    s.centreDefinition = Source::calculatedCentre;
    SampleIterationInputs(project);
    EXPECT_NEAR(s.centres[0].rotatedX, 10.0 / 3, 1e-9);
}

TEST(RandomCentre, FallsBackToAPointInsideThePolygon) {
    test::ResetProgramState();
    Source s;
    // Triangle: the box corner (10, 10) reached by r = 32767 is outside.
    s.vertices = {{0, 0, 0, 0}, {10, 0, 10, 0}, {0, 10, 0, 10}};
    s.centroid.rotatedX = s.centroid.rotatedY = 10.0 / 3;
    {
        test::ScriptedRandomSource always{32767};
        const PlanPoint p = RandomPointInSource(s);
        EXPECT_EQ(always.Consumed(), 2000u);
        EXPECT_NEAR(p.rotatedX, 10.0 / 3, 1e-12);
        EXPECT_NEAR(p.rotatedY, 10.0 / 3, 1e-12);
    }
    // A "C" whose centroid lies in its opening: the fallback moves across
    // the flow to the first stretch inside.
    s.vertices.clear();
    for (auto [x, y] : std::vector<std::pair<double, double>>{
             {0, 0}, {10, 0}, {10, 2}, {2, 2}, {2, 8}, {10, 8}, {10, 10}, {0, 10}})
        s.vertices.push_back({x, y, x, y});
    s.centroid.rotatedX = 4;
    s.centroid.rotatedY = 5;
    // Every candidate is (5.0002, 5.0002), in the opening of the C.
    test::ScriptedRandomSource always{16384};
    const PlanPoint p = RandomPointInSource(s);
    EXPECT_NEAR(p.rotatedX, 4, 1e-12);
    EXPECT_NEAR(p.rotatedY, 1, 1e-12); // middle of the stretch 0..2
}

TEST_F(IterationInputs, Level3aSamplesOnlyConcentrations) {
    project.simulationLevel = 4;
    Receptor well;
    well.name = "Well";
    std::string error;
    project.AddReceptor(well, error);
    SetIterationCount(2);
    for (StochasticParameter* p : TheSource().AllParameters()) SetInput(*p, "0.25");
    SampleIterationInputs(project);
    EXPECT_EQ(Entry().concentration.SampleCount(), 2u);
    EXPECT_EQ(TheSource().foc.SampleCount(), 0u);
    EXPECT_EQ(TheSource().pathways[0].thickness.SampleCount(), 0u);
    EXPECT_EQ(TheSource().infiltration.SampleCount(), 0u);
    project.aquifer.calculateMixingZone = 1;
    SampleIterationInputs(project);
    EXPECT_EQ(TheSource().infiltration.SampleCount(), 2u);
}

} // namespace
} // namespace varnex
