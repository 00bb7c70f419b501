#include "results/Convergence.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "results/ResultStatistics.h"

namespace varnex {

std::vector<int> ConvergenceIterationCounts(int n) {
    std::vector<int> counts;
    if (n <= 0) return counts;
    if (n < 10) {
        for (int m = 1; m <= n; ++m) counts.push_back(m);
        return counts;
    }
    constexpr int points = 50;
    const double span = std::log(static_cast<double>(n) / 10.0);
    for (int k = 0; k < points; ++k) {
        const int m = static_cast<int>(
            std::lround(10.0 * std::exp(span * k / static_cast<double>(points - 1))));
        if (counts.empty() || m > counts.back()) counts.push_back(std::min(m, n));
    }
    if (counts.back() != n) counts.push_back(n);
    return counts;
}

std::vector<ConvergencePoint> ConvergenceOf(const std::vector<double>& values) {
    std::vector<ConvergencePoint> points;
    // The prefix is kept sorted: each new stretch of values is sorted and
    // merged in, so that 50 points cost about one sort of all the values.
    // NaN sorts last, as SortValues puts it.
    const auto before = [](double a, double b) { return std::isnan(b) ? !std::isnan(a) : a < b; };
    std::vector<double> sorted;
    sorted.reserve(values.size());
    long double sum = 0.0L;
    std::size_t taken = 0;
    for (int m : ConvergenceIterationCounts(static_cast<int>(values.size()))) {
        const std::size_t start = sorted.size();
        for (; taken < static_cast<std::size_t>(m); ++taken) {
            sum += values[taken];
            sorted.push_back(values[taken]);
        }
        std::sort(sorted.begin() + static_cast<std::ptrdiff_t>(start), sorted.end(), before);
        std::inplace_merge(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(start),
                           sorted.end(), before);
        ConvergencePoint point;
        point.iterations = m;
        point.mean = static_cast<double>(sum / static_cast<long double>(m));
        point.median = Percentile(sorted, 50);
        std::tie(point.medianLow, point.medianHigh) = PercentileConfidenceInterval95(sorted, 50);
        point.p95 = Percentile(sorted, 95);
        std::tie(point.p95Low, point.p95High) = PercentileConfidenceInterval95(sorted, 95);
        points.push_back(point);
    }
    return points;
}

std::optional<long long> IterationsForPercentileWidth(const std::vector<double>& values,
                                                      double relativeHalfWidth) {
    if (values.empty() || !(relativeHalfWidth > 0.0)) return std::nullopt;
    std::vector<double> sorted = values;
    SortValues(sorted);
    const double p95 = Percentile(sorted, 95);
    if (p95 == 0.0 || !std::isfinite(p95)) return std::nullopt;
    const auto [low, high] = PercentileConfidenceInterval95(sorted, 95);
    const double relative = 0.5 * (high - low) / std::fabs(p95);
    if (!std::isfinite(relative)) return std::nullopt;
    const double ratio = relative / relativeHalfWidth;
    const double needed = std::ceil(static_cast<double>(values.size()) * ratio * ratio);
    return static_cast<long long>(std::max(needed, 1.0));
}

} // namespace varnex
