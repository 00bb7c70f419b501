#include "results/ResultStatistics.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "results/ResultVector.h"

namespace varnex {

namespace {

// The probabilities P(X = k), k = 0..n, of X ~ Binomial(n, p) for 0 < p < 1.
//
// Built by the ratio recurrence P(k + 1) / P(k) = (n - k) / (k + 1) * p / q
// outward from the mode m = floor((n + 1) p), where the weight is set to 1,
// and normalised by the total at the end. Every ratio taken moving away from
// the mode is below 1, so nothing overflows; terms far in the tails underflow
// harmlessly to 0. This avoids both the cancellation of (1 - p)^n-style
// starting values, which underflow double precision for n in the thousands,
// and lgamma, which is not thread-safe in glibc (it writes signgam). Long
// double keeps the relative error of the 10,000-term total near 1e-15.
std::vector<long double> BinomialProbabilities(std::size_t n, long double p) {
    const long double q = 1.0L - p;
    std::vector<long double> weight(n + 1, 0.0L);
    const auto mode =
        std::min(n, static_cast<std::size_t>(std::floor(static_cast<long double>(n + 1) * p)));
    weight[mode] = 1.0L;
    for (std::size_t k = mode; k > 0; --k) {
        weight[k - 1] = weight[k] *
                        (static_cast<long double>(k) / static_cast<long double>(n - k + 1)) *
                        (q / p);
    }
    for (std::size_t k = mode; k < n; ++k) {
        weight[k + 1] = weight[k] *
                        (static_cast<long double>(n - k) / static_cast<long double>(k + 1)) *
                        (p / q);
    }
    long double total = 0.0L;
    for (const long double w : weight) total += w;
    for (long double& w : weight) w /= total;
    return weight;
}

} // namespace

double Percentile(const std::vector<double>& sorted, int level) {
    const std::size_t n = sorted.size();
    if (n == 0) return 0.0;
    // Levels outside 0..100 give the same clamped index as 0 or 100 would;
    // clamping first keeps the integer product n * level from overflowing.
    const long long product = static_cast<long long>(n) * std::clamp(level, 0, 100);
    // Nearest rank: the smallest value with at least level % of the values at
    // or below it. The scaling by 0.01 (not a division by 100) and the
    // rounding up are in double, which fixes the index at exact multiples.
    const double rank = std::ceil(static_cast<double>(product) * 0.01) - 1.0;
    if (rank >= static_cast<double>(n)) return sorted[n - 1];
    if (rank < 0.0) return sorted[0];
    return sorted[static_cast<std::size_t>(rank)];
}

void SortValues(std::vector<double>& values) {
    // operator< is not a strict weak ordering once a NaN is present, and
    // std::sort may then read out of bounds. NaNs are moved to the end first;
    // the rest (infinities included) is totally ordered by operator<, with
    // -0 and +0 equivalent.
    const auto numbers =
        std::partition(values.begin(), values.end(), [](double x) { return !std::isnan(x); });
    std::sort(values.begin(), numbers);
}

std::vector<GraphPoint> CumulativePoints(const ResultVector& vector, bool reverse) {
    std::vector<double> sorted(vector.Values());
    SortValues(sorted);
    const std::size_t n = sorted.size();
    std::vector<GraphPoint> points;
    if (n == 0) return points;
    if (n == 1) {
        // i / (n - 1) is 0 / 0 here: a single iteration is drawn as certain,
        // the top of the cumulative curve.
        points.push_back({sorted[0], 1.0});
        return points;
    }
    points.reserve(n);
    // The probability is i times the reciprocal, not i / (n - 1): the two
    // differ in the last bit for some n, and the graphs have always plotted
    // the former.
    const double step = 1.0 / static_cast<double>(n - 1);
    if (!reverse) {
        for (std::size_t i = 0; i < n; ++i)
            points.push_back({sorted[i], static_cast<double>(i) * step});
    } else {
        std::reverse(sorted.begin(), sorted.end());
        for (std::size_t i = n; i-- > 0;)
            points.push_back({sorted[i], static_cast<double>(i) * step});
    }
    return points;
}

std::vector<GraphPoint> TimeHistoryPoints(const std::vector<double>& timeSlices,
                                          const std::vector<ResultVector>& perTimeSlice,
                                          int percentileIndex) {
    const std::size_t count = std::min(timeSlices.size(), perTimeSlice.size());
    std::vector<GraphPoint> points;
    points.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        points.push_back({timeSlices[k], perTimeSlice[k].PercentileValue(percentileIndex)});
    }
    return points;
}

