#pragma once

#include <optional>
#include <vector>

namespace varnex {

// How a result's statistics settle as iterations accumulate, to judge
// whether a run had enough of them: at growing prefix lengths m of the
// values in iteration order, the mean of the first m values and their 50th
// and 95th nearest-rank percentiles with the distribution-free 95 %
// confidence intervals of ResultStatistics.h. For a Latin hypercube run a
// prefix is not itself stratified, so its spread overstates that of a run
// of m iterations; the intervals, which assume independent values, are
// conservative for it in the same way.
struct ConvergencePoint {
    int iterations = 0;
    double mean = 0.0;
    double median = 0.0, medianLow = 0.0, medianHigh = 0.0;
    double p95 = 0.0, p95Low = 0.0, p95High = 0.0;
};

// About 50 prefix lengths from 10 to n, spaced evenly in log(m), each an
// integer, increasing, the last n; all of 1 .. n when n < 10.
std::vector<int> ConvergenceIterationCounts(int n);

std::vector<ConvergencePoint> ConvergenceOf(const std::vector<double>& values);

// The iterations a run would need for the 95th percentile's 95 % confidence
// interval to have a half-width of `relativeHalfWidth` of the percentile,
// estimated from the interval of all the values by the 1/sqrt(N) law of
// order statistics (the half-width of an order-statistic interval is about
// 1.96 sqrt(p (1 - p) / N) / f(x_p)): N (h / (target x_p))^2, rounded up.
// None when the percentile is 0 or not finite (no relative width exists).
std::optional<long long> IterationsForPercentileWidth(const std::vector<double>& values,
                                                      double relativeHalfWidth);

} // namespace varnex
