#include "stochastic/DistributionQuantile.h"

#include <algorithm>
#include <cmath>

#include "stochastic/Distribution.h"
#include "stochastic/DistributionLaws.h"
#include "stochastic/DistributionType.h"
#include "stochastic/InverseNormal.h"

namespace varnex {

namespace {

// Phi(z) = erfc(-z / sqrt 2) / 2, accurate in both tails.
double NormalCdf(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

double TriangularQuantile(const Distribution& d, double u) {
    if (u < triangularLowEnd) return d.minimum;
    if (u > triangularHighEnd) return d.maximum;
    if (d.maximum == d.minimum) return d.likely;
    if (d.type == DistributionType::triangular)
        return TriangularValue(u, d.minimum, d.likely, d.maximum);
    return std::pow(10.0, TriangularValue(u, std::log10(d.minimum), std::log10(d.likely),
                                          std::log10(d.maximum)));
}

// The normal law without its negative part: the draws discard negative
// values and draw again, which leaves the normal density on [0, inf)
// renormalised by 1 - Phi0.
double TruncatedNormalQuantile(double mean, double deviation, double u) {
    if (!(deviation > 0.0)) return std::max(mean, 0.0);
    const double below = NormalCdf(-mean / deviation);
    const double x = mean + deviation * InverseNormal(below + u * (1.0 - below));
    return std::max(x, 0.0);
}

double ContinuousQuantile(const Distribution& d, double u) {
    switch (d.type) {
    case DistributionType::single: return d.singleValue;
    case DistributionType::uniform: return d.minimum + u * (d.maximum - d.minimum);
    case DistributionType::logUniform: {
        const double a = std::log10(d.minimum);
        const double b = std::log10(d.maximum);
        return std::pow(10.0, a + u * (b - a));
    }
    case DistributionType::triangular:
    case DistributionType::logTriangular: return TriangularQuantile(d, u);
    case DistributionType::normal: return TruncatedNormalQuantile(d.mean, d.standardDeviation, u);
    case DistributionType::logNormal: {
        const LogMoments moments = LogNormalMoments(d.mean, d.standardDeviation);
        return std::exp(moments.mu + moments.sigma * InverseNormal(u));
    }
    case DistributionType::exponential: {
        const double value = -d.mean * std::log1p(-u);
        return value == 0.0 ? 0.0 : value;
    }
    case DistributionType::boolean: return u > 0.5 - 0.5 * d.bias ? 1.0 : 0.0;
    default: return d.sample;
    }
}

// A discrete law on 0, 1, 2, ... walked upward once: logProbability(k)
// gives ln P(k) from ln P(k - 1). Each u takes the first k whose cumulative
// probability reaches it. The walk also stops once the probabilities past
// the mode have vanished (the cumulative sum, rounded, may end a little
// below 1), at the last value with any probability.
template <class NextLogProbability>
void WalkDiscrete(double logFirst, double mode, NextLogProbability next, const double* ascending,
                  double* values, std::size_t count, double largest) {
    double k = 0.0;
    double logP = logFirst;
    double cumulative = std::exp(logP);
    for (std::size_t i = 0; i < count; ++i) {
        while (cumulative < ascending[i] && k < largest) {
            const double nextLogP = next(k + 1.0, logP);
            const double p = std::exp(nextLogP);
            if (p == 0.0 && k + 1.0 > mode) break;
            k += 1.0;
            logP = nextLogP;
            cumulative += p;
        }
        values[i] = k;
    }
}

} // namespace

void DistributionQuantiles(const Distribution& d, const double* ascending, double* values,
                           std::size_t count) {
    if (d.type == DistributionType::poisson) {
        const double rate = d.rate;
        if (!(rate > 0.0)) {
            std::fill(values, values + count, 0.0);
            return;
        }
        // P(k) = P(k - 1) rate / k, in logarithms so that e^-rate may
        // underflow for large rates without losing the mass further up.
        const double logRate = std::log(rate);
        WalkDiscrete(
            -rate, rate, [logRate](double k, double logP) { return logP + logRate - std::log(k); },
            ascending, values, count, rate + 40.0 * std::sqrt(rate) + 100.0);
        return;
    }
    if (d.type == DistributionType::binomial) {
        const double n = d.trials;
        const double p = d.probability;
        if (n <= 0.0 || p <= 0.0) {
            std::fill(values, values + count, 0.0);
            return;
        }
        if (p >= 1.0) {
            std::fill(values, values + count, n);
            return;
        }
        // P(k) = P(k - 1) (n - k + 1) / k p / (1 - p), from P(0) = (1 - p)^n.
        const double odds = std::log(p) - std::log1p(-p);
        WalkDiscrete(
            n * std::log1p(-p), n * p,
            [n, odds](double k, double logP) { return logP + std::log((n - k + 1.0) / k) + odds; },
            ascending, values, count, n);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) values[i] = ContinuousQuantile(d, ascending[i]);
}

double DistributionQuantile(const Distribution& distribution, double u) {
    double value = 0.0;
    DistributionQuantiles(distribution, &u, &value, 1);
    return value;
}

} // namespace varnex
