// Convergence of a result's statistics with the iterations: the prefix
// lengths, the running mean and percentiles against a direct computation on
// each prefix, and the iterations needed for a given width of the 95th
// percentile's interval against the asymptotic law of order statistics.

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "results/Convergence.h"

namespace varnex {
namespace {

TEST(Convergence, AboutFiftyPrefixesFromTenToAll) {
    EXPECT_TRUE(ConvergenceIterationCounts(0).empty());
    EXPECT_EQ(ConvergenceIterationCounts(4), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(ConvergenceIterationCounts(10), (std::vector<int>{10}));
    for (int n : {11, 50, 101, 1001, 10000}) {
        SCOPED_TRACE(n);
        const std::vector<int> counts = ConvergenceIterationCounts(n);
        EXPECT_EQ(counts.front(), 10);
        EXPECT_EQ(counts.back(), n);
        EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
        EXPECT_EQ(std::adjacent_find(counts.begin(), counts.end()), counts.end());
        EXPECT_LE(counts.size(), 51u);
        if (n >= 1001) {
            EXPECT_GE(counts.size(), 45u);
        }
    }
    // Evenly spaced in log(m): the middle point of 10 .. 10000 is near 316.
    const std::vector<int> counts = ConvergenceIterationCounts(10000);
    EXPECT_NEAR(counts[counts.size() / 2], 316, 60);
}

// Nearest rank: index ceil(m p) - 1 of the sorted prefix, written here
// directly.
double NearestRank(std::vector<double> prefix, double p) {
    std::sort(prefix.begin(), prefix.end());
    const std::size_t index =
        static_cast<std::size_t>(std::max(0.0, std::ceil(prefix.size() * p - 1e-9) - 1.0));
    return prefix[std::min(index, prefix.size() - 1)];
}

TEST(Convergence, RunningStatisticsAreThoseOfEachPrefix) {
    std::mt19937_64 random(5);
    std::lognormal_distribution<double> law(0.0, 1.0);
    std::vector<double> values(2000);
    for (double& v : values) v = law(random);
    const std::vector<ConvergencePoint> points = ConvergenceOf(values);
    ASSERT_EQ(points.size(), ConvergenceIterationCounts(2000).size());
    for (const ConvergencePoint& point : points) {
        SCOPED_TRACE(point.iterations);
        const std::vector<double> prefix(values.begin(), values.begin() + point.iterations);
        const double mean = std::accumulate(prefix.begin(), prefix.end(), 0.0L) /
                            static_cast<long double>(prefix.size());
        EXPECT_NEAR(point.mean, mean, 1e-12 * mean);
        EXPECT_EQ(point.median, NearestRank(prefix, 0.50));
        EXPECT_EQ(point.p95, NearestRank(prefix, 0.95));
        EXPECT_LE(point.medianLow, point.median);
        EXPECT_GE(point.medianHigh, point.median);
        EXPECT_LE(point.p95Low, point.p95);
        EXPECT_GE(point.p95High, point.p95);
    }
    // The intervals narrow as the iterations grow.
    EXPECT_LT(points.back().p95High - points.back().p95Low,
              0.5 * (points[points.size() / 2].p95High - points[points.size() / 2].p95Low));
    // A NaN among the values sorts last and does not disturb the others.
    values[3] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(ConvergenceOf(values).back().median,
              NearestRank(std::vector<double>(values.begin(), values.end()), 0.50));
}

// For the standard exponential law the 95th percentile is x = ln 20 with
// density f = 0.05 there; the interval's half-width at N values is about
// 1.96 sqrt(0.95 * 0.05 / N) / f, so a half-width of 10 % of x needs
// N = (1.96 sqrt(0.0475) / (0.05 * 0.1 * ln 20))^2 = 813 iterations.
TEST(Convergence, IterationsForAPercentileWidthFollowTheOrderStatisticsLaw) {
    const int n = 20000;
    std::vector<double> values(n);
    for (int i = 0; i < n; ++i) values[static_cast<std::size_t>(i)] = -std::log1p(-(i + 0.5) / n);
    std::shuffle(values.begin(), values.end(), std::mt19937(1));
    const double expected = std::pow(1.96 * std::sqrt(0.0475) / (0.05 * 0.1 * std::log(20.0)), 2.0);
    const std::optional<long long> needed = IterationsForPercentileWidth(values, 0.1);
    ASSERT_TRUE(needed.has_value());
    EXPECT_NEAR(static_cast<double>(*needed), expected, 0.05 * expected);
    // Half the width needs four times the iterations.
    EXPECT_NEAR(static_cast<double>(*IterationsForPercentileWidth(values, 0.05)), 4.0 * expected,
                0.2 * expected);
    // No relative width of a zero percentile, or of nothing.
    EXPECT_FALSE(IterationsForPercentileWidth(std::vector<double>(100, 0.0), 0.1).has_value());
    EXPECT_FALSE(IterationsForPercentileWidth({}, 0.1).has_value());
    EXPECT_FALSE(IterationsForPercentileWidth(values, 0.0).has_value());
}

} // namespace
} // namespace varnex
