// The mixing zone beneath a source and the dilution of the water leaving the
// unsaturated zone in it, through the whole run. Expected numbers come from
// tests/reference/transport_chains.py (the case named beside each).

#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

#include "model/Project.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"
#include "transport/TransportRunSupport.h"

namespace varnex {
namespace {

using test::AllMatchReference;
using test::LoadTransportFixture;
using test::MatchesReference;
using test::RecordOf;
using test::RunProject;
using test::SetInput;

class MixingZone : public test::ProgramStateTest {};

// level2-porous.json: a 20 m (along the flow) x 10 m source over one porous
// layer whose base concentrations are those of transport_chains.py case
// porous_level2 (0, 6.9336, 9.2468, 9.2642 mg/l); infiltrated water
// q A = 0.3 x 200 = 60 m³/year.
struct MixingCase {
    const char* name;
    std::function<void(Project&)> change;
    double depth, width, flow;
    std::array<double, 4> diluted;
};

void PrintTo(const MixingCase& c, std::ostream* os) { *os << c.name; }

class MixingZoneDepth : public MixingZone, public ::testing::WithParamInterface<MixingCase> {};

TEST_P(MixingZoneDepth, DilutesTheBaseConcentration) {
    const MixingCase& c = GetParam();
    Project project = LoadTransportFixture("level2-porous.json");
    c.change(project);
    const test::RunResult run = RunProject(project);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(MatchesReference(project.aquifer.mixingZoneThickness.SampleAt(i), c.depth))
            << i;
        EXPECT_TRUE(MatchesReference(project.aquifer.effectiveWidths.at(0).at(i), c.width)) << i;
    }
    EXPECT_TRUE(AllMatchReference(project.aquifer.mixingZoneCrossSection, c.depth * c.width));
    EXPECT_TRUE(AllMatchReference(project.sources[0].mixingZoneFlow, c.flow));
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_TRUE(
            AllMatchReference(RecordOf(project, 0, 0).dilutedConcentrations.at(k), c.diluted[k]))
            << k;
}

INSTANTIATE_TEST_SUITE_P(
    Level2, MixingZoneDepth,
    ::testing::Values(
        // transport_chains.py case porous_level2: Z = 2 m sampled, Qmz = 1e-4
        // x 0.01 x 2 x 10 x 31,557,600 = 631.152 m³/year; C x 60 / 691.152.
        MixingCase{"sampled",
                   [](Project&) {},
                   2.0,
                   10.0,
                   631.152,
                   {0.0, 0.601918483079524, 0.802728949778564, 0.804235850659736}},
        // transport_chains.py case porous_level2_thick_mixing_zone: a sampled
        // 15 m in the 10 m aquifer is used as drawn at Level 2.
        MixingCase{"sampled_thicker_than_aquifer",
                   [](Project& p) { SetInput(p.aquifer.mixingZoneThickness, "SINGLE(15)"); },
                   15.0,
                   10.0,
                   4733.64,
                   {0.0, 0.0867852328120967, 0.115738294719118, 0.115955561255158}},
        // transport_chains.py case porous_level2_calculated_mixing_zone:
        // sqrt(0.0112) x 20 + 10 (1 - exp(-20 x 0.3 / (1e-4 x 0.01 x 10 x
        // 31,557,600))) = 2.3049 m; the length along the flow (20 m), not the
        // width, enters.
        MixingCase{"calculated",
                   [](Project& p) { p.aquifer.calculateMixingZone = 1; },
                   2.30493353353945,
                   10.0,
                   727.381704780245,
                   {0.0, 0.528355130544325, 0.704623584379826, 0.705946319657393}},
        // transport_chains.py case porous_level2_calculated_mixing_zone_capped:
        // in a 2 m aquifer with Ka = 1e-7, i = 1e-3 the calculated depth
        // (4.1 m) is cut to the aquifer thickness.
        MixingCase{"calculated_cut_to_aquifer",
                   [](Project& p) {
                       p.aquifer.calculateMixingZone = 1;
                       SetInput(p.aquifer.thickness, "SINGLE(2)");
                       SetInput(p.aquifer.hydraulicConductivity, "SINGLE(1e-07)");
                       SetInput(p.aquifer.hydraulicGradient, "SINGLE(0.001)");
                   },
                   2.0,
                   10.0,
                   0.0631152,
                   {0.0, 6.92633344161575, 9.23707865051519, 9.25441870279778}}),
    [](const ::testing::TestParamInfo<MixingCase>& info) { return std::string(info.param.name); });

TEST_F(MixingZone, SampledDepthIsCutToTheAquiferAtLevel3) {
    // level3-receptors.json with a sampled 15 m mixing zone in the 10 m
    // aquifer: 10 m, Qmz = 1e-4 x 0.005 x 10 x 10 x 31,557,600 = 1577.88.
    Project project = LoadTransportFixture("level3-receptors.json");
    SetInput(project.aquifer.mixingZoneThickness, "SINGLE(15)");
    ASSERT_TRUE(RunProject(project).succeeded);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(project.aquifer.mixingZoneThickness.SampleAt(i), 10.0);
    EXPECT_TRUE(AllMatchReference(project.sources[0].mixingZoneFlow, 1577.88));
    EXPECT_TRUE(AllMatchReference(project.aquifer.mixingZoneCrossSection, 100.0));
}

TEST_F(MixingZone, NoInfiltrationAndNoAquiferFlowDiluteToZero) {
    Project project = LoadTransportFixture("level2-porous.json");
    SetInput(project.sources[0].infiltration, "SINGLE(0)");
    SetInput(project.aquifer.hydraulicConductivity, "SINGLE(0)");
    ASSERT_TRUE(RunProject(project).succeeded);
    EXPECT_TRUE(AllMatchReference(project.sources[0].mixingZoneFlow, 0.0));
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_TRUE(AllMatchReference(RecordOf(project, 0, 0).dilutedConcentrations[k], 0.0));
    EXPECT_TRUE(test::NoNonFiniteValue(project));
}

// A calculated mixing zone divides by the aquifer flow Ka x i x H: each zero
// factor ends the run with a message naming the source and the input.
struct ZeroFlowCase {
    const char* name;
    const char* key; // aquifer input set to 0
    const char* message;
};

void PrintTo(const ZeroFlowCase& c, std::ostream* os) { *os << c.name; }

class MixingZoneZeroFlow : public MixingZone, public ::testing::WithParamInterface<ZeroFlowCase> {};

TEST_P(MixingZoneZeroFlow, EndsTheRunNamingTheInput) {
    const ZeroFlowCase& c = GetParam();
    Project project = LoadTransportFixture("level3-receptors.json");
    project.aquifer.calculateMixingZone = 1;
    const std::string key = c.key;
    SetInput(key == "hydraulicGradient" ? project.aquifer.hydraulicGradient
                                        : project.aquifer.hydraulicConductivity,
             "SINGLE(0)");
    const test::RunResult run = RunProject(project);
    EXPECT_FALSE(run.succeeded);
    ASSERT_EQ(run.failures.size(), 1u);
    EXPECT_EQ(run.failures[0], c.message);
    EXPECT_FALSE(project.resultsValid);
}

INSTANTIATE_TEST_SUITE_P(
    Level3, MixingZoneZeroFlow,
    ::testing::Values(
        ZeroFlowCase{
            "gradient", "hydraulicGradient",
            "Source Tank: the mixing zone cannot be calculated because Hydraulic Gradient is 0"},
        ZeroFlowCase{"conductivity", "hydraulicConductivity",
                     "Source Tank: the mixing zone cannot be calculated because Hydraulic "
                     "Conductivity [m/s] is 0"}),
    [](const ::testing::TestParamInfo<ZeroFlowCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(MixingZone, Level3aSetsWidthAndFlowButDilutesNothing) {
    // level3a.json: W = 10 m across the flow, Qmz = 1e-4 x 0.005 x 2 x 10 x
    // 31,557,600 = 315.576 m³/year (transport_chains.py case level3a).
    Project project = LoadTransportFixture("level3a.json");
    ASSERT_TRUE(RunProject(project).succeeded);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(project.aquifer.effectiveWidths.at(0).at(i), 10.0);
    EXPECT_TRUE(AllMatchReference(project.sources[0].mixingZoneFlow, 315.576));
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_TRUE(AllMatchReference(RecordOf(project, 0, 0).dilutedConcentrations.at(k), 0.0))
            << k;
}

} // namespace
} // namespace varnex
