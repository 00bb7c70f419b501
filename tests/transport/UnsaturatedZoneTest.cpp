// The unsaturated zone through the whole run: travel times, retardation,
// the layer-by-layer concentrations at the base of each layer, soakaways,
// dual porosity and the zero-divisor rules. Every expected number is printed
// by tests/reference/transport_chains.py (Ogata-Banks closed form, worked
// independently of the engine) under the case named beside it.

#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <iomanip>
#include <ostream>
#include <string>
#include <vector>

#include "model/Project.h"
#include "stochastic/IterationCount.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"
#include "transport/TransportRunSupport.h"
#include "transport/UnsaturatedZone.h"

namespace varnex {
namespace {

using test::AllMatchReference;
using test::LoadTransportFixture;
using test::RecordOf;
using test::RunProject;
using test::SetInput;

class UnsaturatedZone : public test::ProgramStateTest {};

// One layer's results after the run (travel times are cumulative down the
// layers by then).
struct LayerExpectation {
    double travelTime;
    double retardedTravelTime;
    double retardation;
    double velocity; // pore-water velocity, m/year
    std::array<double, 4> concentrations;
    std::array<double, 4> diluted;
};

void ExpectLayer(Project& project, std::size_t pathway, const LayerExpectation& expected) {
    SCOPED_TRACE("pathway " + std::to_string(pathway));
    PathwayContaminant& record = RecordOf(project, 0, pathway);
    EXPECT_TRUE(AllMatchReference(record.unretardedTravelTime, expected.travelTime));
    EXPECT_TRUE(AllMatchReference(record.retardedTravelTime, expected.retardedTravelTime));
    EXPECT_TRUE(AllMatchReference(record.retardation, expected.retardation));
    EXPECT_TRUE(AllMatchReference(record.retardedVelocity, expected.velocity));
    for (std::size_t k = 0; k < 4; ++k) {
        SCOPED_TRACE("time slice " + std::to_string(k));
        EXPECT_TRUE(AllMatchReference(record.concentrations.at(k), expected.concentrations[k]));
        EXPECT_TRUE(AllMatchReference(record.dilutedConcentrations.at(k), expected.diluted[k]));
    }
}

// ---------------------------------------------------------------------------
// One porous layer at Level 2 (tests/transport/data/level2-porous.json):
// q = 0.3 m/year, L = 5 m, alpha = 0.5 m, theta_w = 0.2, Kd = 0.5 ml/g,
// rho_b = 1.6, so travel time (5 - 0.5) x 0.2 / 0.3 = 3 years, R = 1 + 1.6 /
// 0.2 x 0.5 = 5, retarded 15 years; half-life 30 years of the dissolved
// phase. Time slices 10, 20, 50, 100 years. Mixing zone 2 m, Ka i = 1e-6.

struct PorousCase {
    const char* name;
    std::function<void(Project&)> change;
    LayerExpectation layer;
    double leachMass; // kg/year
};

void PrintTo(const PorousCase& c, std::ostream* os) { *os << c.name; }

class PorousLayer : public UnsaturatedZone, public ::testing::WithParamInterface<PorousCase> {};

TEST_P(PorousLayer, MatchesTheClosedFormChain) {
    const PorousCase& c = GetParam();
    Project project = LoadTransportFixture("level2-porous.json");
    c.change(project);
    const test::RunResult run = RunProject(project);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    ExpectLayer(project, 0, c.layer);
    EXPECT_TRUE(AllMatchReference(project.sources[0].inventory[0].leachMass, c.leachMass));
    // rho_b x 1000 x thickness x area = 1.7 x 1000 x 1 x 200 kg.
    EXPECT_TRUE(AllMatchReference(project.sources[0].soilMass, 340000.0));
    EXPECT_TRUE(test::NoNonFiniteValue(project));
}

INSTANTIATE_TEST_SUITE_P(
    Level2, PorousLayer,
    ::testing::Values(
        // transport_chains.py case porous_level2: nothing at 10 years, since
        // the leachate needs 15 retarded years to enter the base solution.
        PorousCase{"porous_level2",
                   [](Project&) {},
                   {3.0,
                    15.0,
                    5.0,
                    1.5,
                    {0.0, 6.93361939028966, 9.24679531828924, 9.26415361091963},
                    {0.0, 0.601918483079524, 0.802728949778564, 0.804235850659736}},
                   0.6},
        // transport_chains.py case porous_level2_unretarded: R = 1, the
        // partition coefficient (to be computed from koc) is left alone.
        PorousCase{"unretarded",
                   [](Project& p) {
                       p.processes.retardedTravelUz = false;
                       RecordOf(p, 0, 0).partitionFromKoc = 1;
                   },
                   {3.0,
                    3.0,
                    1.0,
                    1.5,
                    {9.24679531828924, 9.26415361091963, 9.26415777255299, 9.26415777255299},
                    {0.802728949778564, 0.804235850659736, 0.804236211937721, 0.804236211937721}},
                   0.6},
        // transport_chains.py case porous_level2_time_offset: the source
        // starts at 15 years; at 20 years the water at the base left the
        // source at 5 years, before it started. Leach mass of the first
        // slice (10 years, before the start) is 0.
        PorousCase{"time_offset",
                   [](Project& p) { p.sources[0].timeOffset = 15.0; },
                   {3.0,
                    15.0,
                    5.0,
                    1.5,
                    {0.0, 0.0, 9.05045298347309, 9.26410790914231},
                    {0.0, 0.0, 0.785684160659862, 0.804231883216049}},
                   0.0},
        // transport_chains.py case thin_pathway: 0.4 m thinner than its 0.5 m
        // dispersivity: travel time 0, but the solution spreads over 0.4 m.
        PorousCase{"thin_pathway",
                   [](Project& p) {
                       SetInput(p.sources[0].pathways[0].thickness, "SINGLE(0.4)");
                       SetInput(p.sources[0].overallUnsaturatedZoneThickness, "SINGLE(0.4)");
                   },
                   {0.0,
                    0.0,
                    5.0,
                    1.5,
                    {9.83210630501149, 9.92898425386906, 9.9390113043234, 9.93904084124926},
                    {0.853540723749174, 0.86195085195752, 0.86282131609169, 0.862823880239015}},
                   0.6}),
    [](const ::testing::TestParamInfo<PorousCase>& info) { return std::string(info.param.name); });

TEST_F(UnsaturatedZone, RetardationOffLeavesThePartitionCoefficientUncomputed) {
    Project project = LoadTransportFixture("level2-porous.json");
    project.processes.retardedTravelUz = false;
    PathwayContaminant& record = RecordOf(project, 0, 0);
    record.partitionFromKoc = 1;
    ASSERT_TRUE(RunProject(project).succeeded);
    EXPECT_EQ(record.uzPartitionCoefficient.SampleCount(), 0u);
    EXPECT_TRUE(AllMatchReference(record.matrixRetardation, 1.0));
}

TEST_F(UnsaturatedZone, PartitionCoefficientFromKocWithRetardation) {
    // Kd = foc x koc x 0.01 = 0.5 x 60 x 0.01 = 0.3; R = 1 + 1.6 / 0.2 x 0.3.
    Project project = LoadTransportFixture("level2-porous.json");
    RecordOf(project, 0, 0).partitionFromKoc = 1;
    ASSERT_TRUE(RunProject(project).succeeded);
    PathwayContaminant& record = RecordOf(project, 0, 0);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_DOUBLE_EQ(record.uzPartitionCoefficient.SampleAt(i), 0.3);
    EXPECT_TRUE(AllMatchReference(record.retardation, 3.4));
    EXPECT_TRUE(AllMatchReference(record.retardedTravelTime, 3.0 * 3.4));
}

// ---------------------------------------------------------------------------
// One dual porosity layer (level2-dual.json): L = 6 m, alpha = 0.6 m,
// theta_m = 0.1, theta_f = 0.01, Kd = 0.5, rho_b = 1.6; q = 0.3 m/year;
// slices 10, 100, 200, 500 years.

struct DualCase {
    const char* name;
    std::function<void(Project&)> change;
    bool fissures;
    double travelTime, matrixTravelTime, retardedTravelTime, matrixRetardedTravelTime;
    double retardation, matrixRetardation;
    double fissureVelocity, matrixVelocity, fissureFlow, matrixFlow;
    std::array<double, 4> concentrations, matrixConcentrations, diluted;
};

void PrintTo(const DualCase& c, std::ostream* os) { *os << c.name; }

class DualPorosity : public UnsaturatedZone, public ::testing::WithParamInterface<DualCase> {};

TEST_P(DualPorosity, MatchesTheClosedFormChain) {
    const DualCase& c = GetParam();
    Project project = LoadTransportFixture("level2-dual.json");
    c.change(project);
    const test::RunResult run = RunProject(project);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    const UnsaturatedPathway& pathway = project.sources[0].pathways[0];
    PathwayContaminant& record = RecordOf(project, 0, 0);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(pathway.fissureFlowing.at(i) != 0, c.fissures) << i;
    EXPECT_TRUE(AllMatchReference(record.unretardedTravelTime, c.travelTime));
    EXPECT_TRUE(AllMatchReference(record.matrixUnretardedTravelTime, c.matrixTravelTime));
    EXPECT_TRUE(AllMatchReference(record.retardedTravelTime, c.retardedTravelTime));
    EXPECT_TRUE(AllMatchReference(record.matrixRetardedTravelTime, c.matrixRetardedTravelTime));
    EXPECT_TRUE(AllMatchReference(record.retardation, c.retardation));
    EXPECT_TRUE(AllMatchReference(record.matrixRetardation, c.matrixRetardation));
    if (c.fissures) {
        EXPECT_TRUE(AllMatchReference(pathway.fissureVelocity, c.fissureVelocity));
        EXPECT_TRUE(AllMatchReference(pathway.matrixVelocity, c.matrixVelocity));
        EXPECT_TRUE(AllMatchReference(pathway.fissureFlow, c.fissureFlow));
        EXPECT_TRUE(AllMatchReference(pathway.matrixFlow, c.matrixFlow));
        EXPECT_TRUE(AllMatchReference(record.retardedVelocity, c.fissureVelocity));
        EXPECT_TRUE(AllMatchReference(record.retardedMatrixVelocity, c.matrixVelocity));
    } else {
        // The fissures stay dry: the layer is a porous medium of the matrix
        // porosity, which the fissure porosity of the iteration takes.
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_EQ(pathway.effectiveFissurePorosity.SampleAt(i), 0.1);
        EXPECT_TRUE(AllMatchReference(record.retardedVelocity, c.fissureVelocity));
    }
    for (std::size_t k = 0; k < 4; ++k) {
        SCOPED_TRACE("time slice " + std::to_string(k));
        EXPECT_TRUE(AllMatchReference(record.concentrations.at(k), c.concentrations[k]));
        EXPECT_TRUE(
            AllMatchReference(record.matrixConcentrations.at(k), c.matrixConcentrations[k]));
        EXPECT_TRUE(AllMatchReference(record.dilutedConcentrations.at(k), c.diluted[k]));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Level2, DualPorosity,
    ::testing::Values(
        // transport_chains.py case dual_matrix_only: Km = 1e-7 m/s carries
        // 3.156 m/year > q: travel (6 - 0.6) x 0.1 / 0.3 = 1.8 years, R = 9,
        // velocity q / theta_m = 3 m/year.
        DualCase{"matrix_only",
                 [](Project&) {},
                 false,
                 1.8,
                 0.0,
                 16.2,
                 0.0,
                 9.0,
                 1.0,
                 3.0,
                 0.0,
                 0.0,
                 0.0,
                 {0.0, 9.55041958858965, 9.55043657712712, 9.55043657713268},
                 {0.0, 0.0, 0.0, 0.0},
                 {0.0, 0.829087053666023, 0.829088528467873, 0.829088528468355}},
        // transport_chains.py case dual_fissure: Km = 1e-9 m/s; the matrix
        // takes 0.0316 m/year, the rest runs down the fissures.
        DualCase{"fissures",
                 [](Project& p) {
                     SetInput(p.sources[0].pathways[0].matrixConductivity, "SINGLE(1e-09)");
                 },
                 true,
                 0.223249188332926,
                 17.1115674195756,
                 0.223249188332926,
                 154.004106776181,
                 1.0,
                 9.0,
                 26.8757976,
                 0.315576,
                 53.7515952,
                 6.2484048,
                 {10.0, 10.0, 10.0, 10.0},
                 {2.84139642745659e-17, 1.22802809301857, 5.11659711845873, 6.55385484032027},
                 {0.777710188207514, 0.788812256393604, 0.823967118657898, 0.836960740969802}},
        // transport_chains.py case dual_fissure_no_biodegradation: without
        // decay the matrix solution is not computed (0).
        DualCase{"fissures_no_biodegradation",
                 [](Project& p) {
                     SetInput(p.sources[0].pathways[0].matrixConductivity, "SINGLE(1e-09)");
                     p.processes.biodegradationUz = false;
                 },
                 true,
                 0.223249188332926,
                 17.1115674195756,
                 0.223249188332926,
                 154.004106776181,
                 1.0,
                 9.0,
                 26.8757976,
                 0.315576,
                 53.7515952,
                 6.2484048,
                 {10.0, 10.0, 10.0, 10.0},
                 {0.0, 0.0, 0.0, 0.0},
                 {0.777710188207514, 0.777710188207514, 0.777710188207514, 0.777710188207514}},
        // transport_chains.py case dual_fissure_equal: Km x 31,557,600 =
        // 0.315576 m/year = the infiltration (315.576 mm/yr) exactly: fissure
        // flow, fissure velocity = q, matrix flow (1 - 0.01) x 200 x q. The
        // fissure solution keeps R = 1 with biodegradation on (with Rm = 9
        // the front would arrive only after 171 years, not by 100).
        DualCase{"matrix_rate_equals_infiltration",
                 [](Project& p) {
                     SetInput(p.sources[0].pathways[0].matrixConductivity, "SINGLE(1e-08)");
                     SetInput(p.sources[0].infiltration, "SINGLE(315.576)");
                 },
                 true,
                 19.0128526884173,
                 1.71115674195756,
                 19.0128526884173,
                 15.4004106776181,
                 1.0,
                 9.0,
                 0.315576000000001,
                 3.15576,
                 0.631152,
                 62.484048,
                 {0.0, 9.99995048338222, 9.99999999995549, 10.0},
                 {0.0, 9.57204199601993, 9.5720498459171, 9.57204984591834},
                 {0.0, 0.870574643717596, 0.870575395223408, 0.870575395223559}}),
    [](const ::testing::TestParamInfo<DualCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Two porous layers (level2-two-layers.json): 3 m made ground (theta_w
// 0.25, R = 3.4, half-life 20 years of both phases) over 4 m sand (theta_w
// 0.15, R = 3.2667, half-life 40 years of the dissolved phase). Layer 2's
// inlet is layer 1's base one retarded travel time of layer 2 (5.88 years)
// earlier; each layer decays at its own rate.

struct TwoLayerCase {
    const char* name;
    std::function<void(Project&)> change;
    LayerExpectation top, bottom;
};

void PrintTo(const TwoLayerCase& c, std::ostream* os) { *os << c.name; }

class TwoLayers : public UnsaturatedZone, public ::testing::WithParamInterface<TwoLayerCase> {};

TEST_P(TwoLayers, MatchTheRecursiveClosedFormChain) {
    const TwoLayerCase& c = GetParam();
    Project project = LoadTransportFixture("level2-two-layers.json");
    c.change(project);
    const test::RunResult run = RunProject(project);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    ExpectLayer(project, 0, c.top);
    ExpectLayer(project, 1, c.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Level2, TwoLayers,
    ::testing::Values(
        // transport_chains.py case two_layers: the layers have different
        // half-lives, and the water leaving the made ground has decayed at
        // the made ground's rate before the sand decays it at its own.
        TwoLayerCase{"both_included",
                     [](Project&) {},
                     {2.25,
                      7.65,
                      3.4,
                      1.2,
                      {5.74705741157914, 7.50803446013225, 7.50973291758007, 7.50973296310685},
                      {0.498911158029997, 0.651784365245177, 0.651931811026813, 0.651931814979065}},
                     {4.05,
                      13.53,
                      3.26666666666667,
                      2.0,
                      {0.0, 7.24137464084127, 7.25478893905592, 7.25478927997518},
                      {0.0, 0.628635203906632, 0.629799720384742, 0.629799749980483}}},
        // transport_chains.py case two_layers_first_excluded: the made ground
        // passes the leachate (10 mg/l) unchanged and adds no travel time.
        TwoLayerCase{"first_excluded",
                     [](Project& p) { p.sources[0].pathways[0].include = false; },
                     {0.0,
                      0.0,
                      3.4,
                      1.2,
                      {10.0, 10.0, 10.0, 10.0},
                      {0.868115841377873, 0.868115841377873, 0.868115841377873, 0.868115841377873}},
                     {1.8,
                      5.88,
                      3.26666666666667,
                      2.0,
                      {8.57441947937396, 9.66026394523762, 9.66051564658979, 9.66051564764801},
                      {0.744358938066355, 0.838622816275229, 0.83864466686834, 0.838644666960206}}},
        // transport_chains.py case two_layers_second_excluded (no decay): the
        // sand passes the made ground's base concentration unchanged.
        TwoLayerCase{
            "second_excluded",
            [](Project& p) {
                p.sources[0].pathways[1].include = false;
                p.processes.biodegradationUz = false;
            },
            {2.25,
             7.65,
             3.4,
             1.2,
             {7.21581232026986, 9.99467445008315, 9.99999959532245, 10.0},
             {0.626416098363589, 0.867653521953187, 0.868115806247174, 0.868115841377873}},
            {2.25,
             7.65,
             3.26666666666667,
             2.0,
             {7.21581232026986, 9.99467445008315, 9.99999959532245, 10.0},
             {0.626416098363589, 0.867653521953187, 0.868115806247174, 0.868115841377873}}},
        // transport_chains.py case two_layers_declining: factors 1, 0.6, 0.3,
        // 0.1 of the slices 10, 30, 60, 150 years, each taken at the slice
        // nearest to the time the water left the source. At 30 years the
        // sand's base carries water that left at 30 - 13.53 = 16.47 years:
        // factor 1 (slice 10), not 0.6 (slice 30).
        TwoLayerCase{
            "user_defined_decline",
            [](Project& p) {
                p.sources[0].decliningSource = Source::userDefinedDecline;
                p.sources[0].declineFactors = {1.0, 0.6, 0.3, 0.1};
            },
            {2.25,
             7.65,
             3.4,
             1.2,
             {5.74705741157914, 4.50482067607935, 2.25291987527402, 0.750973296310685},
             {0.498911158029997, 0.391070619147106, 0.195579543308044, 0.0651931814979066}},
            {4.05,
             13.53,
             3.26666666666667,
             2.0,
             {0.0, 7.24137464084127, 2.17643668171678, 0.725478927997518},
             {0.0, 0.628635203906632, 0.188939916115423, 0.0629799749980483}}}),
    [](const ::testing::TestParamInfo<TwoLayerCase>& info) {
        return std::string(info.param.name);
    });

// The layers of several entries go to the solver together (the transport
// asks for every entry of a source at once). Each request must give the
// bits a request of its own gives: the batch changes how many problems the
// solver takes, never a result. Times before the start, at it and after,
// through the fissured Chalk below the till.
TEST_F(UnsaturatedZone, RequestsOfSeveralEntriesGiveTheBitsOfEachAlone) {
    Project project = LoadTransportFixture("level3-threads.json");
    ASSERT_TRUE(RunProject(project, 1).succeeded);
    const std::size_t iterations = RecordOf(project, 0, 0).concentrations[0].Values().size();
    const double times[] = {-5.0, 0.0, 3.5, 20.0, 61.25, 400.0};
    std::size_t nonZero = 0;
    for (Source& source : project.sources) {
        for (std::size_t i = 0; i < iterations; ++i) {
            for (std::size_t p = 0; p < source.pathways.size(); ++p) {
                std::vector<LayerRequest> requests;
                for (SourceContaminant& entry : source.inventory)
                    if (project.EntryTakesPart(entry))
                        for (double t : times)
                            requests.push_back({&entry, t, 1e-10 * (1.0 + requests.size())});
                std::vector<LayerConcentrations> together(requests.size());
                ConcentrationsAtBase(project, source, requests.data(), requests.size(), i, p,
                                     together.data());
                for (std::size_t n = 0; n < requests.size(); ++n) {
                    LayerConcentrations alone;
                    ConcentrationsAtBase(project, source, *requests[n].entry,
                                         &requests[n].timeYears, 1, i, requests[n].decayPerS, p,
                                         &alone);
                    ASSERT_EQ(alone.concentration, together[n].concentration)
                        << "layer " << p << " request " << n;
                    ASSERT_EQ(alone.matrixConcentration, together[n].matrixConcentration)
                        << "layer " << p << " request " << n;
                    nonZero += alone.concentration != 0.0;
                }
            }
        }
    }
    EXPECT_GT(nonZero, 100u);
}

TEST_F(UnsaturatedZone, ExcludedLayerPassesItsInletBitForBit) {
    Project project = LoadTransportFixture("level2-two-layers.json");
    project.sources[0].pathways[1].include = false;
    project.processes.biodegradationUz = false;
    ASSERT_TRUE(RunProject(project).succeeded);
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(RecordOf(project, 0, 1).concentrations[k].Values(),
                  RecordOf(project, 0, 0).concentrations[k].Values());
}

// An excluded dual porosity layer that would run with fissure flow passes
// the leachate (10 mg/l) unchanged, and the whole infiltration carries it
// into the mixing zone: C q A / (q A + Qmz) with q A = 60 m3/year. Qmz
// follows from the fissure case above, whose diluted value 0.777710188207514
// is 53.7515952 x 10 / (q A + Qmz).
TEST_F(UnsaturatedZone, ExcludedDualPorosityLayerDilutesAllItsWater) {
    Project project = LoadTransportFixture("level2-dual.json");
    UnsaturatedPathway& chalk = project.sources[0].pathways[0];
    SetInput(chalk.matrixConductivity, "SINGLE(1e-09)");
    chalk.include = false;
    ASSERT_TRUE(RunProject(project).succeeded);
    const double totalFlow = 53.7515952 * 10.0 / 0.777710188207514;
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(RecordOf(project, 0, 0).concentrations[k].At(0), 10.0);
        EXPECT_NEAR(RecordOf(project, 0, 0).dilutedConcentrations[k].At(0), 10.0 * 60.0 / totalFlow,
                    1e-9);
    }
    EXPECT_EQ(RecordOf(project, 0, 0).unretardedTravelTime.At(0), 0.0);
}

// ---------------------------------------------------------------------------
// A soakaway (level2-soakaway.json): maximum rate 0.002 m/day, no drainage
// system, over 5 m of sand (theta_w 0.2, theta_s 0.25, K 1e-8 m/s, vertical
// gradient 1.5): q theta_w / theta_s x i = 1.2 q is not below q, so the sand
// stays unsaturated.

struct SoakawayCase {
    const char* name;
    std::function<void(Project&)> change;
    bool saturated;
    double infiltration, area, width, mixingFlow, waterFilled, leachMass;
    LayerExpectation layer;
};

void PrintTo(const SoakawayCase& c, std::ostream* os) { *os << c.name; }

class Soakaway : public UnsaturatedZone, public ::testing::WithParamInterface<SoakawayCase> {};

TEST_P(Soakaway, MatchesTheClosedFormChain) {
    const SoakawayCase& c = GetParam();
    Project project = LoadTransportFixture("level2-soakaway.json");
    c.change(project);
    const test::RunResult run = RunProject(project);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    Source& source = project.sources[0];
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE("iteration " + std::to_string(i));
        EXPECT_EQ(source.saturatedSoakaway.at(i) != 0, c.saturated);
        EXPECT_TRUE(test::MatchesReference(source.infiltration.SampleAt(i), c.infiltration));
        EXPECT_TRUE(test::MatchesReference(source.sourceArea.SampleAt(i), c.area));
        EXPECT_TRUE(test::MatchesReference(project.aquifer.effectiveWidths.at(0).at(i), c.width));
        EXPECT_TRUE(test::MatchesReference(source.pathways[0].waterFilledPorosity.SampleAt(i),
                                           c.waterFilled));
    }
    EXPECT_TRUE(AllMatchReference(source.mixingZoneFlow, c.mixingFlow));
    EXPECT_TRUE(AllMatchReference(source.inventory[0].leachMass, c.leachMass));
    // The soil mass is that of the source's own base: 1.7 x 1000 x 1 x 200.
    EXPECT_TRUE(AllMatchReference(source.soilMass, 340000.0));
    ExpectLayer(project, 0, c.layer);
}

INSTANTIATE_TEST_SUITE_P(
    Level2, Soakaway,
    ::testing::Values(
        // transport_chains.py case soakaway_unsaturated: q = 0.002 x 365.25
        // = 0.7305 m/year whatever the run-off recharge, and not cut to the
        // sand's conductivity (0.3156 m/year) beneath a soakaway.
        SoakawayCase{"no_drainage_system",
                     [](Project&) {},
                     false,
                     0.7305,
                     200.0,
                     10.0,
                     631.152,
                     0.2,
                     1.461,
                     {1.23203285420945,
                      6.16016427104723,
                      5.0,
                      3.6525,
                      {8.38236379502931, 9.66455591089382, 9.68962374489316, 9.68962390984801},
                      {1.57563229229874, 1.81664584791237, 1.82135784678443, 1.82135787779098}}},
        // transport_chains.py case soakaway_drainage: run-off 500 mm/yr over
        // a 100 m² catchment into 200 m²: 250 mm/yr, below the maximum rate.
        SoakawayCase{"drainage_system",
                     [](Project& p) { p.sources[0].drainageSystem = 1; },
                     false,
                     0.25,
                     200.0,
                     10.0,
                     631.152,
                     0.2,
                     0.5,
                     {3.6,
                      18.0,
                      5.0,
                      1.25,
                      {0.0, 5.48261878087466, 9.05759669968629, 9.12481458596086},
                      {0.0, 0.402451932966112, 0.664873383597662, 0.669807516234325}}},
        // transport_chains.py case soakaway_saturated: gradient 1: 0.8 q < q,
        // the sand saturates: q = 1e-8 x 1 x 31,557,600 = 0.315576 m/year over
        // 0.7305 x 200 / 0.315576 = 462.96 m², theta_w = theta_s = 0.25,
        // R = 1 + 1.6 / 0.25 x 0.5 = 4.2, width 10 x sqrt(462.96 / 200).
        SoakawayCase{"saturated",
                     [](Project& p) {
                         SetInput(p.sources[0].pathways[0].verticalHydraulicGradient, "SINGLE(1)");
                     },
                     true,
                     0.315576,
                     462.962962962963,
                     15.2145154862546,
                     960.267187818057,
                     0.25,
                     1.461,
                     {3.56490987907826,
                      14.9726214921287,
                      4.2,
                      1.262304,
                      {0.0, 6.86751174930488, 9.11666696960816, 9.1329479089875},
                      {0.0, 0.906881076753736, 1.20389058797611, 1.20604054801606}}}),
    [](const ::testing::TestParamInfo<SoakawayCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(UnsaturatedZone, SoakawayDecliningByLeachingUsesItsDerivedInfiltration) {
    // The soakaway's infiltration (0.002 m/day x 365.25) is derived before
    // the source term, so the leaching decline sees 0.7305 m/year, not the
    // unsampled 0: C0 exp(-0.7305 t / (1.7 x 5) / Kp), Kp = 1 + (0.3 x 0.1 +
    // 0.2) / 1.7. Each layer inlet is the leachate of one retarded travel
    // time (6.16 years) earlier.
    Project project = LoadTransportFixture("level2-soakaway.json");
    Source& source = project.sources[0];
    source.decliningSource = Source::leachingDecline;
    SetInput(source.thickness, "SINGLE(5)");
    SetInput(source.waterFilledPorosity, "SINGLE(0.2)");
    SetInput(source.airFilledPorosity, "SINGLE(0.1)");
    SetInput(source.foc, "SINGLE(1)");
    SourceContaminant& entry = source.inventory[0];
    SetInput(entry.henrysLawConstant, "SINGLE(0.3)");
    SetInput(entry.maximumSolubility, "SINGLE(1000)");
    SetInput(entry.partitionCoefficient, "SINGLE(1)");
    const test::RunResult run = RunProject(project);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    // transport_chains.py case soakaway_leaching.
    const std::array<double, 4> leachate = {4.69073963324685, 2.20030383069128, 0.227094510968592,
                                            0.00515719169120639};
    const std::array<double, 4> base = {6.26799405088071, 3.38988761744879, 0.350779571643027,
                                        0.00796601166361684};
    const std::array<double, 4> diluted = {1.1781943704663, 0.637196920573081, 0.0659360097073359,
                                           0.00149737061346181};
    for (std::size_t k = 0; k < 4; ++k) {
        SCOPED_TRACE("time slice " + std::to_string(k));
        EXPECT_TRUE(AllMatchReference(entry.sourceConcentrations.at(k), leachate[k]));
        EXPECT_TRUE(AllMatchReference(RecordOf(project, 0, 0).concentrations.at(k), base[k]));
        EXPECT_TRUE(
            AllMatchReference(RecordOf(project, 0, 0).dilutedConcentrations.at(k), diluted[k]));
    }
    EXPECT_TRUE(AllMatchReference(entry.leachMass, 0.685317060417366));
}

TEST_F(UnsaturatedZone, SaturatedSoakawayIsDecidedAfreshInEveryIteration) {
    // Gradient UNIFORM(1,2) fed the deviates 0 and 32767 in turn (it is the
    // only input that draws): iterations 0 and 2 run saturated (gradient 1),
    // 1 and 3 unsaturated (gradient 2). An unsaturated iteration after a
    // saturated one must not keep its widened width, enlarged area or
    // saturated water content.
    Project project = LoadTransportFixture("level2-soakaway.json");
    SetInput(project.sources[0].pathways[0].verticalHydraulicGradient, "UNIFORM(1,2)");
    SetIterationCount(4);
    test::ScriptedRandomSource script({0, 32767});
    ASSERT_TRUE(RunProject(project, 2).succeeded);
    EXPECT_EQ(script.Consumed(), 4u);
    Source& source = project.sources[0];
    PathwayContaminant& record = RecordOf(project, 0, 0);
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE("iteration " + std::to_string(i));
        const bool saturated = i % 2 == 0;
        EXPECT_EQ(source.saturatedSoakaway.at(i) != 0, saturated);
        // transport_chains.py cases soakaway_saturated and soakaway_iteration1.
        EXPECT_TRUE(test::MatchesReference(project.aquifer.effectiveWidths[0][i],
                                           saturated ? 15.2145154862546 : 10.0));
        EXPECT_TRUE(test::MatchesReference(source.mixingZoneFlow.At(i),
                                           saturated ? 960.267187818057 : 631.152));
        EXPECT_TRUE(test::MatchesReference(source.sourceArea.SampleAt(i),
                                           saturated ? 462.962962962963 : 200.0));
        EXPECT_TRUE(
            test::MatchesReference(source.infiltration.SampleAt(i), saturated ? 0.315576 : 0.7305));
        EXPECT_TRUE(test::MatchesReference(record.retardation.At(i), saturated ? 4.2 : 5.0));
        EXPECT_TRUE(test::MatchesReference(record.dilutedConcentrations[1].At(i),
                                           saturated ? 0.906881076753736 : 1.81664584791237));
    }
}

// ---------------------------------------------------------------------------
// Zero divisors.

TEST_F(UnsaturatedZone, ZeroWaterFilledPorosityWithFlowEndsTheRunNamingIt) {
    Project project = LoadTransportFixture("level2-porous.json");
    SetInput(project.sources[0].pathways[0].waterFilledPorosity, "SINGLE(0)");
    const test::RunResult run = RunProject(project);
    EXPECT_FALSE(run.succeeded);
    ASSERT_EQ(run.failures.size(), 1u);
    EXPECT_EQ(run.failures[0],
              "Source Tank, pathway Sand: Water filled porosity [fraction] is 0, but water flows "
              "through the layer");
    EXPECT_FALSE(project.resultsValid);
}

TEST_F(UnsaturatedZone, ZeroFissurePorosityUnderFissureFlowEndsTheRunNamingIt) {
    Project project = LoadTransportFixture("level2-dual.json");
    SetInput(project.sources[0].pathways[0].matrixConductivity, "SINGLE(1e-09)");
    SetInput(project.sources[0].pathways[0].effectiveFissurePorosity, "SINGLE(0)");
    const test::RunResult run = RunProject(project);
    EXPECT_FALSE(run.succeeded);
    ASSERT_EQ(run.failures.size(), 1u);
    EXPECT_EQ(run.failures[0],
              "Source Tank, pathway Chalk: Effective Fissure Porosity [fraction] is 0, but water "
              "flows through the layer");
}

TEST_F(UnsaturatedZone, ZeroInfiltrationNeverArrivesAndLeavesNoUndefinedValue) {
    // No water: the travel time through every layer is 1,000,000 years (a
    // porous layer and a dual porosity layer whose matrix takes everything),
    // nothing reaches the base, and no result vector holds NaN or infinity,
    // at Level 3 with receptors as well.
    Project project = LoadTransportFixture("level3-receptors.json");
    SetInput(project.sources[0].infiltration, "SINGLE(0)");
    UnsaturatedPathway& sand = project.sources[0].pathways[1];
    sand.flowModel = UnsaturatedPathway::dualPorosity;
    SetInput(sand.matrixConductivity, "SINGLE(1e-07)");
    SetInput(sand.effectiveMatrixPorosity, "SINGLE(0.1)");
    SetInput(sand.effectiveFissurePorosity, "SINGLE(0.01)");
    const test::RunResult run = RunProject(project);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    EXPECT_TRUE(AllMatchReference(RecordOf(project, 0, 0).unretardedTravelTime, 1000000.0));
    EXPECT_TRUE(
        AllMatchReference(RecordOf(project, 0, 1).unretardedTravelTime, 2000000.0)); // cumulative
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_TRUE(AllMatchReference(RecordOf(project, 0, 1).concentrations[k], 0.0));
        EXPECT_TRUE(AllMatchReference(RecordOf(project, 0, 1).dilutedConcentrations[k], 0.0));
        EXPECT_TRUE(
            AllMatchReference(project.sources[0].inventory[0].receptorConcentrations[0][k], 0.0));
    }
    EXPECT_TRUE(AllMatchReference(project.sources[0].inventory[0].leachMass, 0.0));
    EXPECT_TRUE(test::NoNonFiniteValue(project));
}

} // namespace
} // namespace varnex

namespace varnex {
namespace {

// The fixtures are projects a user could run: they pass the check before a
// run, so the numbers above are not those of an input the program refuses.
class TransportFixtures : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { test::ResetProgramState(); }
    void TearDown() override { test::ResetProgramState(); }
};

TEST_P(TransportFixtures, PassTheCheckBeforeARun) {
    Project project = test::LoadTransportFixture(GetParam());
    std::string report;
    EXPECT_TRUE(project.Validate(report)) << report;
}

INSTANTIATE_TEST_SUITE_P(Data, TransportFixtures,
                         ::testing::Values("level2-porous.json", "level2-dual.json",
                                           "level2-two-layers.json", "level2-soakaway.json",
                                           "level3-receptors.json", "level3-two-sources.json",
                                           "level3a.json", "level3-threads.json"));

} // namespace
} // namespace varnex
