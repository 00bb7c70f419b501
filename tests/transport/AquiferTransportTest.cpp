// The aquifer and the receptors through the whole run: groundwater velocity
// beneath the source, travel times, aquifer retardation, the concentration
// at receptors downstream, upstream and within one dispersivity, the sum over
// sources with a background concentration, "Level 3a", the zero-divisor
// rules, the independence of the thread count and the Level 3 infiltration
// warning. Expected numbers come from tests/reference/transport_chains.py
// (the case named beside each).

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "model/Project.h"
#include "run/ResultStore.h"
#include "stochastic/IterationCount.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"
#include "transport/AquiferTransport.h"
#include "transport/TransportRunSupport.h"

namespace varnex {
namespace {

using test::AllMatchReference;
using test::LoadTransportFixture;
using test::MatchesReference;
using test::RecordOf;
using test::RunProject;
using test::SetInput;

class AquiferTransport : public test::ProgramStateTest {};

struct ReceptorExpectation {
    double aquiferTravelTime; // retarded, years
    double unretardedTravelTime;
    double retardedTravelTime;
    std::vector<double> concentrations; // per time slice, with background
};

void ExpectReceptor(Project& project, std::size_t source, std::size_t receptor,
                    const ReceptorExpectation& e) {
    SCOPED_TRACE("source " + std::to_string(source) + ", receptor " + std::to_string(receptor));
    SourceContaminant& entry = project.sources.at(source).inventory.at(0);
    EXPECT_TRUE(
        AllMatchReference(entry.receptorAquiferTravelTimes.at(receptor), e.aquiferTravelTime));
    EXPECT_TRUE(AllMatchReference(entry.receptorUnretardedTravelTimes.at(receptor),
                                  e.unretardedTravelTime));
    EXPECT_TRUE(
        AllMatchReference(entry.receptorRetardedTravelTimes.at(receptor), e.retardedTravelTime));
    for (std::size_t k = 0; k < e.concentrations.size(); ++k)
        EXPECT_TRUE(
            AllMatchReference(entry.receptorConcentrations.at(receptor).at(k), e.concentrations[k]))
            << k;
}

void ExpectTotals(Project& project, std::size_t receptor, double unretarded, double retarded,
                  const std::vector<double>& concentrations) {
    SCOPED_TRACE("totals at receptor " + std::to_string(receptor));
    ReceptorContaminant* totals =
        project.receptors.at(receptor).FindResults(project.contaminants[0].identifier);
    ASSERT_NE(totals, nullptr);
    EXPECT_TRUE(AllMatchReference(totals->totalUnretardedTravelTime, unretarded));
    EXPECT_TRUE(AllMatchReference(totals->totalRetardedTravelTime, retarded));
    for (std::size_t k = 0; k < concentrations.size(); ++k)
        EXPECT_TRUE(AllMatchReference(totals->totalConcentrations.at(k), concentrations[k])) << k;
}

// level3-receptors.json: 500 mm/yr infiltration over 20 m x 10 m, cut by
// the clay (K = 1e-8 m/s) to 0.315576 m/year; the aquifer beneath: H = 10 m,
// W = 10 m, Ka = 1e-4 m/s, i = 0.005, ne = 0.25, alphaL = 5 m, alphaT = 1 m;
// Kd = koc x foc x 0.01 = 20 x 0.1 x 0.01 = 0.02, Ra = 1 + 1.8 / 0.25 x 0.02
// = 1.144; half-life 50 years measured in situ. Source centre (10, 5).
TEST_F(AquiferTransport, ReceptorsDownstreamUpstreamAndWithinOneDispersivity) {
    Project project = LoadTransportFixture("level3-receptors.json");
    const test::RunResult run = RunProject(project);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    Source& source = project.sources[0];

    // The cut infiltration is what every later step uses: the sand below
    // the clay, the leach mass and the aquifer (transport_chains.py case
    // receptors_uz).
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(MatchesReference(source.infiltration.SampleAt(i), 0.315576));
    EXPECT_TRUE(AllMatchReference(RecordOf(project, 0, 0).unretardedTravelTime, 1.14077116130504));
    EXPECT_TRUE(AllMatchReference(RecordOf(project, 0, 1).unretardedTravelTime, 2.42413871777321));
    EXPECT_TRUE(AllMatchReference(RecordOf(project, 0, 1).retardedTravelTime, 6.98722336299338));
    EXPECT_TRUE(AllMatchReference(RecordOf(project, 0, 1).retardedVelocity, 2.10384));
    EXPECT_TRUE(AllMatchReference(source.inventory[0].leachMass, 0.631152));
    const std::array<double, 4> base = {0.0, 9.27789583374208, 9.99944189481881, 9.99999999999232};
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_TRUE(AllMatchReference(RecordOf(project, 0, 1).concentrations[k], base[k])) << k;

    // transport_chains.py case receptors: va = (0.315576 x 200 + 1577.88) /
    // (10 x 10 x 0.25) m/year.
    EXPECT_TRUE(AllMatchReference(source.fullThicknessAquiferFlow, 1577.88));
    EXPECT_TRUE(AllMatchReference(source.aquiferPoreVelocity, 65.639808));
    EXPECT_TRUE(AllMatchReference(project.contaminants[0].aquiferRetardation, 1.144));
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(
            MatchesReference(project.contaminants[0].partitionCoefficient.SampleAt(i), 0.02));

    // Borehole at (110, 7): 100 m downstream, 2 m off the centre line.
    ExpectReceptor(project, 0, 0,
                   {1.65570258828301,
                    3.87143119004858,
                    8.6429259512764,
                    {0.0, 0.239751403959186, 0.315206005272095, 0.315259429571401}});
    ExpectTotals(project, 0, 3.87143119004858, 8.6429259512764,
                 {0.0, 0.239751403959186, 0.315206005272095, 0.315259429571401});
    // Upstream well at (-30, 5): 1,000,000 years (x Ra retarded), nothing.
    ExpectReceptor(project, 0, 1,
                   {1144000.0, 1000002.42413872, 1144006.98722336, {0.0, 0.0, 0.0, 0.0}});
    ExpectTotals(project, 1, 1000002.42413872, 1144006.98722336, {0.0, 0.0, 0.0, 0.0});
    // Site boundary at (13, 5): 3 m, closer than alphaL: aquifer travel 0.
    ExpectReceptor(project, 0, 2,
                   {0.0,
                    2.42413871777321,
                    6.98722336299338,
                    {0.0, 1.04583508247755, 1.12717013929767, 1.12723305075741}});
    ExpectTotals(project, 2, 2.42413871777321, 6.98722336299338,
                 {0.0, 1.04583508247755, 1.12717013929767, 1.12723305075741});
    EXPECT_TRUE(test::NoNonFiniteValue(project));
}

// level3-two-sources.json: the forecourt (centre (40, 5), starts at 30
// years, 0.4 m layer thinner than its dispersivity) and the workshop
// (centre (10, 5)) leach nitrate to the spring at (43, 6), 3 m from the
// forecourt's centre (within alphaL = 5 m) and 33 m from the workshop's.
// Background 0.01 mg/l.
TEST_F(AquiferTransport, TwoSourcesSumAtAReceptorWithTheBackgroundOnce) {
    Project project = LoadTransportFixture("level3-two-sources.json");
    const test::RunResult run = RunProject(project);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    // transport_chains.py case two_sources. The forecourt's own values before
    // it starts (10 and 25 years) are the background alone; it reaches the
    // spring with no travel time at all.
    ExpectReceptor(project, 0, 0,
                   {0.0, 0.0, 0.0, {0.01, 0.01, 1.06906312054848, 1.06924221118108}});
    ExpectReceptor(project, 1, 0,
                   {0.488924707548783,
                    2.82738173736782,
                    8.64892470754878,
                    {0.331943320313502, 0.523365232157819, 0.525965642898971, 0.525967129795608}});
    // The earliest arrival over both sources is the forecourt's genuine 0,
    // which the workshop's later arrival does not replace.
    ExpectTotals(project, 0, 0.0, 0.0,
                 {0.331943320313502, 0.523365232157819, 1.58502876344745, 1.58520934097669});
    EXPECT_TRUE(AllMatchReference(project.sources[0].aquiferPoreVelocity, 65.5152));
    EXPECT_TRUE(AllMatchReference(project.sources[1].aquiferPoreVelocity, 65.5152));
}

TEST_F(AquiferTransport, EarliestArrivalDoesNotDependOnTheSourceOrder) {
    // The same two sources listed the other way round.
    Project project = LoadTransportFixture("level3-two-sources.json");
    std::swap(project.sources[0], project.sources[1]);
    ASSERT_TRUE(RunProject(project).succeeded);
    ExpectTotals(project, 0, 0.0, 0.0,
                 {0.331943320313502, 0.523365232157819, 1.58502876344745, 1.58520934097669});
}

// level3a.json: 5 mg/l entering the aquifer; va = 1e-4 x 0.005 x 31,557,600
// / 0.25 = 63.1152 m/year; Ra = 1 + 1.8 / 0.25 x 0.05 = 1.36.
TEST_F(AquiferTransport, Level3aTakesTheEnteredConcentration) {
    Project project = LoadTransportFixture("level3a.json");
    const test::RunResult run = RunProject(project);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    // transport_chains.py case level3a.
    EXPECT_TRUE(AllMatchReference(project.sources[0].aquiferPoreVelocity, 63.1152));
    EXPECT_TRUE(AllMatchReference(project.contaminants[0].aquiferRetardation, 1.36));
    // The ditch, 30 m downstream, is reached in 25 / 63.1152 x 1.36 = 0.54
    // retarded years: it sees the 5 mg/l unchanged.
    ExpectReceptor(project, 0, 0,
                   {0.538697492838492, 0.396101097675362, 0.538697492838492, {5.0, 5.0, 5.0}});
    ExpectTotals(project, 0, 0.396101097675362, 0.538697492838492, {5.0, 5.0, 5.0});
    // The borehole, 100 m downstream and 2 m aside, after 2.05 years.
    ExpectReceptor(project, 0, 1,
                   {2.04705047278627,
                    1.50518417116637,
                    2.04705047278627,
                    {0.0123616582898065, 1.21573255983183, 1.3684203751059}});
    ExpectTotals(project, 1, 1.50518417116637, 2.04705047278627,
                 {0.0123616582898065, 1.21573255983183, 1.3684203751059});
}

// The aquifer velocity beneath a source divides by H x W x ne (by ne at
// "Level 3a"): a zero ends the run with a message naming source and input.
struct ZeroSectionCase {
    const char* name;
    const char* fixture;
    const char* input; // "thickness" or "effectivePorosity"
    const char* message;
};

void PrintTo(const ZeroSectionCase& c, std::ostream* os) { *os << c.name; }

class AquiferZeroSection : public AquiferTransport,
                           public ::testing::WithParamInterface<ZeroSectionCase> {};

TEST_P(AquiferZeroSection, EndsTheRunNamingTheInput) {
    const ZeroSectionCase& c = GetParam();
    Project project = LoadTransportFixture(c.fixture);
    SetInput(std::string(c.input) == "thickness" ? project.aquifer.thickness
                                                 : project.aquifer.effectivePorosity,
             "SINGLE(0)");
    const test::RunResult run = RunProject(project);
    EXPECT_FALSE(run.succeeded);
    ASSERT_EQ(run.failures.size(), 1u);
    EXPECT_EQ(run.failures[0], c.message);
    EXPECT_FALSE(project.resultsValid);
}

INSTANTIATE_TEST_SUITE_P(
    Level3, AquiferZeroSection,
    ::testing::Values(
        ZeroSectionCase{
            "porosity", "level3-receptors.json", "effectivePorosity",
            "Source Tank: the aquifer flow beneath the source cannot be calculated because Effective "
            "Porosity [fraction] is 0"},
        ZeroSectionCase{
            "thickness", "level3-receptors.json", "thickness",
            "Source Tank: the aquifer flow beneath the source cannot be calculated because Thickness "
            "[m] is 0"},
        ZeroSectionCase{
            "porosity_level3a", "level3a.json", "effectivePorosity",
            "Source Landfill: the aquifer flow beneath the source cannot be calculated because "
            "Effective Porosity [fraction] is 0"}),
    [](const ::testing::TestParamInfo<ZeroSectionCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(AquiferTransport, ResultsAreBitIdenticalForOneTwoAndSevenThreads) {
    // level3-threads.json: random inputs everywhere, random source centres,
    // a calculated mixing zone, a correlation, fissure flow in some
    // iterations of the chalk and not in others.
    std::vector<std::vector<double>> reference;
    std::vector<std::string> labels;
    for (int threads : {1, 2, 7}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        test::ResetProgramState();
        Project project = LoadTransportFixture("level3-threads.json");
        const test::RunResult run = RunProject(project, threads);
        ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
        std::vector<std::vector<double>> values;
        std::vector<std::string> names;
        for (const ResultEntry& entry : StatisticsSet(project)) {
            values.push_back(entry.vector->Values());
            names.push_back(entry.kind + " " + entry.source + " " + entry.contaminant + " " +
                            entry.pathway + " " + entry.receptor + " " + entry.vector->Label());
        }
        if (reference.empty()) {
            reference = values;
            labels = names;
            // The case exercises what it claims to.
            const std::vector<char>& fissures = project.sources[0].pathways[1].fissureFlowing;
            const auto flowing = std::count(fissures.begin(), fissures.end(), 1);
            EXPECT_GT(flowing, 0);
            EXPECT_LT(flowing, static_cast<long>(fissures.size()));
            EXPECT_GT(project.sources[0].inventory[0].receptorConcentrations[1][3].Mean(), 0.0);
            EXPECT_TRUE(test::NoNonFiniteValue(project));
            continue;
        }
        ASSERT_EQ(names, labels);
        for (std::size_t v = 0; v < values.size(); ++v) {
            ASSERT_EQ(values[v].size(), reference[v].size()) << labels[v];
            for (std::size_t i = 0; i < values[v].size(); ++i)
                // Bit for bit: NaN never occurs (checked above), so == is exact.
                ASSERT_EQ(values[v][i], reference[v][i]) << labels[v] << " iteration " << i;
        }
    }
}

// The entries of a source and all receptors go to the solver together.
// Each entry at each receptor computed alone (as the plume grid does for
// one receptor) must give the same bits: the batch may change how many
// problems the solver takes at once, never a result. Both read the state
// the run left, so they must agree exactly.
TEST_F(AquiferTransport, AllEntriesAndReceptorsTogetherGiveTheBitsOfEachAlone) {
    for (const char* fixture : {"level3-threads.json", "level3a.json", "level3-two-sources.json"}) {
        SCOPED_TRACE(fixture);
        test::ResetProgramState();
        Project project = LoadTransportFixture(fixture);
        const test::RunResult run = RunProject(project, 1);
        ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
        const std::size_t receptors = project.receptors.size();
        const std::size_t slices = project.timeSlices.size();
        ASSERT_FALSE(project.receptors[0].results.empty());
        const std::size_t iterations =
            project.receptors[0].results[0].totalRetardedTravelTime.Values().size();
        std::size_t compared = 0;
        std::size_t nonZero = 0;
        for (std::size_t s = 0; s < project.sources.size(); ++s) {
            Source& source = project.sources[s];
            std::vector<std::size_t> entries;
            for (std::size_t e = 0; e < source.inventory.size(); ++e)
                if (project.EntryTakesPart(source.inventory[e])) entries.push_back(e);
            for (std::size_t i = 0; i < iterations; ++i) {
                std::vector<double> together(entries.size() * receptors * slices, -1.0);
                ReceptorConcentrationsOfEntries(project, source, entries.data(), entries.size(), 0,
                                                receptors, project.timeSlices.data(), slices, i, s,
                                                together.data());
                for (std::size_t n = 0; n < entries.size(); ++n) {
                    for (std::size_t r = 0; r < receptors; ++r) {
                        std::vector<double> alone(slices, -1.0);
                        ReceptorConcentrations(project, source, entries[n], r,
                                               project.timeSlices.data(), slices, i, s,
                                               alone.data());
                        for (std::size_t k = 0; k < slices; ++k) {
                            ASSERT_EQ(alone[k], together[(n * receptors + r) * slices + k])
                                << "source " << s << " entry " << entries[n] << " receptor " << r
                                << " iteration " << i << " slice " << k;
                            ++compared;
                            nonZero += alone[k] != 0.0;
                        }
                    }
                }
            }
        }
        EXPECT_GT(compared, 0u);
        EXPECT_GT(nonZero, compared / 4);
    }
}

TEST_F(AquiferTransport, InfiltrationWarningSkipsASourceWithoutActiveEntries) {
    // Ka = 1e-5 m/s: the full-thickness flow beneath the tank is 1e-5 x
    // 31,557,600 x 10 x 10 x 0.005 = 157.788 m³/year, a tenth of which is
    // below its 0.315576 x 200 = 63.1 m³/year of infiltration. The idle
    // source has no active entry, so no aquifer flow is computed beneath it
    // and it is left out, however much water it takes.
    Project project = LoadTransportFixture("level3-receptors.json");
    SetInput(project.aquifer.hydraulicConductivity, "SINGLE(1e-05)");
    Source idle = project.sources[0];
    idle.name = "Idle";
    for (PlanPoint& vertex : idle.vertices) vertex.y += 50.0;
    for (SourceContaminant& entry : idle.inventory) entry.active = false;
    std::string error;
    ASSERT_TRUE(project.AddSource(idle, error, false)) << error;
    const test::RunResult run = RunProject(project);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    ASSERT_EQ(run.warnings.size(), 1u);
    EXPECT_EQ(
        run.warnings[0],
        "In 3 out of 3 iterations, the infiltration through source Tank exceeded one tenth of the aquifer "
        "flow beneath it.");
    EXPECT_TRUE(AllMatchReference(project.sources[0].fullThicknessAquiferFlow, 157.788));
}

TEST_F(AquiferTransport, NoInfiltrationWarningWhenTheAquiferCarriesTenTimesMore) {
    // Ka = 1e-4: 1577.88 m³/year, a tenth of which exceeds 63.1 m³/year.
    Project project = LoadTransportFixture("level3-receptors.json");
    const test::RunResult run = RunProject(project);
    ASSERT_TRUE(run.succeeded);
    EXPECT_TRUE(run.warnings.empty()) << run.warnings[0];
}

} // namespace
} // namespace varnex
