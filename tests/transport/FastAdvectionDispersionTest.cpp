// The fast advection-dispersion kernel against the reference kernel, which
// is the plain textbook algorithm and so the independent reference here:
// agreement over soils and aquifers (sharp fronts included), the early
// returns and exceptions, the exact zero for a zero inlet, and batches that
// give every problem exactly what a single call gives it.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "support/Expectations.h"
#include "transport/AdvectionDispersion.h"
#include "transport/FastAdvectionDispersion.h"

namespace varnex {
namespace {

constexpr double year = 365.25 * 86400.0;

// A fixed stream of numbers in [0, 1): the grid is the same on every run.
class GridStream {
public:
    double Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }
    double LogUniform(double low, double high) {
        return std::exp(std::log(low) + Next() * (std::log(high) - std::log(low)));
    }

private:
    std::uint64_t state_ = 20261208;
};

// The accuracy promised: 1e-9 of the inlet concentration or 1e-8 relative,
// whichever is larger.
double Bound(double concentration, double reference) {
    return std::max(1e-9 * std::fabs(concentration), 1e-8 * std::fabs(reference));
}

// Problems typical of soils and aquifers: lengths 0.5 to 500 m, times 1 to
// 10,000 years, velocities 1e-9 to 1e-5 m/s, dispersivities 0.05 to 50 m,
// half-lives 1 to 1000 years or no decay, retardation 1 to 100.
std::vector<ColumnProblem> TypicalColumns(int count) {
    GridStream stream;
    std::vector<ColumnProblem> problems;
    for (int k = 0; k < count; ++k) {
        ColumnProblem p{};
        p.concentration = stream.LogUniform(1e-3, 1e3);
        p.distanceM = stream.LogUniform(0.5, 500.0);
        p.dispersivityM = stream.LogUniform(0.05, 50.0);
        p.velocityMPerS = stream.LogUniform(1e-9, 1e-5);
        p.retardation = stream.LogUniform(1.0, 100.0);
        p.decayPerS =
            stream.Next() < 0.3 ? 0.0 : std::log(2.0) / (stream.LogUniform(1.0, 1000.0) * year);
        // Times about the arrival of the front, where the solution changes
        // most, and anywhere from 1 to 10,000 years.
        const double arrival = p.distanceM * p.retardation / p.velocityMPerS;
        p.timeS = k % 2 == 0 ? std::clamp(arrival * stream.LogUniform(0.3, 3.0), year, 1e4 * year)
                             : stream.LogUniform(1.0, 1e4) * year;
        problems.push_back(p);
    }
    return problems;
}

TEST(FastAdvectionDispersion, AgreesWithTheReferenceOverSoilsAndAquifers) {
    const std::vector<ColumnProblem> problems = TypicalColumns(1200);
    double worstRelative = 0.0;
    int nonZero = 0, sharp = 0;
    for (const ColumnProblem& p : problems) {
        const double reference =
            SolveAdvectionDispersion(p.concentration, p.distanceM, p.timeS, p.velocityMPerS,
                                     p.dispersivityM, p.decayPerS, p.retardation);
        const double fast =
            FastSolveAdvectionDispersion(p.concentration, p.distanceM, p.timeS, p.velocityMPerS,
                                         p.dispersivityM, p.decayPerS, p.retardation);
        ASSERT_LE(std::fabs(fast - reference), Bound(p.concentration, reference))
            << "C " << p.concentration << " L " << p.distanceM << " t " << p.timeS << " v "
            << p.velocityMPerS << " alpha " << p.dispersivityM << " lambda " << p.decayPerS << " R "
            << p.retardation << ": fast " << fast << ", reference " << reference;
        if (reference > 1e-6 * p.concentration) {
            ++nonZero;
            worstRelative = std::max(worstRelative, std::fabs(fast - reference) / reference);
        }
        sharp += p.distanceM / p.dispersivityM > 180.0;
    }
    // The grid reaches the breakthrough curves and the sharp fronts.
    EXPECT_GT(nonZero, 300);
    EXPECT_GT(sharp, 50);
    RecordProperty("worstRelativeDifference", std::to_string(worstRelative));
}

TEST(FastAdvectionDispersion, SharpFrontsAgreeAcrossTheFront) {
    // Length over dispersivity from 200 to 10,000: the front is steep and
    // the transform values fall by hundreds of decades along the series.
    for (double peclet : {200.0, 1000.0, 10000.0}) {
        const double length = 50.0, velocity = 1.0 / year * 10.0;
        const double dispersivity = length / peclet;
        const double arrival = length / velocity;
        for (double f = 0.8; f <= 1.2; f += 0.01) {
            const double t = arrival * f;
            const double reference =
                SolveAdvectionDispersion(1.0, length, t, velocity, dispersivity, 0.0, 1.0);
            const double fast =
                FastSolveAdvectionDispersion(1.0, length, t, velocity, dispersivity, 0.0, 1.0);
            ASSERT_LE(std::fabs(fast - reference), Bound(1.0, reference))
                << "L/alpha " << peclet << " t/arrival " << f << ": fast " << fast << ", reference "
                << reference;
        }
    }
}

TEST(FastAdvectionDispersion, AquiferSolutionsAgreeWithTheReference) {
    GridStream stream;
    for (int k = 0; k < 600; ++k) {
        AquiferProblem p{};
        p.concentration = stream.LogUniform(1e-3, 1e3);
        p.xM = stream.LogUniform(0.5, 500.0);
        p.yM = (stream.Next() - 0.5) * 100.0;
        p.widthM = stream.LogUniform(1.0, 100.0);
        p.velocityMPerS = stream.LogUniform(1e-9, 1e-5);
        p.longitudinalDispersivityM = stream.LogUniform(0.05, 50.0);
        p.lateralDispersivityM =
            k % 7 == 0 ? 0.0 : p.longitudinalDispersivityM * stream.LogUniform(0.01, 0.5);
        p.retardation = stream.LogUniform(1.0, 100.0);
        p.decayPerS =
            stream.Next() < 0.3 ? 0.0 : std::log(2.0) / (stream.LogUniform(1.0, 1000.0) * year);
        const double arrival = p.xM * p.retardation / p.velocityMPerS;
        p.timeS = std::clamp(arrival * stream.LogUniform(0.3, 3.0), year, 1e4 * year);
        const double reference = SolveAquiferAdvectionDispersion(
            p.concentration, p.xM, p.yM, p.widthM, p.timeS, p.velocityMPerS, p.lateralDispersivityM,
            p.longitudinalDispersivityM, p.decayPerS, p.retardation);
        const double fast = FastSolveAquiferAdvectionDispersion(
            p.concentration, p.xM, p.yM, p.widthM, p.timeS, p.velocityMPerS, p.lateralDispersivityM,
            p.longitudinalDispersivityM, p.decayPerS, p.retardation);
        ASSERT_LE(std::fabs(fast - reference), Bound(p.concentration, reference))
            << "problem " << k << ": fast " << fast << ", reference " << reference;
    }
}

TEST(FastAdvectionDispersion, ZeroInletGivesExactlyZeroInBothKernels) {
    // The reference evaluates the transform of a zero inlet: all 61 values
    // are 0, replaced by 1e-50, and the inversion of those is far below the
    // 1e-30 floor for any time of a year or more, so it returns exactly 0
    // too. The fast kernel returns 0 without evaluating anything.
    for (ColumnProblem p : TypicalColumns(300)) {
        p.concentration = 0.0;
        EXPECT_EQ(SolveAdvectionDispersion(0.0, p.distanceM, p.timeS, p.velocityMPerS,
                                           p.dispersivityM, p.decayPerS, p.retardation),
                  0.0);
        EXPECT_EQ(FastSolveAdvectionDispersion(0.0, p.distanceM, p.timeS, p.velocityMPerS,
                                               p.dispersivityM, p.decayPerS, p.retardation),
                  0.0);
        EXPECT_EQ(SolveAquiferAdvectionDispersion(0.0, p.distanceM, 1.0, 10.0, p.timeS,
                                                  p.velocityMPerS, 0.1, p.dispersivityM,
                                                  p.decayPerS, p.retardation),
                  0.0);
        EXPECT_EQ(FastSolveAquiferAdvectionDispersion(0.0, p.distanceM, 1.0, 10.0, p.timeS,
                                                      p.velocityMPerS, 0.1, p.dispersivityM,
                                                      p.decayPerS, p.retardation),
                  0.0);
    }
}

TEST(FastAdvectionDispersion, EdgeCasesGiveWhatTheReferenceGives) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        ColumnProblem p;
    };
    const Case cases[] = {
        {"time 0", {1.0, 2.0, 0.0, 1e-7, 0.2, 0.0, 1.0}},
        {"negative time", {1.0, 2.0, -year, 1e-7, 0.2, 0.0, 1.0}},
        {"negative time with invalid inputs", {1.0, 2.0, -year, -1.0, -0.2, 0.0, 1.0}},
        {"negative distance", {1.0, -2.0, year, 1e-7, 0.2, 0.0, 1.0}},
        {"at the boundary", {1.0, 0.0, year, 1e-7, 0.2, 0.0, 1.0}},
        {"zero velocity", {1.0, 2.0, year, 0.0, 0.2, 0.0, 1.0}},
        {"zero velocity with decay", {5.0, 2.0, 10 * year, 0.0, 0.2, 1e-9, 3.0}},
        {"far downstream", {1.0, 500.0, year, 1e-9, 0.05, 0.0, 100.0}},
        {"long after arrival", {1.0, 1.0, 1e4 * year, 1e-5, 0.5, 0.0, 1.0}},
        {"not a number", {1.0, nan, year, 1e-7, 0.2, 0.0, 1.0}},
        {"infinite time", {1.0, 2.0, inf, 1e-7, 0.2, 0.0, 1.0}},
        {"a second", {1.0, 1e-6, 1.0, 1e-5, 0.05, 0.0, 1.0}},
    };
    for (const Case& c : cases) {
        const ColumnProblem& p = c.p;
        const double reference =
            SolveAdvectionDispersion(p.concentration, p.distanceM, p.timeS, p.velocityMPerS,
                                     p.dispersivityM, p.decayPerS, p.retardation);
        const double fast =
            FastSolveAdvectionDispersion(p.concentration, p.distanceM, p.timeS, p.velocityMPerS,
                                         p.dispersivityM, p.decayPerS, p.retardation);
        EXPECT_LE(std::fabs(fast - reference), Bound(p.concentration, reference))
            << c.what << ": fast " << fast << ", reference " << reference;
    }
    // Zero velocity in the aquifer: the reference's transform is undefined
    // and its result floored to 0.
    EXPECT_EQ(SolveAquiferAdvectionDispersion(1.0, 20.0, 0.0, 10.0, year, 0.0, 0.5, 5.0, 0.0, 1.0),
              0.0);
    EXPECT_EQ(
        FastSolveAquiferAdvectionDispersion(1.0, 20.0, 0.0, 10.0, year, 0.0, 0.5, 5.0, 0.0, 1.0),
        0.0);
    // At the source line (x = 0) the lateral factor is 1 on the strip.
    const double atSource =
        SolveAquiferAdvectionDispersion(1.0, 0.0, 0.0, 10.0, year, 1e-6, 0.5, 5.0, 0.0, 1.0);
    EXPECT_NEAR(atSource, 1.0, 1e-6);
    EXPECT_LE(std::fabs(FastSolveAquiferAdvectionDispersion(1.0, 0.0, 0.0, 10.0, year, 1e-6, 0.5,
                                                            5.0, 0.0, 1.0) -
                        atSource),
              Bound(1.0, atSource));
}

