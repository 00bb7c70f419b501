#pragma once

#include <cstddef>
#include <vector>

#include "stochastic/CorrelationOutcome.h"

namespace varnex {

// Rank correlation between sampled inputs, by reordering: the correlated
// input keeps exactly the values it drew, and only which iteration receives
// which value changes.
//
// The method mixes the two inputs, each scaled by its largest sample:
//   z[i] = rho * x[i] / max(x) + sqrt(1 - rho^2) * y[i] / max(y),
// then gives the k-th smallest y to the iteration holding the k-th smallest
// z. As |rho| grows the mixture, and with it y's order, leans towards x's
// order (towards its reverse for a negative rho). The rank correlation
// reached is close to rho but not exact; SpearmanRankCorrelation measures it.

// The positions of z from smallest to largest, as the gap-exchange sort
// leaves them: starting from 0, 1, ..., n - 1, for the gaps 3, 2 and 1 the
// entries at j and j + gap are exchanged whenever z of the later is
// strictly less, pass after pass, until a pass exchanges nothing. The order
// of equal values of z depends on that procedure, so it is reproduced
// exactly, in O(n log n): passes of one gap only ever compare positions in
// the same class modulo the gap, each pass is one bubble-sort pass over
// every class, and bubble sort with a strict comparison is a stable sort.
// So each gap amounts to a stable sort of each class of positions. z must
// hold no NaN (every other value, infinities included, is ordered).
std::vector<std::size_t> GapExchangeRanking(const std::vector<double>& z);

// Reorders y to follow the mixture of x and y for the requested rho (see
// above), or leaves y unchanged and says why: rho 0 (zeroValue), rho not a
// number from -1 to 1 (invalidRecord), different lengths
// (sampleCountsDiffer), no samples (noSamples), a sample or a mixture value
// that is not finite (nonFiniteSamples), a largest x or y not above 0
// (nonPositiveMaximum). x is never changed.
CorrelationStatus RankCorrelate(const std::vector<double>& x, std::vector<double>& y, double rho);

// The same; true when y was reordered.
inline bool InduceRankCorrelation(const std::vector<double>& x, std::vector<double>& y,
                                  double rho) {
    return RankCorrelate(x, y, rho) == CorrelationStatus::applied;
}

// 1-based ranks, tied values sharing the average of their ranks. v must
// hold no NaN.
std::vector<double> AverageRanks(const std::vector<double>& v);

// Spearman's rank correlation: the Pearson correlation of the average ranks.
// NaN when the lengths differ, there are fewer than two values, a value is
// NaN, or either side is constant.
double SpearmanRankCorrelation(const std::vector<double>& x, const std::vector<double>& y);

} // namespace varnex
