// Percentiles, sorting, the points of the result graphs, exceedance and the
// order-statistic confidence interval of a percentile.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numeric>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

#include "results/ResultStatistics.h"
#include "results/ResultVector.h"
#include "stochastic/IterationCount.h"
#include "support/Expectations.h"
#include "support/ScriptedRandomSource.h"
namespace varnex {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// 1, 2, ..., n: the value at a rank is the rank.
std::vector<double> Ranks(std::size_t n) {
    std::vector<double> values(n);
    std::iota(values.begin(), values.end(), 1.0);
    return values;
}

using test::VectorOf;

class ResultStatisticsTest : public ::testing::Test {
protected:
    void SetUp() override { test::ResetProgramState(); }
};

// --- Percentile --------------------------------------------------------------

TEST_F(ResultStatisticsTest, PercentileIndexIsTheNearestRankClamped) {
    const std::vector<double> twenty = Ranks(20);
    // n = 20: level 5 gives ceil(1) - 1 = 0, level 95 gives ceil(19) - 1 = 18;
    // level 96 gives ceil(19.2) - 1 = 19.
    EXPECT_EQ(Percentile(twenty, 5), 1);
    EXPECT_EQ(Percentile(twenty, 95), 19);
    EXPECT_EQ(Percentile(twenty, 96), 20);
    // Level 0 gives -1 and levels beyond 100 give n or more: clamped.
    EXPECT_EQ(Percentile(twenty, 0), 1);
    EXPECT_EQ(Percentile(twenty, -50), 1);
    EXPECT_EQ(Percentile(twenty, 100), 20);
    EXPECT_EQ(Percentile(twenty, 250), 20);
    EXPECT_EQ(Percentile(twenty, std::numeric_limits<int>::max()), 20);
    // One value is every percentile; no values give 0.
    EXPECT_EQ(Percentile({7}, 5), 7);
    EXPECT_EQ(Percentile({7}, 95), 7);
    EXPECT_EQ(Percentile({}, 50), 0);
}

// --- SortValues --------------------------------------------------------------

TEST_F(ResultStatisticsTest, SortIsAscendingWithNaNLastAndNeverMisbehaves) {
    std::vector<double> small{nan, 3, -inf, nan, 1, inf, -0.0};
    SortValues(small);
    EXPECT_EQ(std::vector<double>(small.begin(), small.begin() + 5),
              (std::vector<double>{-inf, 0, 1, 3, inf}));
    EXPECT_TRUE(std::isnan(small[5]) && std::isnan(small[6]));

    // Enough values for the introsort's partitioning and unguarded insertion
    // passes, which with a plain < and NaN present can run off the array
    // (caught by the sanitizer build) or leave the numbers unsorted.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> uniform(-1e6, 1e6);
    std::vector<double> values;
    int nans = 0;
    for (int i = 0; i < 5000; ++i) {
        const int pick = int(random() % 10);
        if (pick == 0) {
            values.push_back(nan);
            ++nans;
        } else if (pick == 1) {
            values.push_back(-std::numeric_limits<double>::quiet_NaN());
            ++nans;
        } else if (pick == 2) {
            values.push_back(random() % 2 ? inf : -inf);
        } else {
            values.push_back(uniform(random));
        }
    }
    SortValues(values);
    const auto firstNaN = values.end() - nans;
    EXPECT_TRUE(std::is_sorted(values.begin(), firstNaN));
    EXPECT_TRUE(std::none_of(values.begin(), firstNaN, [](double x) { return std::isnan(x); }));
    EXPECT_TRUE(std::all_of(firstNaN, values.end(), [](double x) { return std::isnan(x); }));
}

// --- Graph points ------------------------------------------------------------

using Points = std::vector<std::pair<double, double>>;

Points AsPairs(const std::vector<GraphPoint>& points) {
    Points pairs;
    for (const GraphPoint& point : points) pairs.emplace_back(point.x, point.y);
    return pairs;
}

TEST_F(ResultStatisticsTest, CumulativePointsBothWays) {
    const ResultVector three = VectorOf({3, 1, 2});
    // Ascending values against i / (n - 1).
    EXPECT_EQ(AsPairs(CumulativePoints(three, false)), (Points{{1, 0}, {2, 0.5}, {3, 1}}));
    // Reverse: descending values (3, 2, 1) listed from i = 2 down to 0, so
    // each value is paired with the probability of exceeding it.
    EXPECT_EQ(AsPairs(CumulativePoints(three, true)), (Points{{1, 1}, {2, 0.5}, {3, 0}}));
    // A single iteration: one point at probability 1, either way.
    EXPECT_EQ(AsPairs(CumulativePoints(VectorOf({4}), false)), (Points{{4, 1}}));
    EXPECT_EQ(AsPairs(CumulativePoints(VectorOf({4}), true)), (Points{{4, 1}}));
    EXPECT_TRUE(CumulativePoints(VectorOf({}), false).empty());
    EXPECT_TRUE(CumulativePoints(VectorOf({}), true).empty());
}

TEST_F(ResultStatisticsTest, CumulativeProbabilityIsIndexTimesReciprocal) {
    // With n = 50 the top probability is 49 * (1 / 49), which in double is
    // 0.9999999999999999 (1/49 rounds down), not the 1 of 49 / 49.
    const std::vector<GraphPoint> points = CumulativePoints(VectorOf(Ranks(50)), false);
    ASSERT_EQ(points.size(), 50u);
    EXPECT_EQ(points.back().x, 50);
    EXPECT_EQ(points.back().y, 0.9999999999999999);
    EXPECT_EQ(CumulativePoints(VectorOf(Ranks(50)), true).front().y, 0.9999999999999999);
}

TEST_F(ResultStatisticsTest, TimeHistoryTakesOnePercentilePerTimeSlice) {
    std::vector<ResultVector> perSlice{VectorOf({1, 2, 3}), VectorOf({10, 20, 30}), VectorOf({5})};
    for (ResultVector& v : perSlice) v.ComputeStatistics();
    // Percentile index 3 is the median; index 6 (95 %) the top of n = 3.
    EXPECT_EQ(AsPairs(TimeHistoryPoints({10, 100, 1000}, perSlice, 3)),
              (Points{{10, 2}, {100, 20}, {1000, 5}}));
    EXPECT_EQ(AsPairs(TimeHistoryPoints({10, 100, 1000}, perSlice, 6)),
              (Points{{10, 3}, {100, 30}, {1000, 5}}));
    // Only as many points as both lists have.
    EXPECT_EQ(TimeHistoryPoints({10, 100}, perSlice, 3).size(), 2u);
    EXPECT_EQ(TimeHistoryPoints({10, 100, 1000, 5000}, perSlice, 3).size(), 3u);
    EXPECT_THROW(TimeHistoryPoints({10}, perSlice, 7), std::out_of_range);
}

TEST_F(ResultStatisticsTest, ExceedanceCountsValuesStrictlyAboveTheStandard) {
    // Two of {0, 1, 2, 3} exceed 1 (1 itself does not).
    EXPECT_EQ(ExceedanceProbability({0, 1, 2, 3}, 1), 0.5);
    EXPECT_EQ(ExceedanceProbability({0, 1, 2, 3}, -1), 1);
    EXPECT_EQ(ExceedanceProbability({0, 1, 2, 3}, 3), 0);
    EXPECT_EQ(ExceedanceProbability({}, 1), 0);
    EXPECT_EQ(ExceedanceProbability({nan, inf, 0, 0}, 1), 0.25); // NaN exceeds nothing
}

// --- Confidence interval of a percentile --------------------------------------

// An independent binomial for checking the defining conditions: the
// probabilities from lgamma in double, summed directly.
double BinomialProbability(int n, double p, int k) {
    return std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0) +
                    k * std::log(p) + (n - k) * std::log1p(-p));
}
double BelowRank(int n, double p, int rank) { // P(X < rank) = P(X <= rank - 1)
    double sum = 0;
    for (int k = 0; k < rank; ++k) sum += BinomialProbability(n, p, k);
    return sum;
}
double AtOrAboveRank(int n, double p, int rank) { // P(X >= rank)
    double sum = 0;
    for (int k = rank; k <= n; ++k) sum += BinomialProbability(n, p, k);
    return sum;
}

