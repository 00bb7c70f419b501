#include "transport/ErrorFunctions.h"

#include <cmath>
#include <limits>

namespace varnex {

namespace {

// Coefficients of Cody (1969), as tabulated in CALERF.
// erf(x) = x P(x^2) / Q(x^2) for |x| <= 0.46875.
constexpr double a[5] = {3.16112374387056560e00, 1.13864154151050156e02, 3.77485237685302021e02,
                         3.20937758913846947e03, 1.85777706184603153e-1};
constexpr double b[4] = {2.36012909523441209e01, 2.44024637934444173e02, 1.28261652607737228e03,
                         2.84423683343917062e03};
// erfcx(x) = P(x) / Q(x) for 0.46875 < x <= 4.
constexpr double c[9] = {5.64188496988670089e-1, 8.88314979438837594e00, 6.61191906371416295e01,
                         2.98635138197400131e02, 8.81952221241769090e02, 1.71204761263407058e03,
                         2.05107837782607147e03, 1.23033935479799725e03, 2.15311535474403846e-8};
constexpr double d[8] = {1.57449261107098347e01, 1.17693950891312499e02, 5.37181101862009858e02,
                         1.62138957456669019e03, 3.29079923573345963e03, 4.36261909014324716e03,
                         3.43936767414372164e03, 1.23033935480374942e03};
// erfcx(x) = (1/sqrt(pi) - z P(z) / Q(z)) / x, z = 1/x^2, for x > 4.
constexpr double p[6] = {3.05326634961232344e-1, 3.60344899949804439e-1, 1.25781726111229246e-1,
                         1.60837851487422766e-2, 6.58749161529837803e-4, 1.63153871373020978e-2};
constexpr double q[5] = {2.56852019228982242e00, 1.87295284992346725e00, 5.27905102951428412e-1,
                         6.05183413124413191e-2, 2.33520497626869185e-3};

constexpr double threshold = 0.46875;
constexpr double inverseSqrtPi = 5.6418958354775628695e-1;
// Beyond this 1/(x sqrt(pi)) is erfcx to double precision (Cody's XHUGE).
constexpr double huge = 6.71e7;

// erf(x) for |x| <= 0.46875.
double SmallErf(double x) {
    const double x2 = x * x;
    double numerator = a[4] * x2;
    double denominator = x2;
    for (int i = 0; i < 3; ++i) {
        numerator = (numerator + a[i]) * x2;
        denominator = (denominator + b[i]) * x2;
    }
    return x * (numerator + a[3]) / (denominator + b[3]);
}

// erfcx(y) for y > 0.46875.
double LargeErfcx(double y) {
    if (y <= 4.0) {
        double numerator = c[8] * y;
        double denominator = y;
        for (int i = 0; i < 7; ++i) {
            numerator = (numerator + c[i]) * y;
            denominator = (denominator + d[i]) * y;
        }
        return (numerator + c[7]) / (denominator + d[7]);
    }
    if (y >= huge) return inverseSqrtPi / y;
    const double z = 1.0 / (y * y);
    double numerator = p[5] * z;
    double denominator = z;
    for (int i = 0; i < 4; ++i) {
        numerator = (numerator + p[i]) * z;
        denominator = (denominator + q[i]) * z;
    }
    const double correction = z * (numerator + p[4]) / (denominator + q[4]);
    return (inverseSqrtPi - correction) / y;
}

// exp(-y^2) for y > 0, with y^2 split into a part exact in double and a
// small rest, as Cody does, so that the rounding of y^2 is not magnified by
// the exponential.
double GaussianFactor(double y) {
    const double head = std::trunc(y * 16.0) / 16.0;
    const double rest = (y - head) * (y + head);
    return std::exp(-head * head) * std::exp(-rest);
}

} // namespace

double Erf(double x) {
    if (std::isnan(x)) return x;
    const double y = std::fabs(x);
    if (y <= threshold) return SmallErf(x);
    const double complement = y < 27.0 ? GaussianFactor(y) * LargeErfcx(y) : 0.0;
    return x > 0.0 ? (0.5 - complement) + 0.5 : (complement - 0.5) - 0.5;
}

double Erfc(double x) {
    if (std::isnan(x)) return x;
    const double y = std::fabs(x);
    if (y <= threshold) return 1.0 - SmallErf(x);
    const double positive = y < 27.0 ? GaussianFactor(y) * LargeErfcx(y) : 0.0;
    return x > 0.0 ? positive : 2.0 - positive;
}

double Erfcx(double x) {
    if (std::isnan(x)) return x;
    const double y = std::fabs(x);
    if (y <= threshold) return std::exp(x * x) * (1.0 - SmallErf(x));
    if (x > 0.0) return LargeErfcx(y);
    // erfcx(-y) = 2 exp(y^2) - erfcx(y).
    if (y > 26.7) return std::numeric_limits<double>::infinity();
    const double head = std::trunc(y * 16.0) / 16.0;
    const double rest = (y - head) * (y + head);
    const double twiceGaussian = 2.0 * std::exp(head * head) * std::exp(rest);
    return twiceGaussian - LargeErfcx(y);
}

} // namespace varnex