double ExceedanceProbability(const std::vector<double>& values, double standard) {
    if (values.empty()) return 0.0;
    const auto above =
        std::count_if(values.begin(), values.end(), [standard](double x) { return x > standard; });
    return static_cast<double>(above) / static_cast<double>(values.size());
}

// Distribution-free confidence interval for the quantile xi_p from order
// statistics (Conover, Practical Nonparametric Statistics, 3rd ed., 1999,
// section 3.2; Hahn & Meeker, Statistical Intervals, 1991, chapter 5).
//
// For a continuous distribution the number X of the n values below xi_p is
// Binomial(n, p), so the order statistics x_(l) <= x_(u) (1-based ranks)
// satisfy P(x_(l) <= xi_p < x_(u)) = P(l <= X <= u - 1). The ranks are chosen
// with equal tails: l is the largest rank with P(X < l) <= 0.025 and u the
// smallest with P(X >= u) <= 0.025, so the coverage is at least 95 %, the
// closest interval to n p of that form.
//
// For small n or extreme p one tail cannot be met even at the end rank (for
// example P(X = 0) = (1 - p)^n > 0.025): that rank is then fixed at 1 (or n)
// and the other tail may only use what is left of the 5 %, so the coverage
// still reaches 95 %. If even (x_(1), x_(n)), coverage 1 - q^n - p^n, falls
// short, no interval from the sample reaches 95 % and the whole range is
// returned.
std::pair<double, double> PercentileConfidenceInterval95(const std::vector<double>& sorted,
                                                         int level) {
    const std::size_t n = sorted.size();
    if (n == 0) return {0.0, 0.0};
    const std::pair<double, double> wholeRange{sorted.front(), sorted.back()};
    // The 0th and 100th percentiles have no two-sided interval inside the
    // sample (X is then always 0 or always n).
    if (level <= 0 || level >= 100) return wholeRange;

    const long double alpha = 0.05L;
    const std::vector<long double> probability =
        BinomialProbabilities(n, static_cast<long double>(level) / 100.0L);
    const long double none = probability[0]; // P(X = 0)
    const long double all = probability[n];  // P(X = n)
    if (1.0L - none - all < 1.0L - alpha) return wholeRange;

    long double lowerBudget = alpha / 2;
    long double upperBudget = alpha / 2;
    if (none > alpha / 2) {
        upperBudget = alpha - none;
    } else if (all > alpha / 2) {
        lowerBudget = alpha - all;
    }

    // P(X < l) grows with l: advance while the next rank still fits.
    std::size_t lower = 1;
    long double belowLower = probability[0]; // P(X < lower)
    while (lower < n && belowLower + probability[lower] <= lowerBudget) {
        belowLower += probability[lower];
        ++lower;
    }
    // P(X >= u) grows as u falls; summed from the upper end, not as
    // 1 - P(X < u), so that small tails keep their precision.
    std::size_t upper = n;
    long double fromUpper = probability[n]; // P(X >= upper)
    while (upper > 1 && fromUpper + probability[upper - 1] <= upperBudget) {
        fromUpper += probability[upper - 1];
        --upper;
    }
    // Tails totalling at most 5 % cannot overlap, so lower < upper here.
    return {sorted[lower - 1], sorted[upper - 1]};
}

} // namespace varnex
