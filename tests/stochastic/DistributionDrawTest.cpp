// Single draws at exact deviates. The scripted random source feeds chosen
// 15-bit values r, so u = r / 32767 is known; expected values come from the
// closed-form laws (cumulative distribution functions) or are worked by hand.

#include <cmath>
#include <gtest/gtest.h>
#include <string>

#include "stochastic/Distribution.h"
#include "stochastic/RandomStream.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

using test::ScriptedRandomSource;

constexpr int top = 32767;

Distribution Parsed(const char* text) {
    Distribution d;
    EXPECT_TRUE(d.Parse(text)) << text;
    return d;
}

double U(int r) { return r / 32767.0; }

class DistributionDraw : public ::testing::Test {
protected:
    void SetUp() override { test::ResetProgramState(); }
};

TEST_F(DistributionDraw, EndsOfTheDeviateGiveTheEndsOfTheRange) {
    struct Case {
        const char* text;
        double atZero;
        double atTop;
    } cases[] = {
        {"UNIFORM(2,4)", 2.0, 4.0},      {"LOGUNIFORM(1,100)", 1.0, 100.0},
        {"TRIANGULAR(1,2,3)", 1.0, 3.0}, {"LOGTRIANGULAR(0.5,2,8)", 0.5, 8.0},
        {"TRIANGULAR(1,1,3)", 1.0, 3.0}, {"TRIANGULAR(1,3,3)", 1.0, 3.0},
    };
    for (const Case& c : cases) {
        Distribution d = Parsed(c.text);
        {
            ScriptedRandomSource source{0};
            EXPECT_EQ(d.Draw(false), c.atZero) << c.text;
        }
        {
            ScriptedRandomSource source{top};
            EXPECT_EQ(d.Draw(false), c.atTop) << c.text;
        }
    }
}

TEST_F(DistributionDraw, InteriorDrawsInvertTheCumulativeLaw) {
    // F(x) of each continuous law evaluated at the draw gives back u.
    const int deviates[] = {1, 3277, 8192, 16383, 16384, 24575, 32766};
    for (int r : deviates) {
        const double u = U(r);
        {
            ScriptedRandomSource source{r};
            const double x = Parsed("UNIFORM(2,6)").Draw(false);
            EXPECT_NEAR((x - 2.0) / 4.0, u, 1e-12);
        }
        {
            ScriptedRandomSource source{r};
            const double x = Parsed("LOGUNIFORM(0.01,100)").Draw(false);
            EXPECT_NEAR((std::log(x) - std::log(0.01)) / (std::log(100.0) - std::log(0.01)), u,
                        1e-12);
        }
        {
            // Triangular(a=1, c=2, b=5): F = (x-a)^2/((b-a)(c-a)) below c,
            // 1 - (b-x)^2/((b-a)(b-c)) above.
            ScriptedRandomSource source{r};
            const double x = Parsed("TRIANGULAR(1,2,5)").Draw(false);
            const double f =
                x <= 2.0 ? (x - 1) * (x - 1) / (4.0 * 1.0) : 1 - (5 - x) * (5 - x) / (4.0 * 3.0);
            EXPECT_NEAR(f, u, 1e-12);
        }
        {
            // Log-triangular: the triangular law of log10(x).
            ScriptedRandomSource source{r};
            const double x = std::log10(Parsed("LOGTRIANGULAR(0.1,1,100)").Draw(false));
            const double f =
                x <= 0.0 ? (x + 1) * (x + 1) / 3.0 : 1 - (2 - x) * (2 - x) / (3.0 * 2.0);
            EXPECT_NEAR(f, u, 1e-12);
        }
        {
            ScriptedRandomSource source{r};
            const double x = Parsed("EXPONENTIAL(2)").Draw(false);
            EXPECT_NEAR(1.0 - std::exp(-x / 2.0), u, 1e-12);
        }
    }
}

TEST_F(DistributionDraw, ExponentialTopDeviateIsFinite) {
    // u = 1 has no finite quantile; it stands for the upper half of the last
    // step of the 15-bit deviate: -mean * ln(0.5 / 32767) = mean * ln(65534).
    ScriptedRandomSource source{top, 0};
    Distribution d = Parsed("EXPONENTIAL(2)");
    const double x = d.Draw(false);
    EXPECT_TRUE(std::isfinite(x));
    EXPECT_NEAR(x, 2.0 * std::log(65534.0), 1e-12);
    EXPECT_EQ(source.Consumed(), 1u);
    // u = 0 gives exactly zero, not a negative zero.
    const double zero = d.Draw(false);
    EXPECT_EQ(zero, 0.0);
    EXPECT_FALSE(std::signbit(zero));
}

