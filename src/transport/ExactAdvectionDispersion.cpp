#include "transport/ExactAdvectionDispersion.h"

#include <cmath>

#include "base/Exception.h"
#include "settings/Translate.h"
#include "transport/ColumnGuards.h"
#include "transport/ErrorFunctions.h"
#include "transport/InversionConstants.h"

namespace varnex {

namespace {

using namespace InversionConstants;

// The closed form for a dispersion coefficient D (m2/s) already formed, so
// that the aquifer's zero dispersivity (D = 1e-12) is accepted too. x > 0
// or x = 0, t > 0, v >= 0.
double ClosedForm(double concentration, double x, double t, double v, double dispersion,
                  double decayPerS, double r) {
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
    return 0.5 * concentration * (first + second);
}

double Floored(double c) {
    // Written so that NaN also ends as 0.
    if (!(c >= resultFloor)) return 0.0;
    return c;
}

// The checks of SolveAquiferAdvectionDispersion, in its order: true when the
// result is 0 without computing it.
bool AquiferSolutionIsZero(const AquiferProblem& a) {
    if (a.timeS <= 0.0) return true;
    if (a.lateralDispersivityM < 0.0 || a.longitudinalDispersivityM < 0.0) {
        throw Exception(Translate("Dispersivity cannot be less than zero.  Advection diffusion "
                                  "equation cannot be solved."));
    }
    if (a.velocityMPerS < 0.0) {
        throw Exception(Translate("Speed of contaminant cannot be less than zero.  Advection "
                                  "diffusion equation cannot be solved."));
    }
    return a.xM < 0.0;
}

double SolveColumn(const ColumnProblem& c) {
    if (ColumnSolutionIsZero(c.timeS, c.distanceM, c.velocityMPerS, c.dispersivityM)) return 0.0;
    const double dispersion = c.dispersivityM * c.velocityMPerS + dispersionFloor;
    return Floored(ClosedForm(c.concentration, c.distanceM, c.timeS, c.velocityMPerS, dispersion,
                              c.decayPerS, c.retardation));
}

double SolveAquifer(const AquiferProblem& a) {
    if (AquiferSolutionIsZero(a)) return 0.0;
    // The lateral factor exactly as the inverting kernels form it, with the
    // exact error function.
    const double lateralDispersion =
        a.lateralDispersivityM * a.velocityMPerS * a.retardation + dispersionFloor;
    const double sigma =
        2.0 * std::sqrt(lateralDispersion * a.xM / (a.velocityMPerS * a.retardation));
    const double halfWidth = a.widthM / 2.0;
    const double lateral =
        0.5 * (Erf((halfWidth + a.yM) / sigma) - Erf((a.yM - halfWidth) / sigma));
    const double dispersion = a.longitudinalDispersivityM * a.velocityMPerS + dispersionFloor;
    return Floored(lateral * ClosedForm(a.concentration, a.xM, a.timeS, a.velocityMPerS, dispersion,
                                        a.decayPerS, a.retardation));
}

} // namespace

double ExactAdvectionDispersion(double concentration, double distanceM, double timeS,
                                double velocityMPerS, double dispersivityM, double decayPerS,
                                double retardation) {
    return SolveColumn(
        {concentration, distanceM, timeS, velocityMPerS, dispersivityM, decayPerS, retardation});
}

double ExactAquiferAdvectionDispersion(double concentration, double xM, double yM, double widthM,
                                       double timeS, double velocityMPerS,
                                       double lateralDispersivityM,
                                       double longitudinalDispersivityM, double decayPerS,
                                       double retardation) {
    return SolveAquifer({concentration, xM, yM, widthM, timeS, velocityMPerS, lateralDispersivityM,
                         longitudinalDispersivityM, decayPerS, retardation});
}

void ExactAdvectionDispersionBatch(const ColumnProblem* problems, double* results,
                                   std::size_t count) {
    for (std::size_t k = 0; k < count; ++k)
        ColumnSolutionIsZero(problems[k].timeS, problems[k].distanceM, problems[k].velocityMPerS,
                             problems[k].dispersivityM);
    for (std::size_t k = 0; k < count; ++k) results[k] = SolveColumn(problems[k]);
}

void ExactAquiferAdvectionDispersionBatch(const AquiferProblem* problems, double* results,
                                          std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) AquiferSolutionIsZero(problems[k]);
    for (std::size_t k = 0; k < count; ++k) results[k] = SolveAquifer(problems[k]);
}

} // namespace varnex