TEST(FastAdvectionDispersion, ThrowsWhatTheReferenceThrows) {
    const std::string zeroDispersivity =
        "Dispersivity cannot be zero.  Advection diffusion equation cannot be solved.";
    const std::string negativeDispersivity =
        "Dispersivity cannot be less than zero.  Advection diffusion equation cannot be solved.";
    const std::string negativeSpeed =
        "Speed of contaminant cannot be less than zero.  Advection diffusion equation cannot be solved.";
    // Each with the reference first, so the message is the reference's own.
    test::ExpectError([] { SolveAdvectionDispersion(1.0, 2.0, year, 1e-7, 0.0, 0.0, 1.0); },
                      zeroDispersivity);
    test::ExpectError([] { FastSolveAdvectionDispersion(1.0, 2.0, year, 1e-7, 0.0, 0.0, 1.0); },
                      zeroDispersivity);
    test::ExpectError([] { FastSolveAdvectionDispersion(1.0, 2.0, year, 1e-7, -1.0, 0.0, 1.0); },
                      zeroDispersivity);
    test::ExpectError([] { SolveAdvectionDispersion(1.0, 2.0, year, -1e-7, 0.2, 0.0, 1.0); },
                      negativeSpeed);
    test::ExpectError([] { FastSolveAdvectionDispersion(1.0, 2.0, year, -1e-7, 0.2, 0.0, 1.0); },
                      negativeSpeed);
    // The dispersivity is checked before the speed, and a zero inlet or a
    // negative distance does not spare the check.
    test::ExpectError([] { FastSolveAdvectionDispersion(0.0, -2.0, year, -1e-7, 0.0, 0.0, 1.0); },
                      zeroDispersivity);
    test::ExpectError([] { FastSolveAdvectionDispersion(0.0, -2.0, year, -1e-7, 0.2, 0.0, 1.0); },
                      negativeSpeed);
    test::ExpectError(
        [] {
            FastSolveAquiferAdvectionDispersion(1.0, 20.0, 0.0, 10.0, year, 1e-6, -0.5, 5.0, 0.0,
                                                1.0);
        },
        negativeDispersivity);
    test::ExpectError(
        [] {
            FastSolveAquiferAdvectionDispersion(1.0, 20.0, 0.0, 10.0, year, 1e-6, 0.5, -5.0, 0.0,
                                                1.0);
        },
        negativeDispersivity);
    test::ExpectError(
        [] {
            FastSolveAquiferAdvectionDispersion(0.0, -1.0, 0.0, 10.0, year, -1e-6, 0.5, 5.0, 0.0,
                                                1.0);
        },
        negativeSpeed);

    // A batch checks every problem before it computes any, and throws the
    // first failing problem's message, as a loop of single calls would.
    std::vector<ColumnProblem> batch = TypicalColumns(5);
    batch[1].timeS = -1.0; // returns early: not checked
    batch[1].dispersivityM = -1.0;
    batch[3].velocityMPerS = -1.0; // the first failure
    batch[4].dispersivityM = 0.0;
    std::vector<double> results(batch.size(), -7.0);
    test::ExpectError(
        [&] { FastSolveAdvectionDispersionBatch(batch.data(), results.data(), batch.size()); },
        negativeSpeed);
    for (double r : results) EXPECT_EQ(r, -7.0) << "nothing is written when a problem fails";
}