TEST_F(DistributionDraw, BinomialCountsSuccessesBelowTheProbability) {
    {
        ScriptedRandomSource source{0, 100, 32766};
        EXPECT_EQ(Parsed("BINOMIAL(10,1)").Draw(false), 10.0);
        EXPECT_EQ(source.Consumed(), 10u);
    }
    {
        // A deviate of exactly 1 is not below a probability of 1.
        ScriptedRandomSource source{5, 5, 5, 5, top, 5, 5, 5, 5, 5};
        EXPECT_EQ(Parsed("BINOMIAL(10,1)").Draw(false), 9.0);
    }
    {
        ScriptedRandomSource source{0};
        EXPECT_EQ(Parsed("BINOMIAL(10,0)").Draw(false), 0.0);
    }
    {
        // p = 0.5: r = 16383 (u < 0.5) succeeds, r = 16384 fails.
        ScriptedRandomSource source{16383, 16384, 16383, 16384};
        EXPECT_EQ(Parsed("BINOMIAL(4,0.5)").Draw(false), 2.0);
    }
}

TEST_F(DistributionDraw, BooleanThresholds) {
    Distribution fair = Parsed("BOOLEAN(0)");
    {
        ScriptedRandomSource source{16383, 16384};
        EXPECT_EQ(fair.Draw(false), 0.0);
        EXPECT_EQ(fair.Draw(false), 1.0);
    }
    Distribution biased = Parsed("BOOLEAN(1)");
    {
        ScriptedRandomSource source{0, 1};
        EXPECT_EQ(biased.Draw(false), 0.0);
        EXPECT_EQ(biased.Draw(false), 1.0);
    }
}

TEST_F(DistributionDraw, PoissonByProductOfDeviates) {
    // Rate 2: e^-2 = 0.1353. With u = 0.50002 every time the products are
    // 0.50002, 0.25002, 0.12502: the third falls below e^-2, so k = 2.
    ScriptedRandomSource source{16384};
    EXPECT_EQ(Parsed("POISSON(2)").Draw(false), 2.0);
    EXPECT_EQ(source.Consumed(), 3u);
}

TEST_F(DistributionDraw, PoissonOfALargeRateDoesNotStopAtUnderflow) {
    // With u fixed, the count is the first k whose k+1 factors bring the
    // product to e^-rate or below: k = ceil(rate / -ln u) - 1. The product of
    // 1442 factors of 0.5 underflows long before that, so a product loop
    // would stop near 1075.
    ScriptedRandomSource source{16384};
    const double u = U(16384);
    const double expected = std::ceil(1000.0 / -std::log(u)) - 1.0;
    EXPECT_EQ(Parsed("POISSON(1000)").Draw(false), expected);
}

TEST_F(DistributionDraw, PoissonOfAHugeRateIsNearItsMean) {
    Distribution d = Parsed("POISSON(1e9)");
    for (int i = 0; i < 20; ++i) {
        const double x = d.Draw(false);
        EXPECT_EQ(x, std::floor(x));
        EXPECT_NEAR(x, 1e9, 7 * std::sqrt(1e9));
    }
}

TEST_F(DistributionDraw, ZeroDeviateDoesNotEndAPoissonCount) {
    // A deviate of 0 comes once in 32768; a count that stopped at it ended
    // after some 32768 factors on average, whatever the rate, so above a few
    // thousand many draws were far too small. Each draw must lie within 7
    // standard deviations of the rate.
    for (double rate : {5e3, 2e4, 1e5}) {
        Distribution d;
        ASSERT_TRUE(d.Parse("POISSON(" + std::to_string(rate) + ")"));
        for (int i = 0; i < 10; ++i) EXPECT_NEAR(d.Draw(false), rate, 7 * std::sqrt(rate)) << rate;
    }
    // Small rates are unchanged: after a 0 the product is already below
    // e^-rate, so the count ends where it did.
    ScriptedRandomSource source{16384, 0};
    Distribution d;
    ASSERT_TRUE(d.Parse("POISSON(11)"));
    EXPECT_EQ(d.Draw(false), 1.0);
}

TEST_F(DistributionDraw, NormalPolarMethodRejectsPointsOutsideTheCircle) {
    // (r1, r2) = (32767, 32767) gives w = (1, 1), s = 2 > 1: rejected. The
    // next pair (16384, 29490) gives w1 ~ 0, w2 = 0.79998.
    ScriptedRandomSource source{top, top, 16384, 29490};
    const double w1 = 2 * U(16384) - 1, w2 = 2 * U(29490) - 1, s = w1 * w1 + w2 * w2;
    const double expected = 1.0 + 2.0 * w2 * std::sqrt(-2.0 * std::log(s) / s);
    EXPECT_NEAR(Parsed("NORMAL(1,2)").Draw(false), expected, 1e-12);
    EXPECT_EQ(source.Consumed(), 4u);
}

