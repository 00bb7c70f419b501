#include "stochastic/RankCorrelation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace varnex {

namespace {

// The first largest value: a later value replaces it only when strictly
// greater.
double LargestValue(const std::vector<double>& v) {
    double largest = v.front();
    for (double value : v)
        if (value > largest) largest = value;
    return largest;
}

bool AllFinite(const std::vector<double>& v) {
    return std::all_of(v.begin(), v.end(), [](double value) { return std::isfinite(value); });
}

} // namespace

std::vector<std::size_t> GapExchangeRanking(const std::vector<double>& z) {
    const std::size_t n = z.size();
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto less = [&z](std::size_t a, std::size_t b) { return z[a] < z[b]; };
    std::vector<std::size_t> positions;
    for (std::size_t gap : {3u, 2u, 1u}) {
        for (std::size_t first = 0; first < gap && first < n; ++first) {
            positions.clear();
            for (std::size_t j = first; j < n; j += gap) positions.push_back(order[j]);
            std::stable_sort(positions.begin(), positions.end(), less);
            std::size_t k = 0;
            for (std::size_t j = first; j < n; j += gap) order[j] = positions[k++];
        }
    }
    return order;
}

CorrelationStatus RankCorrelate(const std::vector<double>& x, std::vector<double>& y, double rho) {
    // Written so that a rho that is not a number is refused too.
    if (!(rho >= -1.0 && rho <= 1.0)) return CorrelationStatus::invalidRecord;
    if (rho == 0.0) return CorrelationStatus::zeroValue;
    if (x.size() != y.size()) return CorrelationStatus::sampleCountsDiffer;
    if (x.empty()) return CorrelationStatus::noSamples;
    // An infinite or undefined sample would turn the mixture into NaN, which
    // has no place in an order.
    if (!AllFinite(x) || !AllFinite(y)) return CorrelationStatus::nonFiniteSamples;
    const double mx = LargestValue(x);
    const double my = LargestValue(y);
    if (!(mx > 0.0) || !(my > 0.0)) return CorrelationStatus::nonPositiveMaximum;

    const std::size_t n = x.size();
    const double s = std::sqrt(1.0 - rho * rho);
    std::vector<double> z(n);
    for (std::size_t i = 0; i < n; ++i) z[i] = x[i] * rho / mx + s * y[i] / my;
    // Scaling by a tiny largest value can overflow a large negative sample.
    if (std::any_of(z.begin(), z.end(), [](double value) { return std::isnan(value); }))
        return CorrelationStatus::nonFiniteSamples;

    const std::vector<std::size_t> order = GapExchangeRanking(z);
    std::vector<double> sorted = y;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t k = 0; k < n; ++k) y[order[k]] = sorted[k];
    return CorrelationStatus::applied;
}

std::vector<double> AverageRanks(const std::vector<double>& v) {
    const std::size_t n = v.size();
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&v](std::size_t a, std::size_t b) { return v[a] < v[b]; });
    std::vector<double> ranks(n);
    for (std::size_t first = 0; first < n;) {
        std::size_t last = first + 1;
        while (last < n && v[order[last]] == v[order[first]]) ++last;
        // Positions first .. last - 1 hold ranks first + 1 .. last.
        const double rank = 0.5 * static_cast<double>(first + 1 + last);
        for (std::size_t k = first; k < last; ++k) ranks[order[k]] = rank;
        first = last;
    }
    return ranks;
}

double SpearmanRankCorrelation(const std::vector<double>& x, const std::vector<double>& y) {
    constexpr double undefined = std::numeric_limits<double>::quiet_NaN();
    const std::size_t n = x.size();
    if (y.size() != n || n < 2) return undefined;
    const auto hasNaN = [](const std::vector<double>& v) {
        return std::any_of(v.begin(), v.end(), [](double value) { return std::isnan(value); });
    };
    if (hasNaN(x) || hasNaN(y)) return undefined;
    const std::vector<double> rx = AverageRanks(x);
    const std::vector<double> ry = AverageRanks(y);
    // Both rank sets have the mean (n + 1) / 2. Centred ranks are multiples
    // of 1/2, so the sums below are exact for up to some 10^5 values.
    const double mean = 0.5 * static_cast<double>(n + 1);
    double sxy = 0.0, sxx = 0.0, syy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = rx[i] - mean;
        const double dy = ry[i] - mean;
        sxy += dx * dy;
        sxx += dx * dx;
        syy += dy * dy;
    }
    if (sxx == 0.0 || syy == 0.0) return undefined;
    return sxy / std::sqrt(sxx * syy);
}

} // namespace varnex
