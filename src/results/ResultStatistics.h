#pragma once

#include <utility>
#include <vector>

namespace varnex {

class ResultVector;

// A point of a result graph: (value, probability) or (time, value).
struct GraphPoint {
    double x = 0.0;
    double y = 0.0;
};

// The nearest-rank percentile of ascending values: index
// ceil((n * level) * 0.01) - 1, clamped to 0..n-1; 0 for no values.
double Percentile(const std::vector<double>& sorted, int level);

// Sorts ascending in a total order, so that any value (infinities, NaN)
// sorts safely.
void SortValues(std::vector<double>& values);

// Cumulative frequency: (value[i], i / (n - 1)) of the ascending values;
// reverse: of the descending values, listed from i = n - 1 down to 0. A
// single value is the point (value, 1).
std::vector<GraphPoint> CumulativePoints(const ResultVector& vector, bool reverse);

// One point per time slice: (time in years, percentile value of the
// vector of that time slice) for percentile index 0..6.
std::vector<GraphPoint> TimeHistoryPoints(const std::vector<double>& timeSlices,
                                          const std::vector<ResultVector>& perTimeSlice,
                                          int percentileIndex);

// The fraction of values strictly above the standard (a concentration
// exceeding its water quality standard).
double ExceedanceProbability(const std::vector<double>& values, double standard);

// A distribution-free 95 % confidence interval of the level's percentile from
// the order statistics of the ascending values (binomial method: the ranks
// whose binomial(n, level/100) probabilities enclose at least 95 %). Returns
// the values at those ranks; for too few values the interval is the whole
// range.
std::pair<double, double> PercentileConfidenceInterval95(const std::vector<double>& sorted,
                                                         int level);

} // namespace varnex
