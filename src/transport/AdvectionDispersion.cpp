// The advection-dispersion kernel in its reference form. The constants and
// the order of the operations are part of the results: a faster kernel must
// reproduce these numbers, so nothing here is rearranged for speed.
#include "transport/AdvectionDispersion.h"

#include <cmath>

#include "base/Exception.h"
#include "settings/Translate.h"
#include "transport/ColumnGuards.h"
#include "transport/InversionConstants.h"

namespace varnex {

namespace {

using Complex = std::complex<double>;

using namespace InversionConstants;

bool IsTiny(const Complex& value) {
    return std::abs(value.real()) < tiny && std::abs(value.imag()) < tiny;
}

// The Laplace transform of the one-dimensional solution at s: the root of
// D r^2 - v r - R (s + lambda) = 0 that decays downstream is
// r = P (1 - sqrt(1 + Q (s + lambda) / v^2)), P = v / (2D), Q = 4 D R, and
// the boundary value C / s carries it to c(L, s) = C / s exp(L r).
Complex ColumnTransform(double concentration, double distanceM, const Complex& s, double p,
                        double q, double decayPerS, double velocitySquared) {
    return (concentration / s) *
           std::exp(distanceM * p * (1.0 - std::sqrt(1.0 + q * (s + decayPerS) / velocitySquared)));
}

double Floored(double value) {
    // Written so that NaN also ends as 0.
    if (!(value >= resultFloor)) return 0.0;
    return value;
}

} // namespace

double SolveAdvectionDispersion(double concentration, double distanceM, double timeS,
                                double velocityMPerS, double dispersivityM, double decayPerS,
                                double retardation) {
    if (ColumnSolutionIsZero(timeS, distanceM, velocityMPerS, dispersivityM)) return 0.0;

    const double halfPeriodT = periodFactor * timeS;
    const double gamma = -std::log(relativeAccuracy) / (2.0 * halfPeriodT);
    const double omega = pi / halfPeriodT;

    const double dispersion = dispersivityM * velocityMPerS + dispersionFloor;
    const double p = velocityMPerS / (2.0 * dispersion);
    const double q = 4.0 * dispersion * retardation;
    const double velocitySquared = velocityMPerS * velocityMPerS;

    Complex transform[laplaceTerms];
    for (int k = 0; k < laplaceTerms; ++k) {
        const Complex s(gamma, k * omega);
        transform[k] =
            ColumnTransform(concentration, distanceM, s, p, q, decayPerS, velocitySquared);
    }
    return Floored(InvertLaplace(timeS, gamma, halfPeriodT, transform));
}

double SolveAquiferAdvectionDispersion(double concentration, double xM, double yM, double widthM,
                                       double timeS, double velocityMPerS,
                                       double lateralDispersivityM,
                                       double longitudinalDispersivityM, double decayPerS,
                                       double retardation) {
    if (AquiferSolutionIsZero(timeS, xM, velocityMPerS, lateralDispersivityM,
                              longitudinalDispersivityM))
        return 0.0;

    const double halfPeriodT = periodFactor * timeS;
    const double gamma = -std::log(relativeAccuracy) / (2.0 * halfPeriodT);
    const double omega = pi / halfPeriodT;

    const double longitudinalDispersion =
        longitudinalDispersivityM * velocityMPerS + dispersionFloor;
    const double p = velocityMPerS / (2.0 * longitudinalDispersion);
    const double q = 4.0 * longitudinalDispersion * retardation;
    const double velocitySquared = velocityMPerS * velocityMPerS;

    // Lateral spreading of a strip source of width W across the flow, taken
    // at steady state: the travel time to x is x R / v, over which lateral
    // dispersion (coefficient DT / R in the retarded frame) spreads the solute
    // with standard deviation sqrt(2 DT x / (v R)); sigma is sqrt(2) times
    // that, so that the strip integral of the Gaussian is a difference of erfs.
    const double lateralDispersion =
        lateralDispersivityM * velocityMPerS * retardation + dispersionFloor;
    const double sigma = 2.0 * std::sqrt(lateralDispersion * xM / (velocityMPerS * retardation));
    const double halfWidth = widthM / 2.0;
    const double lateral =
        0.5 * (ErrorFunction((halfWidth + yM) / sigma) - ErrorFunction((yM - halfWidth) / sigma));

    Complex transform[laplaceTerms];
    for (int k = 0; k < laplaceTerms; ++k) {
        const Complex s(gamma, k * omega);
        transform[k] =
            lateral * ColumnTransform(concentration, xM, s, p, q, decayPerS, velocitySquared);
    }
    return Floored(InvertLaplace(timeS, gamma, halfPeriodT, transform));
}

double InvertLaplace(double timeS, double gamma, double halfPeriodT, Complex* transform) {
    // Transform values that have underflowed (far downstream, where exp(L r)
    // is below the smallest double) would make the quotients below 0 / 0.
    for (int k = 0; k < laplaceTerms; ++k) {
        if (IsTiny(transform[k])) transform[k] = Complex(tiny, tiny);
    }

    // The Fourier series of de Hoog et al. is a power series in
    // z = exp(i pi t / T), the terms being the transform values a_k = F[k]
    // (a_0 halved). It is summed as the continued fraction
    // d0 / (1 + d1 z / (1 + d2 z / ...)), whose coefficients d come from the
    // quotient-difference algorithm of Rutishauser.
    const Complex z(std::cos(pi * timeS / halfPeriodT), std::sin(pi * timeS / halfPeriodT));

    // X holds one diagonal of the qd table, the q and e columns interleaved:
    // X[j] for odd j is a q value, for even j an e value. Each new transform
    // value F[n] extends the table by one diagonal; its last element gives d[n].
    Complex x[laplaceTerms] = {};
    Complex d[laplaceTerms];

    const Complex a0 = transform[0] / 2.0;
    d[0] = a0;
    x[1] = transform[1] / a0;
    d[1] = -x[1];
    Complex previous = transform[1];

    for (int n = 2; n < laplaceTerms; ++n) {
        // m2 and m1 are the elements of the previous diagonal at j - 2 and
        // j - 1, taken before this diagonal overwrites them.
        Complex m2 = x[0];
        Complex m1 = x[1];
        x[0] = Complex(0.0, 0.0);
        x[1] = transform[n] / previous;
        previous = transform[n];
        for (int j = 2; j <= n; ++j) {
            const Complex oldXj = x[j];
            if (j % 2 == 0) {
                // The e rule: e(j) = e(j, previous) + q(j) - q(j, previous).
                x[j] = m2 + (x[j - 1] - m1);
            } else {
                // The q rule: q(j) = q(j, previous) e(j) / e(j, previous); a
                // vanished e would divide by zero.
                if (IsTiny(m1)) m1 = Complex(tiny, tiny);
                x[j] = m2 * (x[j - 1] / m1);
            }
            m2 = m1; // the guarded value, if it was guarded
            m1 = oldXj;
        }
        d[n] = -x[n];
    }

    // The continued fraction by its three-term recurrences for numerator A
    // and denominator B; A(n) / B(n) is the n-th convergent.
    Complex aMinus2(0.0, 0.0); // A(n - 2), starting at A(-1)
    Complex aMinus1 = d[0];    // A(n - 1), starting at A(0)
    Complex bMinus2(1.0, 0.0);
    Complex bMinus1(1.0, 0.0);
    // n = 1
    Complex a = d[0];
    Complex b = 1.0 + d[1] * z;
    aMinus2 = aMinus1;
    aMinus1 = a;
    bMinus2 = bMinus1;
    bMinus1 = b;
    for (int n = 2; n < laplaceTerms; ++n) {
        a = aMinus1 + d[n] * z * aMinus2;
        b = bMinus1 + d[n] * z * bMinus2;
        aMinus2 = aMinus1;
        aMinus1 = a;
        bMinus2 = bMinus1;
        bMinus1 = b;
    }

    if (IsTiny(a)) a = Complex(0.0, 0.0);
    const double series = IsTiny(b) ? 0.0 : (a / b).real();
    // Undo the shift of the contour: f(t) = exp(gamma t) / T times the series.
    return std::exp(gamma * timeS) * series / halfPeriodT;
}

double ErrorFunction(double x) {
    // Abramowitz and Stegun 7.1.25.
    constexpr double p = 0.47047;
    constexpr double a1 = 0.3480242;
    constexpr double a2 = -0.0958798;
    constexpr double a3 = 0.7478556;
    const double u = std::abs(x);
    const double t = 1.0 / (1.0 + p * u);
    const double e = 1.0 - (a1 * t + a2 * t * t + a3 * t * t * t) * std::exp(-u * u);
    return x >= 0.0 ? e : -e;
}

} // namespace varnex