std::pair<double, double> IntervalRanks(std::size_t n, int level) {
    return PercentileConfidenceInterval95(Ranks(n), level);
}

TEST_F(ResultStatisticsTest, ConfidenceIntervalRanksOfClassicCases) {
    using Pair = std::pair<double, double>;
    // n = 10, median: P(X <= 1) = 11/1024 = 0.0107 <= 0.025 < P(X <= 2) =
    // 56/1024, so l = 2; by symmetry u = 9; coverage 1 - 22/1024 = 97.9 %.
    EXPECT_EQ(IntervalRanks(10, 50), (Pair{2, 9}));
    // n = 100, median: the tabulated ranks (40, 61), P(X <= 39) = 0.0176 and
    // P(X <= 40) = 0.0284 (exact binomial sums).
    EXPECT_EQ(IntervalRanks(100, 50), (Pair{40, 61}));
    // The ranks below and those for n = 1000 and n = 10,000 were found by
    // exact rational (big-integer) binomial sums, computed separately. The
    // n = 10,000 cases check that the probabilities stay accurate where
    // (1 - p)^n underflows a double.
    EXPECT_EQ(IntervalRanks(20, 50), (Pair{6, 15}));
    EXPECT_EQ(IntervalRanks(200, 90), (Pair{171, 189}));
    EXPECT_EQ(IntervalRanks(1000, 5), (Pair{37, 65}));
    EXPECT_EQ(IntervalRanks(1000, 95), (Pair{936, 964}));
    EXPECT_EQ(IntervalRanks(10000, 50), (Pair{4902, 5099}));
    EXPECT_EQ(IntervalRanks(10000, 95), (Pair{9457, 9543}));
    // The returned numbers are the values at those ranks, not the ranks.
    std::vector<double> scaled = Ranks(10);
    for (double& v : scaled) v *= 0.5;
    EXPECT_EQ(PercentileConfidenceInterval95(scaled, 50), (Pair{1, 4.5}));
}

