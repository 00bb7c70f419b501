#include <cmath>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "support/Expectations.h"
#include "support/ProgramStateTest.h"
#include "transport/AdvectionDispersion.h"
#include "transport/ErrorFunctions.h"
#include "transport/ExactAdvectionDispersion.h"

namespace varnex {
namespace {

constexpr double year = 365.25 * 86400.0;

class ExactAdvectionDispersionTest : public test::ProgramStateTest {};

// Erf, Erfc and Erfcx against 40-digit values (mpmath 1.3: mp.erf, mp.erfc,
// mp.exp(x^2) mp.erfc(x), printed with mp.nstr to 17 digits), on every branch of Cody's
// approximations and their joins at 0.46875 and 4.
TEST_F(ExactAdvectionDispersionTest, ErrorFunctionsMatchHighPrecisionValues) {
    struct Case {
        double x, erf, erfc, erfcx;
    };
    const Case cases[] = {
        {-2.0, -0.99532226501895273, 1.9953222650189527, 108.94090438997797},
        {-0.3, -0.32862675945912743, 1.3286267594591274, 1.4537492328427656},
        {1e-10, 1.1283791670955126e-10, 0.99999999988716208, 0.99999999988716208},
        {0.46875, 0.49261347321793799, 0.50738652678206201, 0.63206968924955608},
        {0.5, 0.52049987781304654, 0.47950012218695346, 0.61569034419292587},
        {2.0, 0.99532226501895273, 0.0046777349810472658, 0.25539567631050574},
        {4.0, 0.9999999845827421, 1.5417257900280019e-8, 0.13699945762506139},
        {4.1, 0.99999999329997235, 6.7000276540848984e-9, 0.13383411641865198},
        {10.0, 1.0, 2.0884875837625448e-45, 0.056140992743822586},
        {26.0, 1.0, 5.6631924088561428e-296, 0.021683584850562907},
        {1e5, 1.0, 0.0, 5.6418958351954681e-6}, // erfc about 5e-4342944825
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        // A few units in the last place: Cody's approximations are exact
        // to 6e-19, what is left is the rounding of double arithmetic.
        EXPECT_NEAR(Erf(c.x), c.erf, 5e-15 * std::fabs(c.erf));
        EXPECT_NEAR(Erfc(c.x), c.erfc, 5e-15 * c.erfc);
        EXPECT_NEAR(Erfcx(c.x), c.erfcx, 5e-15 * c.erfcx);
    }
    EXPECT_TRUE(std::isinf(Erfcx(-30.0)));
    EXPECT_TRUE(std::isnan(Erfcx(std::numeric_limits<double>::quiet_NaN())));
}

// tests/reference/exact_column.py evaluates the closed form as written at 40
// digits over columns of soils and aquifers and the extremes (Peclet numbers
// to 1e6, 1e-6 to 1e7 years, decay to 1e3 per year, retardation to 1e6,
// v = 0); the double evaluation keeps |c - c*| <= 1e-12 C + 1e-10 c*.
TEST_F(ExactAdvectionDispersionTest, MatchesTheFortyDigitClosedFormEverywhere) {
    std::ifstream table(VARNEX_SOURCE_DIR "/tests/transport/data/exact_column.csv");
    ASSERT_TRUE(table) << "tests/transport/data/exact_column.csv";
    std::string line;
    std::getline(table, line); // header
    int rows = 0;
    int failures = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::vector<double> value;
        // strtod, not stod: values below the doubles (1e-400) read as 0.
        for (std::string field; std::getline(fields, field, ',');)
            value.push_back(std::strtod(field.c_str(), nullptr));
        ASSERT_EQ(value.size(), 7u) << line;
        const double expected = value[6] < 1e-30 ? 0.0 : value[6];
        const double got = ExactAdvectionDispersion(1.0, value[0], value[1], value[2], value[3],
                                                    value[4], value[5]);
        ++rows;
        if (!(std::fabs(got - expected) <= 1e-12 + 1e-10 * expected) && ++failures <= 10)
            ADD_FAILURE() << line << ": got " << got;
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GT(rows, 7000);
}

// Where the inversion is well conditioned (Peclet number L / alpha <= 50 and
// c above 1e-3 C), the 61-term inversion of the same transform agrees with
// the closed form to better than 1e-7 relative.
TEST_F(ExactAdvectionDispersionTest, AgreesWithTheInvertingKernelWhereItIsWellConditioned) {
    int compared = 0;
    for (double x : {0.5, 2.0, 10.0})
        for (double alpha : {0.2, 1.0, 5.0})
            for (double years : {1.0, 10.0, 50.0})
                for (double v : {1e-8, 1e-7, 1e-6})
                    for (double decay : {0.0, 1e-9})
                        for (double r : {1.0, 4.0}) {
                            if (x / alpha > 50.0) continue;
                            const double inverted =
                                SolveAdvectionDispersion(1.0, x, years * year, v, alpha, decay, r);
                            if (inverted <= 1e-3) continue;
                            const double exact =
                                ExactAdvectionDispersion(1.0, x, years * year, v, alpha, decay, r);
                            EXPECT_NEAR(exact, inverted, 1e-7 * inverted)
                                << x << " m, " << alpha << " m, " << years << " years, " << v
                                << " m/s, " << decay << " 1/s, R " << r;
                            ++compared;
                        }
    EXPECT_GT(compared, 100);
}

// The guards of the inverting kernel, in its order: time before distance
// before the input checks, the same messages, results floored at 1e-30.
TEST_F(ExactAdvectionDispersionTest, GuardsAsTheInvertingKernel) {
    EXPECT_EQ(ExactAdvectionDispersion(1.0, 5.0, 0.0, 1e-6, 0.0, 0.0, 1.0), 0.0);
    EXPECT_EQ(ExactAdvectionDispersion(1.0, 5.0, -1.0, -1.0, 1.0, 0.0, 1.0), 0.0);
    EXPECT_EQ(ExactAdvectionDispersion(1.0, -1.0, year, 1e-6, 1.0, 0.0, 1.0), 0.0);
    // Far ahead of the front the value is below the floor.
    EXPECT_EQ(ExactAdvectionDispersion(1.0, 1000.0, year, 1e-9, 0.01, 0.0, 1.0), 0.0);
    for (double alpha : {0.0, -1.0}) {
        test::ExpectError(
            [alpha] { ExactAdvectionDispersion(1.0, 5.0, year, 1e-6, alpha, 0.0, 1.0); },
            "Dispersivity cannot be zero.  Advection diffusion equation cannot "
            "be solved.");
        test::ExpectError(
            [alpha] { SolveAdvectionDispersion(1.0, 5.0, year, 1e-6, alpha, 0.0, 1.0); },
            "Dispersivity cannot be zero.  Advection diffusion equation cannot "
            "be solved.");
    }
    test::ExpectError([] { ExactAdvectionDispersion(1.0, 5.0, year, -1e-6, 1.0, 0.0, 1.0); },
                      "Speed of contaminant cannot be less than zero.  Advection diffusion "
                      "equation cannot be solved.");
    // An undefined result is 0, not NaN.
    EXPECT_EQ(ExactAdvectionDispersion(1.0, 5.0, year, std::nan(""), 1.0, 0.0, 1.0), 0.0);
}

} // namespace
} // namespace varnex