TEST(FastAdvectionDispersion, ABatchGivesEveryProblemWhatASingleCallGives) {
    std::vector<ColumnProblem> pool = TypicalColumns(40);
    // Early returns and reference routes among the lanes.
    pool[3].timeS = 0.0;
    pool[8].concentration = 0.0;
    pool[11].distanceM = -1.0;
    pool[17].velocityMPerS = 0.0;
    pool[23].distanceM = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> single(pool.size());
    for (std::size_t k = 0; k < pool.size(); ++k) {
        const ColumnProblem& p = pool[k];
        single[k] =
            FastSolveAdvectionDispersion(p.concentration, p.distanceM, p.timeS, p.velocityMPerS,
                                         p.dispersivityM, p.decayPerS, p.retardation);
    }
    // Every size from 1 to 17 (around the eight lanes), from every start.
    for (std::size_t size = 1; size <= 17; ++size) {
        for (std::size_t start = 0; start + size <= pool.size(); start += 3) {
            std::vector<double> results(size);
            FastSolveAdvectionDispersionBatch(pool.data() + start, results.data(), size);
            for (std::size_t k = 0; k < size; ++k) {
                const double expected = single[start + k];
                // Bit for bit (NaN never occurs: every result is floored).
                ASSERT_EQ(results[k], expected)
                    << "size " << size << " start " << start << " problem " << k;
            }
        }
    }

    std::vector<AquiferProblem> aquifer;
    for (const ColumnProblem& p : pool)
        aquifer.push_back({p.concentration, p.distanceM, 0.3 * p.distanceM, 20.0, p.timeS,
                           p.velocityMPerS, 0.1 * p.dispersivityM, p.dispersivityM, p.decayPerS,
                           p.retardation});
    std::vector<double> together(aquifer.size());
    FastSolveAquiferAdvectionDispersionBatch(aquifer.data(), together.data(), aquifer.size());
    for (std::size_t k = 0; k < aquifer.size(); ++k) {
        const AquiferProblem& p = aquifer[k];
        EXPECT_EQ(together[k], FastSolveAquiferAdvectionDispersion(
                                   p.concentration, p.xM, p.yM, p.widthM, p.timeS, p.velocityMPerS,
                                   p.lateralDispersivityM, p.longitudinalDispersivityM, p.decayPerS,
                                   p.retardation))
            << k;
    }
}

