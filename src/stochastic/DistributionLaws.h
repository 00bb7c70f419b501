#pragma once

#include <cmath>

namespace varnex {

// Arithmetic that the random draws and the quantile functions share, so that
// both follow exactly the same law for the same arguments.

// The moments of the logarithm of a lognormal value, from the mean and the
// standard deviation of the value itself: sigma^2 = ln(1 + sd^2 / m^2),
// mu = ln m - sigma^2 / 2 (written as the check and the draw always have).
struct LogMoments {
    double mu = 0.0;
    double sigma = 0.0;
};

inline LogMoments LogNormalMoments(double meanValue, double deviation) {
    const double m2 = meanValue * meanValue;
    const double sd2 = deviation * deviation;
    return {std::log(m2 / std::sqrt(m2 + sd2)), std::sqrt(std::log((sd2 + m2) / m2))};
}

// The inverse of the triangular distribution function on [low, high] with
// its mode at `mode`, at probability u.
inline double TriangularValue(double u, double low, double mode, double high) {
    const double p = (mode - low) / (high - low);
    if (u < p) return low + std::sqrt(u / p) * (mode - low);
    return high - std::sqrt((1.0 - u) / (1.0 - p)) * (high - mode);
}

// The ends of the triangular draws: deviates this close to 0 or 1 give the
// minimum or the maximum itself.
inline constexpr double triangularLowEnd = 1e-8;
inline constexpr double triangularHighEnd = 0.99999999;

} // namespace varnex
