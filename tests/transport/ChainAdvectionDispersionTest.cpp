// The decay-chain responses of a column and an aquifer: the divided
// differences they are built from, against their definitions; the
// responses against 40-digit numerical inversions of the chain transform
// (tests/reference); the closed form of the exact kernel against the
// inversion; the mass balance of a chain that passes moles down without
// losing them; and coincident members, where the textbook sums divide by
// zero.

#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <vector>

#include "base/Exception.h"
#include "transport/AdvectionDispersion.h"
#include "transport/ChainAdvectionDispersion.h"
#include "transport/ExactAdvectionDispersion.h"

namespace varnex {
namespace {

using Complex = std::complex<double>;

constexpr double secondsPerYear = 31557600.0;
constexpr double ln2 = 0.69314718055994530942;

double RateOfHalfLife(double years) { return ln2 / (years * secondsPerYear); }

// Molar masses (g/mol) of the chlorinated ethenes: C2Cl4, C2HCl3,
// cis-C2H2Cl2, C2H3Cl, from the standard atomic weights.
constexpr double molarPce = 165.83, molarTce = 131.39, molarDce = 96.94, molarVc = 62.50;

std::vector<ChainMember> Ethenes(std::vector<double> retardation, std::vector<double> halfLives) {
    const double molar[] = {molarPce, molarTce, molarDce, molarVc};
    std::vector<ChainMember> members;
    for (std::size_t l = 0; l < retardation.size(); ++l)
        members.push_back(
            {retardation[l], RateOfHalfLife(halfLives[l]), l == 0 ? 0.0 : molar[l] / molar[l - 1]});
    return members;
}

// The divided difference by its definition, sum_l f(u_l) / prod (u_l - u_q):
// exact for distinct, well separated nodes.
Complex ExplicitExpDifference(const std::vector<Complex>& u) {
    Complex sum = 0.0;
    for (std::size_t l = 0; l < u.size(); ++l) {
        Complex denominator = 1.0;
        for (std::size_t q = 0; q < u.size(); ++q)
            if (q != l) denominator *= u[l] - u[q];
        sum += std::exp(u[l]) / denominator;
    }
    return sum;
}

TEST(ExpDividedDifferenceTest, AgreesWithItsDefinitionAndItsConfluentLimit) {
    struct Case {
        std::vector<Complex> nodes;
    };
    // Separated nodes (the recurrence), clustered ones (the series) and a
    // mix of both, in 2 to 4 points.
    const std::vector<Case> cases = {
        {{{-1.0, 0.5}, {-4.0, -2.0}}},
        {{{-0.1, 0.2}, {-0.3, -0.1}}},
        {{{-2.0, 0.0}, {-2.3, 0.4}, {-2.1, -0.3}}},
        {{{-0.5, 3.0}, {-30.0, -1.0}, {-0.2, 2.5}, {-7.0, 0.0}}},
        {{{-1.0, 0.0}, {-1.2, 0.1}, {-9.0, 4.0}, {-1.1, -0.2}}},
        {{{-3.0, 1.0}, {-3.4, 1.2}, {-3.1, 0.7}, {-3.6, 0.9}}},
    };
    for (const Case& c : cases) {
        const Complex expected = ExplicitExpDifference(c.nodes);
        const Complex got = ExpDividedDifference(c.nodes.data(), c.nodes.size());
        EXPECT_LT(std::abs(got - expected), 1e-11 * std::abs(expected)) << c.nodes.size();
    }
    // Coincident nodes: exp[u, ..., u] = exp(u) / (n-1)!, the derivative
    // form; and nodes 1e-9 apart lie on it to rounding, where the
    // definition would have lost nine digits.
    const Complex u(-2.5, 0.75);
    for (std::size_t n = 2; n <= 4; ++n) {
        std::vector<Complex> same(n, u);
        double factorial = 1.0;
        for (std::size_t p = 2; p < n; ++p) factorial *= double(p);
        const Complex expected = std::exp(u) / factorial;
        EXPECT_LT(std::abs(ExpDividedDifference(same.data(), n) - expected),
                  1e-15 * std::abs(expected));
        std::vector<Complex> near = same;
        for (std::size_t l = 0; l < n; ++l) near[l] += Complex(1e-9 * double(l), -2e-9 * double(l));
        EXPECT_LT(std::abs(ExpDividedDifference(near.data(), n) - expected),
                  1e-8 * std::abs(expected));
    }
}

// Reference values: mpmath.invertlaplace (Talbot) at 30 digits of the
// chain transform written as the explicit sum of exponentials,
// tests/reference/decay_chain_column.py's method 1; the unsaturated layer
// setting (x = 3 m, q = 0.25 m/year over theta = 0.2, alpha = 0.1 m),
// half-lives 5, 3, 8 and 20 years, molar-mass yields.
TEST(ChainColumnResponseTest, MatchesHighPrecisionInversionWithEveryKernel) {
    struct Case {
        std::vector<double> retardation;
        double years;
        double expected;
    };
    const std::vector<Case> cases = {
        {{1, 3}, 5, 0.072256902333477726713},
        {{1, 3, 1.8}, 10, 0.075773511960132484135},
        {{1, 3, 1.8, 1.2}, 10, 0.007957450107148856318},
        {{2.5, 2.5, 2.5}, 10, 0.1305705891443283441},
        {{1, 1, 1, 1}, 4, 0.0019224771451759394772},
    };
    const double velocity = 1.25 / secondsPerYear;
    for (const Case& c : cases) {
        const std::vector<ChainMember> members =
            Ethenes(c.retardation, std::vector<double>{5, 3, 8, 20});
        for (SolverKernel kernel :
             {SolverKernel::fast, SolverKernel::reference, SolverKernel::exact}) {
            const double got = ChainColumnResponse(kernel, 1.0, members.data(), members.size(), 3.0,
                                                   c.years * secondsPerYear, velocity, 0.1);
            EXPECT_NEAR(got, c.expected, 1e-8 * c.expected)
                << members.size() << " members, kernel " << SolverKernelName(kernel);
        }
    }
}

// With equal retardation, yields equal to the ratios of the molar masses
// and a last member that does not decay, decay only passes moles down the
// chain: the moles of all members together move as one solute without
// decay (the transformation of Sun, Petersen and Clement 1999 with a zero
// rate). So sum_j c_j M_1 / M_j is the single-member solution without
// decay, a closed form independent of the chain code.
TEST(ChainColumnResponseTest, PassesMolesDownTheChainWithoutLosingThem) {
    const double molar[] = {molarPce, molarTce, molarDce, molarVc};
    const double velocity = 1e-6;
    for (std::size_t count = 2; count <= 4; ++count) {
        std::vector<ChainMember> members =
            Ethenes(std::vector<double>(count, 2.0), std::vector<double>{2, 3, 1.5, 1});
        members.back().decayPerS = 0.0;
        for (double days : {60.0, 400.0, 900.0, 2000.0, 8000.0}) {
            const double t = days * 86400.0;
            const double x = 40.0;
            const double alpha = 5.0;
            const double conserved = ExactAdvectionDispersion(1.0, x, t, velocity, alpha, 0.0, 2.0);
            for (SolverKernel kernel :
                 {SolverKernel::exact, SolverKernel::reference, SolverKernel::fast}) {
                double moles =
                    ExactAdvectionDispersion(1.0, x, t, velocity, alpha, members[0].decayPerS, 2.0);
                for (std::size_t j = 2; j <= count; ++j)
                    moles +=
                        ChainColumnResponse(kernel, 1.0, members.data(), j, x, t, velocity, alpha) *
                        molar[0] / molar[j - 1];
                // The closed form sums exactly; the inversion to its accuracy,
                // about 1e-11 of the inlet in the far tail (where the exact
                // kernel inverts too: early on, Bateman's sum cancels).
                const bool exact = kernel == SolverKernel::exact;
                EXPECT_NEAR(moles, conserved,
                            exact ? 1e-12 * conserved + 1e-11 : 1e-7 * conserved + 1e-11)
                    << count << " members, " << days << " days, " << SolverKernelName(kernel);
            }
        }
    }
}

// Two members with the same retardation and rate: the explicit sums divide
// by zero there, the divided differences do not. The response lies on the
// limit of ever closer rates, and the exact kernel, which cannot use its
// closed form there, falls back to the inversion.
TEST(ChainColumnResponseTest, StaysFiniteAndContinuousForCoincidentMembers) {
    const double velocity = 1.25 / secondsPerYear;
    for (std::size_t count = 2; count <= 4; ++count) {
        std::vector<ChainMember> same =
            Ethenes(std::vector<double>(count, 1.5), std::vector<double>(count, 4.0));
        std::vector<ChainMember> near = same;
        for (std::size_t l = 1; l < count; ++l) near[l].decayPerS *= 1.0 + 1e-7 * double(l);
        for (SolverKernel kernel : {SolverKernel::fast, SolverKernel::exact}) {
            const double t = 12.0 * secondsPerYear;
            const double atLimit =
                ChainColumnResponse(kernel, 1.0, same.data(), count, 3.0, t, velocity, 0.1);
            const double close =
                ChainColumnResponse(kernel, 1.0, near.data(), count, 3.0, t, velocity, 0.1);
            ASSERT_TRUE(std::isfinite(atLimit));
            EXPECT_GT(atLimit, 1e-4);
            EXPECT_NEAR(atLimit, close, 1e-6 * atLimit) << count << " members";
        }
    }
}

// The guards of the single-member kernels, in their order, and a parent
// that does not decay forms nothing.
TEST(ChainColumnResponseTest, GuardsAsTheSingleMemberKernels) {
    const std::vector<ChainMember> members = Ethenes({1, 2}, {5, 3});
    const ChainMember* m = members.data();
    EXPECT_EQ(ChainColumnResponse(SolverKernel::fast, 1.0, m, 2, 3.0, 0.0, 1e-7, 0.0), 0.0);
    EXPECT_THROW(ChainColumnResponse(SolverKernel::fast, 1.0, m, 2, 3.0, 1e8, 1e-7, 0.0),
                 Exception);
    EXPECT_THROW(ChainColumnResponse(SolverKernel::exact, 1.0, m, 2, 3.0, 1e8, -1e-7, 0.1),
                 Exception);
    EXPECT_EQ(ChainColumnResponse(SolverKernel::fast, 1.0, m, 2, -1.0, 1e8, 1e-7, 0.1), 0.0);
    EXPECT_THROW(
        ChainAquiferResponse(SolverKernel::fast, 1.0, m, 2, 10.0, 0.0, 5.0, 1e8, 1e-6, -1.0, 1.0),
        Exception);
    std::vector<ChainMember> stable = members;
    stable[0].decayPerS = 0.0;
    EXPECT_EQ(ChainColumnResponse(SolverKernel::fast, 1.0, stable.data(), 2, 3.0, 1e8, 1e-7, 0.1),
              0.0);
}

// The aquifer response is the column response along the flow times the
// lateral factor of the last member; on the centre line of a wide source
// that factor is 1, and half a width off the centre line with little
// lateral spreading it is 1/2.
TEST(ChainAquiferResponseTest, IsTheColumnResponseTimesTheLateralFactor) {
    const std::vector<ChainMember> members = Ethenes({1.2, 1.5, 1.1}, {3, 2, 6});
    const double t = 3.0 * secondsPerYear;
    const double v = 1e-6;
    for (SolverKernel kernel : {SolverKernel::fast, SolverKernel::exact}) {
        const double column =
            ChainColumnResponse(kernel, 1.0, members.data(), 3, 150.0, t, v, 10.0);
        EXPECT_NEAR(
            ChainAquiferResponse(kernel, 1.0, members.data(), 3, 150.0, 0.0, 1e6, t, v, 1.0, 10.0),
            column, 1e-12 * column);
        // Abramowitz and Stegun's erf is good to 2.5e-5; the exact one to
        // rounding.
        const double edge = ChainAquiferResponse(kernel, 1.0, members.data(), 3, 150.0, 50.0, 100.0,
                                                 t, v, 1e-6, 10.0);
        EXPECT_NEAR(edge, 0.5 * column, (kernel == SolverKernel::exact ? 1e-12 : 3e-5) * column);
    }
}

} // namespace
} // namespace varnex