// Problems of every route a lane can take, each with what it must give:
// nothing evaluated (exactly 0), the fast form (within the bound of the
// reference), the faithful form and the reference's own fallback (the
// reference's bits).
enum class Route { zero, fast, faithful, reference };

struct LaneCase {
    const char* name;
    ColumnProblem problem;
    Route route;
};

void PrintTo(const LaneCase& c, std::ostream* os) { *os << c.name; }

const double nan = std::numeric_limits<double>::quiet_NaN();

const LaneCase laneCases[] = {
    {"zero time", {1.0, 2.0, 0.0, 1e-7, 0.2, 0.0, 1.0}, Route::zero},
    {"zero time, zero dispersivity", {1.0, 2.0, 0.0, 1e-7, 0.0, 0.0, 1.0}, Route::zero},
    {"negative time", {1.0, 2.0, -1.0, 1e-7, 0.2, 0.0, 1.0}, Route::zero},
    {"a year before the start", {3.0, 0.5, -year, 1e-6, 0.05, 1e-9, 2.0}, Route::zero},
    {"zero inlet", {0.0, 2.0, year, 1e-7, 0.2, 0.0, 1.0}, Route::zero},
    {"zero inlet, undefined distance", {0.0, nan, year, 1e-7, 0.2, 0.0, 1.0}, Route::zero},
    {"upstream", {1.0, -3.0, year, 1e-7, 0.2, 0.0, 1.0}, Route::zero},
    {"zero velocity", {1.0, 2.0, year, 0.0, 0.2, 0.0, 1.0}, Route::reference},
    {"zero velocity with decay and retardation",
     {5.0, 0.5, 100 * year, 0.0, 1.0, 1e-9, 30.0},
     Route::reference},
    {"zero velocity at the boundary", {2.0, 0.0, year, 0.0, 0.2, 0.0, 1.0}, Route::reference},
    {"undefined distance", {1.0, nan, year, 1e-7, 0.2, 0.0, 1.0}, Route::reference},
    {"sharp front at its arrival", {1.0, 10.0, 1e8, 1e-7, 0.1, 0.0, 1.0}, Route::faithful},
    {"sharp front, retarded, decaying", {7.0, 50.0, 3e9, 1e-7, 0.5, 1e-10, 5.0}, Route::faithful},
    {"dispersed front", {1.0, 2.0, 10 * year, 1.0 / year, 0.5, 0.0, 2.0}, Route::fast},
    {"long after arrival", {1.0, 1.0, 1e4 * year, 1e-5, 0.5, 0.0, 1.0}, Route::fast},
    {"near the floor, above", {4e-30, 5.0, 2.0 * year, 1e-7, 2.0, 0.0, 1.0}, Route::fast},
    {"near the floor, below", {1.2e-30, 5.0, 2.0 * year, 1e-7, 2.0, 0.0, 1.0}, Route::fast},
    {"far below the floor", {1e-3, 500.0, year, 1e-9, 50.0, 0.0, 100.0}, Route::fast},
};

