#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "support/ProgramStateTest.h"
#include "transport/AdvectionDispersion.h"
#include "transport/ExactAdvectionDispersion.h"
#include "transport/ExactRegisterVariant.h"

namespace varnex {
namespace {

constexpr double year = 365.25 * 86400.0;

class ExactBatch : public test::ProgramStateTest {};

// Problems typical of soil columns and aquifers (log-uniform over the
// ranges of the solver-speed benchmarks), then the extremes the kernel must
// survive: Peclet numbers to 1e6, 1e-6 to 1e7 years, decay to 1e3 per year,
// retardation to 1e6, v = 0, x = 0, and problems that are 0 by the checks
// (t <= 0, x < 0) mixed in among them.
struct Problems {
    std::vector<ColumnProblem> columns;
    std::vector<AquiferProblem> aquifers;
};

Problems MakeProblems() {
    std::mt19937_64 random(24);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto logUniform = [&](double low, double high) {
        return std::exp(std::log(low) + unit(random) * (std::log(high) - std::log(low)));
    };
    Problems p;
    auto add = [&p, &unit, &random](const ColumnProblem& c) {
        p.columns.push_back(c);
        const double alphaT = c.dispersivityM * 0.1;
        p.aquifers.push_back({c.concentration, c.distanceM, (unit(random) - 0.5) * 200.0,
                              1.0 + 99.0 * unit(random), c.timeS, c.velocityMPerS, alphaT,
                              c.dispersivityM, c.decayPerS, c.retardation});
    };
    for (int k = 0; k < 300; ++k) {
        ColumnProblem c{};
        c.concentration = logUniform(1e-3, 1e3);
        c.distanceM = logUniform(0.1, 1000.0);
        c.velocityMPerS = logUniform(1e-10, 1e-5);
        c.dispersivityM = logUniform(0.01, 100.0);
        c.decayPerS = unit(random) < 0.3 ? 0.0 : std::log(2.0) / (logUniform(0.1, 1e4) * year);
        c.retardation = logUniform(1.0, 100.0);
        const double arrival = c.distanceM * c.retardation / c.velocityMPerS;
        c.timeS = k % 2 == 0 ? arrival * logUniform(0.1, 10.0) : logUniform(0.1, 1e4) * year;
        add(c);
    }
    for (double peclet : {1.0, 1e3, 1e6})
        for (double years : {1e-6, 1.0, 1e3, 1e7})
            for (double decayPerYear : {0.0, 1.0, 1e3})
                for (double r : {1.0, 1e6})
                    for (double v : {0.0, 1e-7}) {
                        const double x = 100.0;
                        add({1.0, x, years * year, v, x / peclet, decayPerYear / year, r});
                    }
    add({1.0, 0.0, year, 1e-6, 1.0, 0.0, 1.0});         // at the inlet
    add({1.0, 0.0, year, 0.0, 1.0, 0.0, 1.0});          // at the inlet, no flow
    add({2.0, 5.0, 0.0, 1e-6, 1.0, 0.0, 1.0});          // t = 0
    add({2.0, 5.0, -year, 1e-6, 1.0, 0.0, 1.0});        // t < 0
    add({2.0, -1.0, year, 1e-6, 1.0, 0.0, 1.0});        // upstream
    add({0.0, 5.0, year, 1e-6, 1.0, 0.0, 1.0});         // no inlet
    add({1.0, 5.0, year, std::nan(""), 1.0, 0.0, 1.0}); // undefined
    add({1.0, 5.0, year, 1e-6, 1.0, 0.0, 0.0});         // R = 0: only the bounds hold
    // Aquifer receptors far off the centreline, in the tail of the lateral
    // factor, and on it.
    for (double y : {0.0, 30.0, 300.0, -3000.0})
        p.aquifers.push_back({1.0, 200.0, y, 20.0, 50.0 * year, 1e-6, 0.5, 5.0, 0.0, 1.5});
    return p;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

double Single(const ColumnProblem& c) {
    return ExactAdvectionDispersion(c.concentration, c.distanceM, c.timeS, c.velocityMPerS,
                                    c.dispersivityM, c.decayPerS, c.retardation);
}

double Single(const AquiferProblem& a) {
    return ExactAquiferAdvectionDispersion(a.concentration, a.xM, a.yM, a.widthM, a.timeS,
                                           a.velocityMPerS, a.lateralDispersivityM,
                                           a.longitudinalDispersivityM, a.decayPerS, a.retardation);
}

void Batch(ExactRegisterVariant variant, const ColumnProblem* problems, double* results,
           std::size_t count) {
    ExactAdvectionDispersionBatch(variant, problems, results, count);
}

void Batch(ExactRegisterVariant variant, const AquiferProblem* problems, double* results,
           std::size_t count) {
    ExactAquiferAdvectionDispersionBatch(variant, problems, results, count);
}

// Solves the problems in the given order, in consecutive batches of `size`,
// and returns the results in the problems' original order.
template <class Problem>
std::vector<double> Solve(const std::vector<Problem>& problems,
                          const std::vector<std::size_t>& order, std::size_t size,
                          ExactRegisterVariant variant) {
    std::vector<Problem> shuffled;
    for (std::size_t k : order) shuffled.push_back(problems[k]);
    std::vector<double> solved(problems.size(), -1.0);
    for (std::size_t first = 0; first < shuffled.size(); first += size) {
        Batch(variant, shuffled.data() + first, solved.data() + first,
              std::min(size, shuffled.size() - first));
    }
    std::vector<double> results(problems.size());
    for (std::size_t k = 0; k < order.size(); ++k) results[order[k]] = solved[k];
    return results;
}

const ExactRegisterVariant allVariants[] = {ExactRegisterVariant::sse2, ExactRegisterVariant::avx2,
                                            ExactRegisterVariant::avx512,
                                            ExactRegisterVariant::automatic};

// A problem's result must not depend on the problems beside it, its lane,
// its place in the batch, the batch size or the register width: each lane
// performs the same IEEE operations. Every problem solved alone is compared,
// bit for bit, with the same problem in batches of 1, 3, 7, 24 and 100 in
// shuffled orders, with every register width this processor runs.
template <class Problem>
void ExpectBatchesGiveTheSingleCallsBits(const std::vector<Problem>& problems) {
    std::vector<double> single;
    for (const Problem& p : problems) single.push_back(Single(p));
    std::vector<std::size_t> order(problems.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::mt19937_64 random(7);
    int variantsRun = 0;
    for (ExactRegisterVariant variant : allVariants) {
        if (!ExactRegisterVariantAvailable(variant)) continue;
        ++variantsRun;
        for (std::size_t size : {1u, 3u, 7u, 24u, 100u}) {
            std::shuffle(order.begin(), order.end(), random);
            const std::vector<double> batched = Solve(problems, order, size, variant);
            int mismatches = 0;
            for (std::size_t k = 0; k < problems.size(); ++k) {
                if (!SameBits(batched[k], single[k]) && ++mismatches <= 5) {
                    ADD_FAILURE() << "problem " << k << ", batch " << size << ", "
                                  << ExactRegisterLanes(variant) << " lanes: " << batched[k]
                                  << " against " << single[k] << " alone";
                }
            }
        }
    }
    EXPECT_GE(variantsRun, 2); // the baseline and the automatic choice at least
}

TEST_F(ExactBatch, ColumnBatchesGiveTheBitsOfSingleCallsWhateverTheOrderAndRegister) {
    ExpectBatchesGiveTheSingleCallsBits(MakeProblems().columns);
}

TEST_F(ExactBatch, AquiferBatchesGiveTheBitsOfSingleCallsWhateverTheOrderAndRegister) {
    ExpectBatchesGiveTheSingleCallsBits(MakeProblems().aquifers);
}

// The solution of a clean column fed at C, with decay or without, lies
// between 0 and C (the maximum principle), and the lateral factor between
// 0 and 1: over the whole range and its extremes no result may overflow,
// be NaN or leave those bounds.
TEST_F(ExactBatch, ExtremesStayFiniteAndWithinTheInletConcentration) {
    const Problems problems = MakeProblems();
    std::vector<double> columns(problems.columns.size());
    ExactAdvectionDispersionBatch(problems.columns.data(), columns.data(), columns.size());
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const ColumnProblem& p = problems.columns[k];
        EXPECT_TRUE(columns[k] >= 0.0 && columns[k] <= p.concentration * (1.0 + 1e-12))
            << k << ": " << columns[k] << " for an inlet of " << p.concentration;
    }
    std::vector<double> aquifers(problems.aquifers.size());
    ExactAquiferAdvectionDispersionBatch(problems.aquifers.data(), aquifers.data(),
                                         aquifers.size());
    for (std::size_t k = 0; k < aquifers.size(); ++k) {
        const AquiferProblem& p = problems.aquifers[k];
        EXPECT_TRUE(aquifers[k] >= 0.0 && aquifers[k] <= p.concentration * (1.0 + 1e-12))
            << k << ": " << aquifers[k] << " for an inlet of " << p.concentration;
    }
    // At the inlet the solution is the inlet concentration, flow or none;
    // the ones that are 0 by the checks or undefined are 0.
    const std::size_t inlet = problems.columns.size() - 8;
    EXPECT_NEAR(columns[inlet], 1.0, 1e-15);
    EXPECT_NEAR(columns[inlet + 1], 1.0, 1e-15);
    for (std::size_t k = inlet + 2; k < inlet + 7; ++k) EXPECT_EQ(columns[k], 0.0) << k;
}

// Without flow and decay the column is C erfc(x / (2 sqrt(D t))), D = 1e-12
// m2/s; at t = 1e12 s a column 2b metres long gives C erfc(b). Expected
// values: tests/reference/exact_pure_diffusion.py (mpmath at 40 digits),
// across Cody's ranges and into the tail where exp(-b^2) approaches the
// smallest doubles. The bound is a few units in the last place plus the
// rounding of b^2, which the exponential turns into a relative error of
// b^2 units.
TEST_F(ExactBatch, PureDiffusionIsTheComplementaryErrorFunctionIntoItsTail) {
    struct Case {
        double b, expected;
    };
    const Case cases[] = {
        {0.1, 8.875370839817151482e+299},      {0.25, 7.2367360983176310501e+299},
        {0.46875, 5.0738652678206203505e+299}, {0.5, 4.7950012218695348749e+299},
        {1.5, 3.3894853524689274713e+298},     {3.0, 2.2090496998585442533e+295},
        {3.999, 1.5544749490994992349e+292},   {4.0, 1.5417257900280019662e+292},
        {4.001, 1.5290782173248732322e+292},   {6.0, 2.1519736712498914246e+283},
        {9.5, 3.7692144856548801396e+259},     {16.25, 7.2254781962269447399e+183},
        {20.0, 5.3958656116079012122e+124},    {26.0, 56631.924088561431438},
        {26.5, 2.210907664263734392e-7},
    };
    std::vector<ColumnProblem> problems;
    for (const Case& c : cases) problems.push_back({1e300, 2.0 * c.b, 1e12, 0.0, 1.0, 0.0, 1.0});
    std::vector<double> results(problems.size());
    ExactAdvectionDispersionBatch(problems.data(), results.data(), problems.size());
    for (std::size_t k = 0; k < problems.size(); ++k) {
        const Case& c = cases[k];
        const double bound = 2.2e-16 * (8.0 + c.b * c.b) * c.expected;
        EXPECT_NEAR(results[k], c.expected, bound) << "b = " << c.b;
    }
}

// The checks run over the whole batch before anything is computed: a bad
// problem anywhere throws the reference kernel's message for it, and no
// result is written. A problem with t <= 0 is 0 whatever else it holds, as
// in the reference.
TEST_F(ExactBatch, ChecksTheWholeBatchBeforeWritingAResult) {
    const ColumnProblem good{1.0, 5.0, year, 1e-6, 1.0, 0.0, 1.0};
    const ColumnProblem badColumns[] = {
        {1.0, 5.0, year, 1e-6, 0.0, 0.0, 1.0},  // zero dispersivity
        {1.0, 5.0, year, -1e-6, 1.0, 0.0, 1.0}, // negative velocity
    };
    for (const ColumnProblem& bad : badColumns) {
        std::string expected;
        try {
            SolveAdvectionDispersion(bad.concentration, bad.distanceM, bad.timeS, bad.velocityMPerS,
                                     bad.dispersivityM, bad.decayPerS, bad.retardation);
        } catch (const Exception& e) {
            expected = e.what();
        }
        ASSERT_FALSE(expected.empty());
        std::vector<ColumnProblem> batch(30, good);
        batch[29] = bad;
        std::vector<double> results(batch.size(), -7.0);
        try {
            ExactAdvectionDispersionBatch(batch.data(), results.data(), batch.size());
            ADD_FAILURE() << "no exception for " << expected;
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), expected);
        }
        EXPECT_EQ(std::count(results.begin(), results.end(), -7.0), 30);
        // Before the inlet is switched on nothing is checked.
        ColumnProblem early = bad;
        early.timeS = 0.0;
        EXPECT_EQ(ExactAdvectionDispersion(early.concentration, early.distanceM, early.timeS,
                                           early.velocityMPerS, early.dispersivityM,
                                           early.decayPerS, early.retardation),
                  0.0);
    }

