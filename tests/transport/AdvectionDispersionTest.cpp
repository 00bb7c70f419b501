// The advection-dispersion kernel: the published reference values of the
// one-dimensional solution and of the inversion, the input checks with their
// messages, the boundary and far-field cases, the lateral spreading factor of
// the aquifer solution and the error function it uses. The comparison with the
// Ogata-Banks closed form over soils and aquifers is in OgataBanksTest.cpp.

#include <cmath>
#include <complex>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <string>

#include "base/Exception.h"
#include "support/Expectations.h"
#include "transport/AdvectionDispersion.h"
#include "transport/OgataBanks.h"
namespace varnex {
namespace {

constexpr double day = 86400.0;
constexpr double year = 365.0 * day;

using test::ExpectError;

const std::string zeroDispersivity =
    "Dispersivity cannot be zero.  Advection diffusion equation cannot be solved.";
const std::string negativeDispersivity =
    "Dispersivity cannot be less than zero.  Advection diffusion equation cannot be solved.";
const std::string negativeSpeed =
    "Speed of contaminant cannot be less than zero.  Advection diffusion equation cannot be solved.";

// The transform values the kernel hands to the inversion for time t:
// F(gamma + i k pi / T), T = 8 t, gamma = -ln(1e-11) / (2T), with the
// ten-decimal pi the kernel uses.
template <typename Transform>
double InvertAt(double t, Transform transform) {
    const double halfPeriod = 8.0 * t;
    const double gamma = -std::log(1e-11) / (2.0 * halfPeriod);
    std::complex<double> values[laplaceTerms];
    for (int k = 0; k < laplaceTerms; ++k) {
        values[k] = transform(std::complex<double>(gamma, k * 3.1415926535 / halfPeriod));
    }
    return InvertLaplace(t, gamma, halfPeriod, values);
}

// The reference values of the inversion: F = 1/s (the unit step) gives
// 1.0000000000386 whatever t, since the inversion depends on t only through
// s t (the 3.86e-11 above 1 is the aliasing error, of the order of the
// accuracy 1e-11 asked for); F = 1/(s + 1) gives e^-1 = 0.3678794412 at t = 1.
// The last digits vary with t by up to 3e-13: the rounding of s t and of the
// quotient-difference table, which cancels about three digits.
TEST(InvertLaplace, ReproducesReferenceTransforms) {
    for (double t : {1e-3, 1.0, 86400.0, 3.0e7, 3.0e9}) {
        SCOPED_TRACE(t);
        EXPECT_NEAR(InvertAt(t, [](std::complex<double> s) { return 1.0 / s; }), 1.0000000000386,
                    5e-13);
    }
    EXPECT_NEAR(InvertAt(1.0, [](std::complex<double> s) { return 1.0 / (s + 1.0); }), 0.3678794412,
                5e-11);
    // A second closed form, not among the reference values: F = 1/s^2 is f = t.
    EXPECT_NEAR(InvertAt(2.5, [](std::complex<double> s) { return 1.0 / (s * s); }), 2.5, 2.5e-9);
}

// Transform values that underflow (here all of them) are guarded instead of
// dividing 0 by 0 in the quotient-difference table, and the guards are
// written back into the array the caller passed.
TEST(InvertLaplace, GuardsVanishedTransformValues) {
    std::complex<double> values[laplaceTerms] = {};
    values[3] = {2e-51, -3e-51};
    values[4] = {2e-51, 1.0}; // one part is not tiny: kept
    const double t = 100.0;
    const double halfPeriod = 8.0 * t;
    const double f = InvertLaplace(t, -std::log(1e-11) / (2.0 * halfPeriod), halfPeriod, values);
    EXPECT_TRUE(std::isfinite(f));
    EXPECT_EQ(values[0], std::complex<double>(1e-50, 1e-50));
    EXPECT_EQ(values[3], std::complex<double>(1e-50, 1e-50));
    EXPECT_EQ(values[4], std::complex<double>(2e-51, 1.0));
}

// The reference values of the one-dimensional solution for C = 1, L = 10 m,
// v = 1e-6 m/s, alpha = 1 m, lambda = 0, R = 1, to the digits given; the
// Ogata-Banks closed form gives 0.000921432865, 0.452417919, 0.930500151,
// 0.999937685 (tests/reference/ogata_banks.py).
TEST(SolveAdvectionDispersion, ReproducesReferenceValues) {
    const auto at = [](double t) {
        return SolveAdvectionDispersion(1.0, 10.0, t, 1e-6, 1.0, 0.0, 1.0);
    };
    EXPECT_NEAR(at(2592000.0), 0.00092143, 5e-9);
    EXPECT_NEAR(at(100 * day), 0.45241792, 5e-9);
    EXPECT_NEAR(at(200 * day), 0.93050015, 5e-9);
    EXPECT_NEAR(at(500 * day), 0.99993769, 5e-9);
    // The solution is linear in C.
    EXPECT_NEAR(SolveAdvectionDispersion(250.0, 10.0, 100 * day, 1e-6, 1.0, 0.0, 1.0),
                250.0 * 0.45241792, 250.0 * 5e-9);
}

// The order of the checks: time first (so that a zero dispersivity is not
// reported before anything has to be computed), then the dispersivity, then
// the velocity, and only then the distance.
TEST(SolveAdvectionDispersion, ChecksInputsInOrder) {
    EXPECT_EQ(SolveAdvectionDispersion(1.0, 10.0, 0.0, 1e-6, 0.0, 0.0, 1.0), 0.0);
    EXPECT_EQ(SolveAdvectionDispersion(1.0, 10.0, -5.0, -1e-6, -1.0, 0.0, 1.0), 0.0);
    ExpectError([] { SolveAdvectionDispersion(1.0, 10.0, day, 1e-6, 0.0, 0.0, 1.0); },
                zeroDispersivity);
    ExpectError([] { SolveAdvectionDispersion(1.0, 10.0, day, 1e-6, -1.0, 0.0, 1.0); },
                zeroDispersivity);
    ExpectError([] { SolveAdvectionDispersion(1.0, 10.0, day, -1e-6, 0.0, 0.0, 1.0); },
                zeroDispersivity);
    ExpectError([] { SolveAdvectionDispersion(1.0, -10.0, day, -1e-6, 1.0, 0.0, 1.0); },
                negativeSpeed);
    EXPECT_EQ(SolveAdvectionDispersion(1.0, -10.0, day, 1e-6, 1.0, 0.0, 1.0), 0.0);
}

TEST(SolveAquiferAdvectionDispersion, ChecksInputsInOrder) {
    const auto solve = [](double t, double v, double lateral, double longitudinal, double x) {
        return SolveAquiferAdvectionDispersion(1.0, x, 0.0, 10.0, t, v, lateral, longitudinal, 0.0,
                                               1.0);
    };
    EXPECT_EQ(solve(0.0, -1e-6, -1.0, -1.0, 10.0), 0.0);
    ExpectError([&] { solve(day, 1e-6, -1.0, 1.0, 10.0); }, negativeDispersivity);
    ExpectError([&] { solve(day, 1e-6, 1.0, -1.0, 10.0); }, negativeDispersivity);
    ExpectError([&] { solve(day, -1e-6, -1.0, 1.0, 10.0); }, negativeDispersivity);
    ExpectError([&] { solve(day, -1e-6, 1.0, 1.0, -10.0); }, negativeSpeed);
    EXPECT_EQ(solve(day, 1e-6, 1.0, 1.0, -10.0), 0.0);
    // Zero dispersivities are accepted: the dispersion floor keeps the
    // problem defined. With v = 1e-6 m/s and alpha_L = alpha_T = 0 the column
    // is pure advection (D = 1e-12): a step arriving at x = 1 m at t = 1e6 s,
    // not spread sideways (lateral factor 1 on the centreline of a 10 m source).
    EXPECT_LT(solve(0.5e6, 1e-6, 0.0, 0.0, 1.0), 1e-6);
    EXPECT_NEAR(solve(2.0e6, 1e-6, 0.0, 0.0, 1.0), 1.0, 1e-6);
}

// At the inlet the solution is the boundary value; a column without flow
// receives nothing (the transform is undefined at v = 0 and the result ends
// as 0 through the floor); what is far beyond the front is below the floor
// and returned as exactly 0, never as a tiny or negative number.
TEST(SolveAdvectionDispersion, BoundaryAndFarField) {
    for (double t : {day, 100 * day, 10 * year}) {
        SCOPED_TRACE(t);
        EXPECT_NEAR(SolveAdvectionDispersion(3.0, 0.0, t, 1e-6, 1.0, 0.0, 1.0), 3.0, 3.0 * 1e-9);
    }
    EXPECT_EQ(SolveAdvectionDispersion(1.0, 10.0, 100 * day, 0.0, 1.0, 0.0, 1.0), 0.0);
    EXPECT_EQ(
        SolveAquiferAdvectionDispersion(1.0, 10.0, 0.0, 10.0, 100 * day, 0.0, 1.0, 1.0, 0.0, 1.0),
        0.0);
    // 200 m downstream after 1 day at 1e-6 m/s the front has moved 0.09 m:
    // the closed form is below 1e-300 there, and so is anything the inversion
    // returns apart from its noise.
    EXPECT_EQ(SolveAdvectionDispersion(1.0, 200.0, day, 1e-6, 1.0, 0.0, 1.0), 0.0);
    // No result is negative or between 0 and the floor, over a sweep across
    // the leading edge, where the inversion's noise is of the size of the
    // solution.
    for (double t = 0.5 * day; t < 60 * day; t *= 1.1) {
        const double c = SolveAdvectionDispersion(1.0, 10.0, t, 1e-6, 0.1, 0.0, 1.0);
        EXPECT_TRUE(c == 0.0 || c >= 1e-30) << "t = " << t << ": " << c;
    }
}

// For large t the solution approaches the boundary value without decay, and
// the steady profile exp(L P (1 - sqrt(1 + Q lambda / v^2))) with decay.
// Values from tests/reference/ogata_banks.py (steady cases): 0.236724332306815
// for L = 50 m, v = 1e-6 m/s, alpha = 5 m, half-life 1 year, R = 1.5, and
// 0.443505592019477 for L = 2 m, v = 1e-8 m/s, alpha = 0.2 m, half-life
// 10 years, R = 2.
TEST(SolveAdvectionDispersion, ApproachesSteadyState) {
    EXPECT_NEAR(SolveAdvectionDispersion(1.0, 10.0, 100 * year, 1e-6, 1.0, 0.0, 1.0), 1.0, 1e-9);
    const double decay1 = std::log(2.0) / year;
    const double decay10 = std::log(2.0) / (10 * year);
    EXPECT_NEAR(SolveAdvectionDispersion(1.0, 50.0, 100 * year, 1e-6, 5.0, decay1, 1.5),
                0.236724332306815, 1e-9);
    EXPECT_NEAR(SolveAdvectionDispersion(1.0, 2.0, 2000 * year, 1e-8, 0.2, decay10, 2.0),
                0.443505592019477, 1e-9);
    EXPECT_NEAR(test::SteadyProfile(1.0, 50.0, 1e-6, 5.0, decay1, 1.5), 0.236724332306815, 1e-13);
}

// The lateral factor on its own: with a front that has long passed the
// receptor (t = 100 years, x = 10 m, v = 1e-5 m/s) the aquifer solution is
// the lateral factor times C. Its erf terms are A&S 7.1.25, so the factor is
// within 2.5e-5 of the same expression with std::erf.
TEST(SolveAquiferAdvectionDispersion, LateralFactor) {
    const double t = 100 * year, v = 1e-5, x = 10.0, width = 4.0;
    const auto aquifer = [&](double y, double lateral) {
        return SolveAquiferAdvectionDispersion(1.0, x, y, width, t, v, lateral, 1.0, 0.0, 1.0);
    };
    EXPECT_NEAR(aquifer(0.0, 1e-9), 1.0, 1e-9);
    EXPECT_NEAR(aquifer(width / 2, 1e-9), 0.5, 1e-9);
    EXPECT_NEAR(aquifer(-width / 2, 1e-9), 0.5, 1e-9);
    EXPECT_NEAR(aquifer(5.0, 1e-9), 0.0, 1e-9);
    for (double lateral : {0.01, 0.1, 1.0, 10.0}) {
        const double sigma = 2.0 * std::sqrt((lateral * v + 1e-12) * x / v);
        for (double y : {-6.0, -2.0, -0.5, 0.0, 1.0, 2.0, 3.5, 8.0}) {
            SCOPED_TRACE(::testing::Message() << "alphaT " << lateral << " y " << y);
            const double expected =
                0.5 * (std::erf((width / 2 + y) / sigma) - std::erf((y - width / 2) / sigma));
            EXPECT_NEAR(aquifer(y, lateral), expected, 2.5e-5);
        }
    }
}

// Domenico (1987) on the centreline without vertical spreading, at steady
// state: c = C (steady one-dimensional factor) erf(W / (4 sqrt(alphaT x))).
// The one-dimensional factor is the closed-form steady profile.
TEST(SolveAquiferAdvectionDispersion, MatchesDomenicoAtSteadyState) {
    const double v = 3e-6, longitudinal = 5.0, width = 20.0, decay = std::log(2.0) / (5 * year);
    for (double retardation : {1.0, 4.0}) {
        for (double x : {10.0, 50.0, 150.0}) {
            for (double lateral : {0.5, 2.0}) {
                SCOPED_TRACE(::testing::Message()
                             << "R " << retardation << " x " << x << " alphaT " << lateral);
                const double steady =
                    test::SteadyProfile(2.0, x, v, longitudinal, decay, retardation);
                const double expected = steady * std::erf(width / (4.0 * std::sqrt(lateral * x)));
                const double c = SolveAquiferAdvectionDispersion(
                    2.0, x, 0.0, width, 200 * year, v, lateral, longitudinal, decay, retardation);
                EXPECT_NEAR(c, expected, 2.5e-5 * 2.0 + 1e-9 * steady);
            }
        }
    }
}

// A&S 7.1.25: exactly 0 at 0 (a1 + a2 + a3 = 1), odd, and within its stated
// bound 2.5e-5 of the C library's erf.
TEST(ErrorFunction, AbramowitzStegun7_1_25) {
    EXPECT_EQ(ErrorFunction(0.0), 0.0);
    double worst = 0.0;
    for (double x = 0.0; x <= 6.0; x += 0.01) {
        EXPECT_EQ(ErrorFunction(-x), -ErrorFunction(x)) << x;
        worst = std::max(worst, std::abs(ErrorFunction(x) - std::erf(x)));
    }
    EXPECT_LT(worst, 2.5e-5);
    EXPECT_GT(worst, 1e-6); // it is the approximation, not the library function
    EXPECT_EQ(ErrorFunction(std::numeric_limits<double>::infinity()), 1.0);
    EXPECT_EQ(ErrorFunction(-std::numeric_limits<double>::infinity()), -1.0);
}

} // namespace
} // namespace varnex