class LaneRoutes : public ::testing::TestWithParam<LaneCase> {};

TEST_P(LaneRoutes, ASingleCallGivesWhatItsRoutePromises) {
    const ColumnProblem& p = GetParam().problem;
    const double fast =
        FastSolveAdvectionDispersion(p.concentration, p.distanceM, p.timeS, p.velocityMPerS,
                                     p.dispersivityM, p.decayPerS, p.retardation);
    if (GetParam().route == Route::zero) {
        EXPECT_EQ(fast, 0.0);
        return;
    }
    const double reference =
        SolveAdvectionDispersion(p.concentration, p.distanceM, p.timeS, p.velocityMPerS,
                                 p.dispersivityM, p.decayPerS, p.retardation);
    if (GetParam().route == Route::fast) {
        EXPECT_LE(std::fabs(fast - reference), Bound(p.concentration, reference))
            << "fast " << fast << ", reference " << reference;
        // Results are 0 or at least the floor, never between.
        EXPECT_TRUE(fast == 0.0 || fast >= 1e-30) << fast;
    } else {
        EXPECT_EQ(fast, reference);
    }
}

INSTANTIATE_TEST_SUITE_P(FastAdvectionDispersion, LaneRoutes, ::testing::ValuesIn(laneCases));

TEST(FastAdvectionDispersion, TheFloorCasesLieEitherSideOfTheFloor) {
    // Guards the two cases above against drifting away from the floor.
    const double above = SolveAdvectionDispersion(4e-30, 5.0, 2.0 * year, 1e-7, 2.0, 0.0, 1.0);
    const double below = SolveAdvectionDispersion(1.2e-30, 5.0, 2.0 * year, 1e-7, 2.0, 0.0, 1.0);
    EXPECT_GT(above, 1e-30);
    EXPECT_LT(above, 1e-29);
    EXPECT_EQ(below, 0.0);
    EXPECT_GT(SolveAdvectionDispersion(1.0, 5.0, 2.0 * year, 1e-7, 2.0, 0.0, 1.0), 1e-6);
}