    const AquiferProblem goodAquifer{1.0, 50.0, 2.0, 20.0, year, 1e-6, 0.5, 5.0, 0.0, 1.5};
    AquiferProblem negativeLateral = goodAquifer, negativeVelocity = goodAquifer;
    negativeLateral.lateralDispersivityM = -0.5;
    negativeVelocity.velocityMPerS = -1e-6;
    for (const AquiferProblem& bad : {negativeLateral, negativeVelocity}) {
        std::string expected;
        try {
            SolveAquiferAdvectionDispersion(bad.concentration, bad.xM, bad.yM, bad.widthM,
                                            bad.timeS, bad.velocityMPerS, bad.lateralDispersivityM,
                                            bad.longitudinalDispersivityM, bad.decayPerS,
                                            bad.retardation);
        } catch (const Exception& e) {
            expected = e.what();
        }
        ASSERT_FALSE(expected.empty());
        std::vector<AquiferProblem> batch(17, goodAquifer);
        batch[16] = bad;
        std::vector<double> results(batch.size(), -7.0);
        try {
            ExactAquiferAdvectionDispersionBatch(batch.data(), results.data(), batch.size());
            ADD_FAILURE() << "no exception for " << expected;
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), expected);
        }
        EXPECT_EQ(std::count(results.begin(), results.end(), -7.0), 17);
    }
}

} // namespace
} // namespace varnex