TEST_F(DistributionDraw, NegativeNormalDrawsAreDrawnAgain) {
    // The first pair (16384, 3277) gives w2 = -0.8 and x = 1 + 2 * (-0.8) *
    // 1.181 = -0.89 < 0; it is discarded and the second pair is used.
    ScriptedRandomSource source{16384, 3277, 16384, 29490};
    const double x = Parsed("NORMAL(1,2)").Draw(false);
    EXPECT_GT(x, 0.0);
    EXPECT_EQ(source.Consumed(), 4u);
}

TEST_F(DistributionDraw, LogNormalUsesTheMomentsOfItsLogarithm) {
    // m = 2, sd = 1: sigma^2 = ln(1 + 1/4), mu = ln(4 / sqrt(5)).
    ScriptedRandomSource source{16384, 29490};
    const double w1 = 2 * U(16384) - 1, w2 = 2 * U(29490) - 1, s = w1 * w1 + w2 * w2;
    const double z = w2 * std::sqrt(-2.0 * std::log(s) / s);
    const double expected =
        std::exp(std::log(4.0 / std::sqrt(5.0)) + std::sqrt(std::log(1.25)) * z);
    EXPECT_NEAR(Parsed("LOGNORMAL(2,1)").Draw(false), expected, 1e-12);
}

TEST_F(DistributionDraw, EveryStoredDrawIsNonNegativeAndFinite) {
    const char* texts[] = {"NORMAL(1,2)",    "NORMAL(0,5)",    "LOGNORMAL(1,3)",
                           "EXPONENTIAL(0)", "EXPONENTIAL(4)", "UNIFORM(0,1e-300)"};
    for (const char* text : texts) {
        Distribution d = Parsed(text);
        for (int i = 0; i < 5000; ++i) {
            const double x = d.Draw(false);
            ASSERT_TRUE(x >= 0.0 && std::isfinite(x)) << text << " gave " << x;
            ASSERT_EQ(d.sample, x);
        }
    }
}

TEST_F(DistributionDraw, ADistributionThatNeverPassedItsCheckDoesNotHang) {
    Distribution d;
    d.type = 6; // NORMAL(-1e6, 1): every draw negative
    d.mean = -1e6;
    d.standardDeviation = 1;
    EXPECT_EQ(d.Draw(false), -1e6); // gives up and returns the central value
    d.type = 1;
    d.singleValue = -3;
    EXPECT_EQ(d.Draw(false), -3);
}

TEST_F(DistributionDraw, CentralValues) {
    struct Case {
        const char* text;
        double central;
    } cases[] = {
        {"SINGLE(5)", 5},         {"UNIFORM(2,4)", 3},         {"LOGUNIFORM(1,100)", 10},
        {"TRIANGULAR(1,2,5)", 2}, {"LOGTRIANGULAR(1,3,9)", 3}, {"NORMAL(3,1)", 3},
        {"LOGNORMAL(4,2)", 4},    {"POISSON(4)", 4},           {"BINOMIAL(10,0.3)", 3},
        {"EXPONENTIAL(2)", 2},    {"BOOLEAN(0.5)", 0},
    };
    for (const Case& c : cases) {
        ScriptedRandomSource source{12345};
        Distribution d = Parsed(c.text);
        EXPECT_DOUBLE_EQ(d.Draw(true), c.central) << c.text;
        EXPECT_DOUBLE_EQ(d.sample, c.central) << c.text;
        EXPECT_EQ(source.Consumed(), 0u) << c.text;
    }
}

TEST_F(DistributionDraw, UndefinedReturnsTheLastSampleWithoutDrawing) {
    ScriptedRandomSource source{12345};
    Distribution d;
    d.sample = 4.5;
    EXPECT_EQ(d.Draw(false), 4.5);
    EXPECT_EQ(d.Draw(true), 4.5);
    EXPECT_EQ(d.CentralValue(), 4.5);
    EXPECT_EQ(source.Consumed(), 0u);
}

TEST_F(DistributionDraw, SingleUsesNoDeviate) {
    ScriptedRandomSource source{12345};
    EXPECT_EQ(Parsed("SINGLE(2)").Draw(false), 2.0);
    EXPECT_EQ(source.Consumed(), 0u);
}

} // namespace
} // namespace varnex