TEST(FastAdvectionDispersion, LanesOfEveryRouteDoNotInfluenceEachOther) {
    // Batches mixing every route, in many orders and sizes (fewer and more
    // problems than the widest register holds, so that full groups, leftover
    // groups in narrower registers and lone problems all occur), give every
    // problem the bits of its single call.
    std::vector<ColumnProblem> pool;
    for (const LaneCase& c : laneCases) pool.push_back(c.problem);
    for (const ColumnProblem& p : TypicalColumns(22)) pool.push_back(p);
    std::vector<double> single(pool.size());
    for (std::size_t k = 0; k < pool.size(); ++k) {
        const ColumnProblem& p = pool[k];
        single[k] =
            FastSolveAdvectionDispersion(p.concentration, p.distanceM, p.timeS, p.velocityMPerS,
                                         p.dispersivityM, p.decayPerS, p.retardation);
    }
    std::vector<std::size_t> order(pool.size());
    GridStream stream;
    for (int shuffle = 0; shuffle < 12; ++shuffle) {
        for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
        for (std::size_t k = order.size() - 1; k > 0; --k) {
            std::swap(order[k],
                      order[static_cast<std::size_t>(stream.Next() * static_cast<double>(k + 1))]);
        }
        for (std::size_t size : {2u, 3u, 5u, 9u, 13u, 40u}) {
            std::vector<ColumnProblem> batch;
            for (std::size_t k = 0; k < size; ++k) batch.push_back(pool[order[k]]);
            std::vector<double> results(size, -1.0);
            FastSolveAdvectionDispersionBatch(batch.data(), results.data(), size);
            for (std::size_t k = 0; k < size; ++k) {
                ASSERT_EQ(results[k], single[order[k]])
                    << "shuffle " << shuffle << " size " << size << " problem " << order[k];
            }
        }
    }

    // The aquifer solution in the same mixed batches.
    std::vector<AquiferProblem> aquifer;
    for (const ColumnProblem& p : pool)
        aquifer.push_back({p.concentration, p.distanceM, 0.2 * p.distanceM, 10.0, p.timeS,
                           p.velocityMPerS, 0.1 * p.dispersivityM, p.dispersivityM, p.decayPerS,
                           p.retardation});
    std::vector<double> together(aquifer.size());
    FastSolveAquiferAdvectionDispersionBatch(aquifer.data(), together.data(), aquifer.size());
    for (std::size_t k = 0; k < aquifer.size(); ++k) {
        const AquiferProblem& p = aquifer[k];
        ASSERT_EQ(together[k], FastSolveAquiferAdvectionDispersion(
                                   p.concentration, p.xM, p.yM, p.widthM, p.timeS, p.velocityMPerS,
                                   p.lateralDispersivityM, p.longitudinalDispersivityM, p.decayPerS,
                                   p.retardation))
            << k;
    }
}

} // namespace
} // namespace varnex
