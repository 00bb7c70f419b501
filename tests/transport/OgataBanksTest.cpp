// The one-dimensional solution against the Ogata-Banks closed form with decay
// and retardation (OgataBanks.h), over distances, dispersivities, velocities,
// decay rates, retardations and times typical of soils and aquifers; and the
// closed form itself against the 60-digit evaluation of
// tests/reference/ogata_banks.py.
//
// The inversion is accurate to about 1e-9 relative wherever the solution
// matters, except on the leading edge of sharp fronts: there the transform
// exp(-s R L / v) oscillates faster than 61 terms of the Fourier series
// resolve. That limit is measured and held here, not hidden (see
// docs/numerics.md).

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "transport/AdvectionDispersion.h"
#include "transport/FastAdvectionDispersion.h"
#include "transport/OgataBanks.h"

namespace varnex {
namespace {

constexpr double year = 365.0 * 86400.0;

double DecayRate(double halfLifeYears) { return std::log(2.0) / (halfLifeYears * year); }

struct Case {
    double x, t, v, alpha, decay, retardation, expected;
};

// Printed by tests/reference/ogata_banks.py (60-digit decimal arithmetic,
// the formula evaluated as written), C = 1. The half-lives are 1, 10 and
// 100 years of 365 days.
const Case decimalReference[] = {
    {10.0, 2592000.0, 1e-06, 1.0, 0.0, 1.0, 9.21432865386374996e-04},
    {10.0, 8640000.0, 1e-06, 1.0, 0.0, 1.0, 4.52417919100336241e-01},
    {10.0, 17280000.0, 1e-06, 1.0, 0.0, 1.0, 9.30500150810191662e-01},
    {10.0, 43200000.0, 1e-06, 1.0, 0.0, 1.0, 9.99937685152561984e-01},
    {0.5, 3000000.0, 1e-07, 0.05, 0.0, 1.0, 1.66646633131933924e-01},
    {2.0, 200000000.0, 1e-08, 0.2, 2.197955290968878e-09, 2.0, 5.53767185199770112e-02},
    {50.0, 100000000.0, 1e-06, 5.0, 2.1979552909688777e-08, 1.5, 2.23844392321405544e-01},
    {50.0, 400000000.0, 1e-06, 5.0, 2.1979552909688777e-08, 1.5, 2.36724331925102005e-01},
    {200.0, 1000000000.0, 1e-06, 20.0, 2.1979552909688777e-10, 5.0, 5.01244822388498656e-01},
    {200.0, 3000000.0, 0.0001, 2.0, 0.0, 1.0, 9.98480282699791943e-01},
    {200.0, 2000000.0, 0.0001, 2.0, 0.0, 1.0, 5.28070496441402693e-01},
    {20.0, 40000000.0, 1e-05, 0.05, 0.0, 20.0, 5.14087188422693075e-01},
    {20.0, 42000000.0, 1e-05, 0.05, 0.0, 20.0, 7.66022515862789244e-01},
    {100.0, 10000000.0, 1e-05, 10.0, 2.1979552909688777e-08, 1.0, 5.01244820534468172e-01},
    {5.0, 10000000000.0, 1e-08, 0.5, 2.1979552909688777e-10, 20.0, 1.32814788436543152e-01},
};

double Relative(double value, double expected) {
    return std::abs(value - expected) / std::abs(expected);
}

// The double-precision closed form, with its rearranged second term, against
// the formula as written in decimal arithmetic, including the sharp fronts
// (x / alpha = 400) whose exp(...) erfc(...) products overflow in doubles.
TEST(OgataBanks, ClosedFormMatchesDecimalEvaluation) {
    for (const Case& c : decimalReference) {
        SCOPED_TRACE(::testing::Message() << "x " << c.x << " t " << c.t << " v " << c.v);
        EXPECT_LT(Relative(test::OgataBanks(1.0, c.x, c.t, c.v, c.alpha, c.decay, c.retardation),
                           c.expected),
                  1e-12);
    }
}

// The kernel at the same points, mostly the middle and back of the front.
// Relative error 1e-6 up to x / alpha = 100; the two points at x / alpha =
// 400 are sharp fronts, resolved to 1e-4 only (see GridSharpFrontsKnownLimit).
TEST(OgataBanks, KernelMatchesDecimalEvaluation) {
    for (const Case& c : decimalReference) {
        SCOPED_TRACE(::testing::Message() << "x " << c.x << " t " << c.t << " v " << c.v);
        EXPECT_LT(
            Relative(SolveAdvectionDispersion(1.0, c.x, c.t, c.v, c.alpha, c.decay, c.retardation),
                     c.expected),
            c.x / c.alpha <= 100.0 ? 1e-6 : 1e-4);
    }
}

// Prints the reference table of docs/verification.md: each decimal reference
// point, both kernels at it and their relative errors. The fast kernel is
// held to the same bounds as the reference one.
TEST(OgataBanks, ReferenceTable) {
    std::printf(
        "| x [m] | alpha [m] | v [m/s] | t [days] | half-life [years] | R | closed form (60 digits) | "
        "reference kernel | error | fast kernel | error |\n|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Case& c : decimalReference) {
        const double reference =
            SolveAdvectionDispersion(1.0, c.x, c.t, c.v, c.alpha, c.decay, c.retardation);
        const double fast =
            FastSolveAdvectionDispersion(1.0, c.x, c.t, c.v, c.alpha, c.decay, c.retardation);
        const double bound = c.x / c.alpha <= 100.0 ? 1e-6 : 1e-4;
        EXPECT_LT(Relative(fast, c.expected), bound) << "x " << c.x << " t " << c.t;
        const double halfLife = c.decay > 0.0 ? std::log(2.0) / (c.decay * year) : 0.0;
        std::printf("| %g | %g | %g | %g | %s | %g | %.9g | %.9g | %.1e | %.9g | %.1e |\n", c.x,
                    c.alpha, c.v, c.t / 86400.0,
                    halfLife > 0.0 ? std::to_string(std::lround(halfLife)).c_str() : "none",
                    c.retardation, c.expected, reference, Relative(reference, c.expected), fast,
                    Relative(fast, c.expected));
    }
}

// One grid point, kept where the closed form is at least 1e-3 of C (below,
// the relative error of any method is dominated by the absolute noise of the
// inversion, about 1e-11 C).
struct Measured {
    double peclet = 0;    // x / alpha
    double frontTime = 0; // t v / (R x): 1 when the advective front arrives
    double relative = 0;
    double absolute = 0; // in units of C
};

std::vector<Measured> MeasureGrid() {
    std::vector<Measured> measured;
    for (double x : {0.5, 2.0, 7.0, 10.0, 30.0, 50.0, 200.0}) {
        for (double alpha : {0.05, 0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 20.0}) {
            for (double v : {1e-8, 1e-7, 1e-6, 1e-5, 1e-4}) {
                for (double halfLife : {0.0, 1.0, 10.0, 100.0}) {
                    const double decay = halfLife > 0 ? DecayRate(halfLife) : 0.0;
                    for (double retardation : {1.0, 3.0, 20.0}) {
                        for (double front : {0.3, 0.5, 0.6, 0.7, 0.8, 0.85, 0.9, 0.95, 1.0, 1.05,
                                             1.1, 1.2, 1.5, 2.0, 3.0, 5.0}) {
                            const double t = front * retardation * x / v;
                            const double expected =
                                test::OgataBanks(1.0, x, t, v, alpha, decay, retardation);
                            if (expected < 1e-3) continue;
                            const double c =
                                SolveAdvectionDispersion(1.0, x, t, v, alpha, decay, retardation);
                            measured.push_back(
                                {x / alpha, front, Relative(c, expected), std::abs(c - expected)});
                        }
                    }
                }
            }
        }
    }
    return measured;
}

const std::vector<Measured>& Grid() {
    static const std::vector<Measured> grid = MeasureGrid();
    return grid;
}

struct Band {
    double pecletFrom, pecletTo; // x / alpha in (from, to]
    double frontFrom, frontTo;   // t v / (R x) in [from, to)
};

constexpr double anyTime = 100.0;
constexpr Band wellResolved{0.0, 80.0, 0.0, anyTime};
constexpr Band nearlyResolved{80.0, 100.0, 0.0, anyTime};
constexpr Band sharp{100.0, 180.0, 0.0, anyTime};
constexpr Band verySharp{180.0, 1000.0, 0.0, anyTime};
constexpr Band extreme{1000.0, 5000.0, 0.0, anyTime};

bool In(const Measured& m, const Band& band) {
    return m.peclet > band.pecletFrom && m.peclet <= band.pecletTo &&
           m.frontTime >= band.frontFrom && m.frontTime < band.frontTo;
}

Measured Worst(const Band& band) {
    Measured worst;
    for (const Measured& m : Grid()) {
        if (!In(m, band)) continue;
        worst.relative = std::max(worst.relative, m.relative);
        worst.absolute = std::max(worst.absolute, m.absolute);
    }
    return worst;
}

int Count(const Band& band) {
    return static_cast<int>(std::count_if(Grid().begin(), Grid().end(),
                                          [&](const Measured& m) { return In(m, band); }));
}

// x / alpha up to 80: relative error below 1e-6 wherever c >= 1e-3 C, with
// and without decay and retardation, on the leading edge as behind the front.
TEST(OgataBanks, GridWellResolvedFronts) {
    ASSERT_GT(Count(wellResolved), 30000);
    for (const Measured& m : Grid()) {
        if (In(m, wellResolved)) {
            EXPECT_LT(m.relative, 1e-6) << "x/alpha " << m.peclet << " t v/(R x) " << m.frontTime;
        }
    }
}

// The known limit: sharper fronts are resolved less well by 61 terms, the
// error growing with x / alpha; the errors are scattered rather than smooth
// (rounding in the quotient-difference table, amplified where the transform
// oscillates fast), largest on the leading edge and around the arrival, and
// behind the front the solution settles on C again. The bounds are the
// measured worst errors of the grid rounded up (relative, and absolute in
// units of C); exceeding one is a regression, and a kernel that does better
// should lower them together with the table of docs/numerics.md.
TEST(OgataBanks, GridSharpFrontsKnownLimit) {
    ASSERT_GT(Count(nearlyResolved), 1000);
    ASSERT_GT(Count(sharp), 1000);
    ASSERT_GT(Count(verySharp), 1000);
    ASSERT_GT(Count(extreme), 500);
    EXPECT_LT(Worst(nearlyResolved).relative, 2e-6); // measured 1.1e-6 at x / alpha = 100
    EXPECT_LT(Worst(sharp).relative, 1e-4);          // 3.3e-5, on the leading edge
    EXPECT_LT(Worst(sharp).absolute, 1e-5);          // 3.0e-6
    EXPECT_LT(Worst(verySharp).relative, 5e-2);      // 2.3e-2
    EXPECT_LT(Worst(verySharp).absolute, 2e-3);      // 6.8e-4
    EXPECT_LT(Worst(extreme).absolute, 5e-2);        // 1.9e-2
    // Twice the arrival time and later, every front is back to 1e-6.
    EXPECT_LT(Worst({80.0, 5000.0, 2.0, anyTime}).relative, 1e-6);
    // And the limit is real: at x / alpha = 1000 to 4000 the error around the
    // arrival is percent of C.
    EXPECT_GT(Worst(extreme).absolute, 1e-3);
}

// The table of docs/numerics.md: the worst relative and absolute (in units
// of C) errors by band of x / alpha, on the leading edge (t below 0.8 of the
// advective arrival time R x / v), around the arrival and behind. The test
// prints the table and holds every cell to the figure recorded there: the
// point counts exactly (the grid is fixed), the errors to half as much again
// (the scattered errors of sharp fronts move a little with a compiler's
// rounding; a larger growth is a regression of the kernel). A negative
// figure marks a cell where the solution is below 1e-3 C ("-").
TEST(OgataBanks, GridTable) {
    const double bands[] = {0.0, 10.0, 50.0, 80.0, 100.0, 180.0, 1000.0, 5000.0};
    const double fronts[] = {0.0, 0.8, 1.3, anyTime};
    struct Recorded {
        int points;
        double relative[3];
        double absolute[3];
    };
    const Recorded recorded[7] = {
        {24658, {3.0e-09, 1.7e-10, 5.6e-11}, {3.9e-11, 4.2e-11, 4.9e-11}},
        {8427, {1.1e-08, 1.6e-08, 7.4e-09}, {1.7e-10, 7.1e-09, 5.3e-09}},
        {1454, {1.1e-07, 6.8e-08, 6.7e-09}, {2.2e-09, 5.5e-08, 6.7e-09}},
        {1870, {6.0e-07, 1.1e-06, 1.6e-07}, {2.4e-09, 2.6e-07, 1.5e-07}},
        {1338, {3.3e-05, 4.4e-06, 1.8e-07}, {5.4e-08, 3.0e-06, 1.6e-07}},
        {4723, {-1, 2.3e-02, 5.0e-07}, {-1, 6.8e-04, 5.0e-07}},
        {750, {-1, 6.9e-01, 2.3e-07}, {-1, 1.9e-02, 2.1e-07}},
    };
    const double slack = 1.5;
    std::printf(
        "| x/alpha | points | t v/(R x) < 0.8 | 0.8 to 1.3 | >= 1.3 |\n|---|---|---|---|---|\n");
    for (int b = 0; b + 1 < 8; ++b) {
        const int points = Count({bands[b], bands[b + 1], 0.0, anyTime});
        EXPECT_EQ(points, recorded[b].points) << "x/alpha from " << bands[b];
        std::printf("| %g to %g | %d |", bands[b], bands[b + 1], points);
        for (int f = 0; f + 1 < 4; ++f) {
            const Band band{bands[b], bands[b + 1], fronts[f], fronts[f + 1]};
            const double expectedRelative = recorded[b].relative[f];
            if (Count(band) == 0) {
                EXPECT_LT(expectedRelative, 0.0)
                    << "x/alpha from " << bands[b] << ", front column " << f;
                std::printf(" - |");
                continue;
            }
            const Measured worst = Worst(band);
            EXPECT_LE(worst.relative, slack * expectedRelative)
                << "x/alpha from " << bands[b] << ", column " << f;
            EXPECT_LE(worst.absolute, slack * recorded[b].absolute[f])
                << "x/alpha from " << bands[b] << ", column " << f;
            std::printf(" %.1e (%.1e) |", worst.relative, worst.absolute);
        }
        std::printf("\n");
    }
}

} // namespace
} // namespace varnex