TEST_F(ResultStatisticsTest, ConfidenceIntervalForFewValuesOrExtremeLevels) {
    using Pair = std::pair<double, double>;
    EXPECT_EQ(PercentileConfidenceInterval95({}, 50), (Pair{0, 0}));
    EXPECT_EQ(PercentileConfidenceInterval95({7}, 50), (Pair{7, 7}));
    // n = 5, median: even (x_(1), x_(5)) covers only 1 - 2/32 = 93.75 %: the
    // whole range is all there is. n = 6 covers 1 - 2/64 = 96.9 % with it.
    EXPECT_EQ(IntervalRanks(5, 50), (Pair{1, 5}));
    EXPECT_EQ(IntervalRanks(6, 50), (Pair{1, 6}));
    // n = 40, 5 %: P(X = 0) = 0.95^40 = 0.129, so no interval reaches 95 %.
    EXPECT_EQ(IntervalRanks(40, 5), (Pair{1, 40}));
    EXPECT_EQ(IntervalRanks(40, 95), (Pair{1, 40}));
    EXPECT_EQ(IntervalRanks(30, 0), (Pair{1, 30}));
    EXPECT_EQ(IntervalRanks(30, 100), (Pair{1, 30}));

    // n = 60, 5 %: P(X = 0) = 0.95^60 = 0.0461 exceeds 2.5 %, so l = 1 and
    // the upper tail may use only 0.05 - 0.0461 = 0.0039: P(X >= 9) = 0.0028
    // fits, P(X >= 8) = 0.0098 does not, so u = 9, coverage 95.1 %. (u = 8,
    // from a fixed 2.5 % tail, would cover only 94.4 %.) The 95 % level is
    // the mirror image.
    EXPECT_EQ(IntervalRanks(60, 5), (Pair{1, 9}));
    EXPECT_EQ(IntervalRanks(60, 95), (Pair{52, 60}));
}

TEST_F(ResultStatisticsTest, ConfidenceIntervalMeetsItsDefinitionAcrossSizes) {
    // Against an independent binomial: the equal-tail ranks are extreme
    // (one more step inward breaks the 2.5 % tail), or, where one tail is
    // pinned at the first or last rank, the coverage still reaches 95 %.
    for (const int n : {8, 13, 30, 61, 99, 250, 1001}) {
        for (const int level : {5, 10, 25, 50, 75, 90, 95}) {
            const double p = level / 100.0;
            const auto [lowValue, highValue] = IntervalRanks(std::size_t(n), level);
            const int l = int(lowValue);
            const int u = int(highValue);
            const double wholeCoverage =
                1 - BinomialProbability(n, p, 0) - BinomialProbability(n, p, n);
            SCOPED_TRACE(testing::Message() << "n = " << n << ", level " << level);
            if (wholeCoverage < 0.95) {
                EXPECT_EQ(l, 1);
                EXPECT_EQ(u, n);
                continue;
            }
            ASSERT_LT(l, u);
            const double below = BelowRank(n, p, l);
            const double above = AtOrAboveRank(n, p, u);
            EXPECT_GE(1 - below - above, 0.95 - 1e-12);
            if (below <= 0.025 && above <= 0.025) {
                EXPECT_GT(BelowRank(n, p, l + 1), 0.025);
                EXPECT_GT(AtOrAboveRank(n, p, u - 1), 0.025);
            }
        }
    }
}

} // namespace
} // namespace varnex
