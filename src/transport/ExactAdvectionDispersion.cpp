#include "transport/ExactAdvectionDispersion.h"

#include <cmath>

#include "transport/ColumnGuards.h"
#include "transport/ErrorFunctions.h"
#include "transport/InversionConstants.h"

namespace varnex {

using namespace InversionConstants;

double ExactAdvectionDispersion(double concentration, double distanceM, double timeS,
                                double velocityMPerS, double dispersivityM, double decayPerS,
                                double retardation) {
    if (ColumnSolutionIsZero(timeS, distanceM, velocityMPerS, dispersivityM)) return 0.0;

    const double x = distanceM;
    const double v = velocityMPerS;
    const double r = retardation;
    const double t = timeS;
    const double dispersion = dispersivityM * v + dispersionFloor;
    const double decayTerm = 4.0 * decayPerS * r * dispersion;
    const double w = std::sqrt(v * v + decayTerm);
    const double spread = 2.0 * std::sqrt(dispersion * r * t);
    const double b1 = (r * x - w * t) / spread;
    const double b2 = (r * x + w * t) / spread;

    // Both exponents minus the squares of their erfc arguments are the same
    // number, because w^2 - v^2 = 4 lambda R D:
    //     x (v -+ w) / (2D) - b1,2^2 = -((R x - v t) / (2 sqrt(D R t)))^2 - lambda t <= 0.
    // Written so, exp(huge) erfc(huge) of a sharp front becomes
    // exp(-something) erfcx(b), which neither overflows nor loses digits.
    const double lag = (r * x - v * t) / spread;
    const double scale = std::exp(-lag * lag - decayPerS * t);
    const double second = scale * Erfcx(b2);
    double first;
    if (b1 > 0.0) {
        first = scale * Erfcx(b1);
    } else {
        // x (v - w) / (2D) = -2 x lambda R / (v + w), without the
        // cancellation of v - w; it is 0 without decay (w = v, also at
        // v = 0).
        const double exponent = decayTerm > 0.0 ? -2.0 * x * decayPerS * r / (v + w) : 0.0;
        first = std::exp(exponent) * Erfc(b1);
    }
    const double c = 0.5 * concentration * (first + second);
    // Written so that NaN also ends as 0.
    if (!(c >= resultFloor)) return 0.0;
    return c;
}

} // namespace varnex
