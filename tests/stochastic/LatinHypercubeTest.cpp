// Latin hypercube samples: the normal quantile against 60-digit values, every
// law's samples one to a stratum of its own distribution function (written
// here independently, from the closed forms), the strata in a uniformly
// random order, and the random numbers taken from the stream as documented.

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "stochastic/Distribution.h"
#include "stochastic/DistributionQuantile.h"
#include "stochastic/InverseNormal.h"
#include "stochastic/LatinHypercube.h"
#include "stochastic/RandomStream.h"

namespace varnex {
namespace {

// Counts the deviates it hands out.
class CountingSource : public RandomSource {
public:
    explicit CountingSource(std::uint32_t seed) { stream_.Seed(seed); }
    int Next() override {
        ++taken;
        return stream_.Next();
    }
    long taken = 0;

private:
    RandomStream stream_;
};

Distribution Parsed(const std::string& text) {
    Distribution d;
    EXPECT_TRUE(d.Parse(text)) << text;
    return d;
}

// tests/reference/inverse_normal.py: Phi(z) = p solved at 60 digits.
TEST(InverseNormal, MatchesSixtyDigitValuesFromTheFarTailsToTheCentre) {
    struct Case {
        double p, z;
    };
    const Case cases[] = {
        {1e-300, -3.7047096299361199237e+1},
        {1e-100, -2.1273453560965324294e+1},
        {1e-20, -9.2623400897984075796},
        {1e-10, -6.3613409024040561991},
        {1e-05, -4.2648907939228246102},
        {0.001, -3.0902323061678135354},
        {0.02425, -1.9729610513118848376},
        {0.07, -1.4757910281791706856},
        {0.075, -1.4395314709384559349},
        {0.3, -5.2440051270804081597e-1},
        {0.575, 1.8911842627279237679e-1},
        {0.925, 1.4395314709384562291},
        {0.93, 1.475791028179171099},
        {0.97575, 1.9729610513118849594},
        {0.999, 3.0902323061678132778},
        {0.9999999999, 6.3613408896974218642},
        {0.9999999999999999, 8.2095361516013868556}, // 1 - 1e-16 as a double
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.p);
        // AS 241 is good to about 1e-16 relative; a few roundings more.
        EXPECT_NEAR(InverseNormal(c.p), c.z, 2e-15 * std::fabs(c.z));
    }
    EXPECT_EQ(InverseNormal(0.5), 0.0);
    EXPECT_EQ(InverseNormal(0.0), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(InverseNormal(1.0), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(InverseNormal(-0.1)));
    EXPECT_TRUE(std::isnan(InverseNormal(std::nan(""))));
}

// Distribution functions from the closed forms, independent of the code.
double Phi(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

struct ContinuousLaw {
    const char* text;
    double (*cdf)(double x);
};

const ContinuousLaw continuousLaws[] = {
    {"UNIFORM(1,3)", [](double x) { return (x - 1.0) / 2.0; }},
    {"LOGUNIFORM(0.001,10)", [](double x) { return (std::log10(x) + 3.0) / 4.0; }},
    {"TRIANGULAR(0.1,0.25,0.4)",
     [](double x) {
         return x <= 0.25 ? (x - 0.1) * (x - 0.1) / (0.3 * 0.15)
                          : 1.0 - (0.4 - x) * (0.4 - x) / (0.3 * 0.15);
     }},
    {"LOGTRIANGULAR(0.1,1,10)",
     [](double x) {
         const double y = std::log10(x);
         return y <= 0.0 ? (y + 1.0) * (y + 1.0) / 2.0 : 1.0 - (1.0 - y) * (1.0 - y) / 2.0;
     }},
    // Negative draws are discarded: the law is the normal above 0,
    // renormalised.
    {"NORMAL(1,2)",
     [](double x) { return (Phi((x - 1.0) / 2.0) - Phi(-0.5)) / (1.0 - Phi(-0.5)); }},
    {"NORMAL(10,1)", [](double x) { return (Phi(x - 10.0) - Phi(-10.0)) / (1.0 - Phi(-10.0)); }},
    // Mean 2 and deviation 1 of the value: sigma^2 = ln(1 + 1/4),
    // mu = ln 2 - sigma^2 / 2.
    {"LOGNORMAL(2,1)",
     [](double x) {
         const double s2 = std::log(1.25);
         return Phi((std::log(x) - (std::log(2.0) - s2 / 2.0)) / std::sqrt(s2));
     }},
    {"EXPONENTIAL(2)", [](double x) { return 1.0 - std::exp(-x / 2.0); }},
};

// Every stratum holds exactly one value: the k-th smallest value's
// probability F(x) lies in [k/N, (k+1)/N]. Equivalently the
// Kolmogorov-Smirnov distance to the law is at most 1/N, far inside the
// test's critical value (1.36/sqrt(N) at the 5 % level).
TEST(LatinHypercube, EveryContinuousLawPutsOneValueInEachStratum) {
    for (const ContinuousLaw& law : continuousLaws) {
        const Distribution d = Parsed(law.text);
        for (int n : {1, 2, 7, 1001, 10000}) {
            SCOPED_TRACE(std::string(law.text) + " N = " + std::to_string(n));
            CountingSource random(12345u + static_cast<std::uint32_t>(n));
            std::vector<double> values = LatinHypercubeSample(d, n, random);
            ASSERT_EQ(values.size(), static_cast<std::size_t>(n));
            std::sort(values.begin(), values.end());
            double ks = 0.0;
            for (int k = 0; k < n; ++k) {
                const double f = law.cdf(values[static_cast<std::size_t>(k)]);
                EXPECT_GE(f, static_cast<double>(k) / n - 1e-9) << "stratum " << k;
                EXPECT_LE(f, static_cast<double>(k + 1) / n + 1e-9) << "stratum " << k;
                ks = std::max({ks, std::fabs(f - static_cast<double>(k) / n),
                               std::fabs(f - static_cast<double>(k + 1) / n)});
            }
            EXPECT_LE(ks, 1.0 / n + 1e-9);
        }
    }
}

struct DiscreteLaw {
    const char* text;
    double (*pmf)(int k);
};

double PoissonPmf(double rate, int k) {
    return std::exp(k * std::log(rate) - rate - std::lgamma(k + 1.0));
}

double BinomialPmf(int n, double p, int k) {
    if (k > n) return 0.0;
    return std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0) +
                    k * std::log(p) + (n - k) * std::log1p(-p));
}

const DiscreteLaw discreteLaws[] = {
    {"POISSON(3.5)", [](int k) { return PoissonPmf(3.5, k); }},
    // e^-2000 underflows: the walk must keep its mass in logarithms.
    {"POISSON(2000)", [](int k) { return PoissonPmf(2000.0, k); }},
    {"BINOMIAL(10,0.5)", [](int k) { return BinomialPmf(10, 0.5, k); }},
    {"BINOMIAL(1000,0.01)", [](int k) { return BinomialPmf(1000, 0.01, k); }},
    {"BOOLEAN(0.5)", [](int k) { return k == 1   ? 0.75
                                        : k == 0 ? 0.25
                                                 : 0.0; }},
    {"BOOLEAN(0.2)", [](int k) { return k == 1   ? 0.6
                                        : k == 0 ? 0.4
                                                 : 0.0; }},
};

// A value k of a discrete law takes the strata whose points fall in its step
// (F(k-1), F(k)]: every stratum wholly inside the step, and the two the
// step's ends cut may or may not give it their point. So every count is
// within 2 of N P(k) (a chi-square statistic near 0, where random draws
// scatter by sqrt(N P(k))), and nothing falls outside the law's support.
TEST(LatinHypercube, EveryDiscreteLawFillsItsStepsInProportion) {
    for (const DiscreteLaw& law : discreteLaws) {
        const Distribution d = Parsed(law.text);
        for (int n : {1, 2, 7, 1001, 10000}) {
            SCOPED_TRACE(std::string(law.text) + " N = " + std::to_string(n));
            CountingSource random(777u + static_cast<std::uint32_t>(n));
            const std::vector<double> values = LatinHypercubeSample(d, n, random);
            ASSERT_EQ(values.size(), static_cast<std::size_t>(n));
            std::map<int, int> counts;
            for (double v : values) {
                ASSERT_EQ(v, std::floor(v));
                ASSERT_GE(v, 0.0);
                ++counts[static_cast<int>(v)];
            }
            int lowest = counts.begin()->first;
            int highest = counts.rbegin()->first;
            for (int k = std::max(0, lowest - 50); k <= highest + 50; ++k) {
                const double expected = n * law.pmf(k);
                const int got = counts.count(k) ? counts[k] : 0;
                EXPECT_LT(std::fabs(got - expected), 2.0) << "value " << k;
            }
        }
    }
}

// A SINGLE input stays single and takes no random number; the others take
// N points, then the permutation's pairs of deviates (and rarely a pair
// more, redrawn): the run's later inputs then start where documented.
TEST(LatinHypercube, RandomNumbersComeFromTheStreamAsDocumented) {
    CountingSource single(1);
    const std::vector<double> fives = LatinHypercubeSample(Parsed("SINGLE(5)"), 7, single);
    EXPECT_EQ(fives, std::vector<double>(7, 5.0));
    EXPECT_EQ(single.taken, 0);

    CountingSource one(1);
    EXPECT_EQ(LatinHypercubeSample(Parsed("UNIFORM(0,1)"), 1, one).size(), 1u);
    EXPECT_EQ(one.taken, 1);

    CountingSource many(1);
    LatinHypercubeSample(Parsed("UNIFORM(0,1)"), 1000, many);
    EXPECT_GE(many.taken, 1000 + 2 * 999);
    EXPECT_LE(many.taken, 1000 + 2 * 999 + 20);

    // The same stream state gives the same sample, value for value.
    CountingSource a(99), b(99);
    EXPECT_EQ(LatinHypercubeSample(Parsed("LOGNORMAL(2,1)"), 500, a),
              LatinHypercubeSample(Parsed("LOGNORMAL(2,1)"), 500, b));
    EXPECT_TRUE(LatinHypercubeSample(Parsed("UNIFORM(0,1)"), 0, a).empty());
}

// The strata are ordered by a uniformly random permutation: over 20,000
// samples of 5 values the position of the smallest value is uniform (chi-
// square with 4 degrees of freedom below 18.47, the 0.1 % point), and so are
// the random indices behind it, which must not favour small numbers as a
// plain remainder of 2^30 would for n = 3 only slightly, but for n near
// 2^29 by a third.
TEST(LatinHypercube, TheStrataComeInUniformlyRandomOrder) {
    CountingSource random(2026);
    const Distribution uniform = Parsed("UNIFORM(0,1)");
    int position[5] = {};
    const int trials = 20000;
    for (int t = 0; t < trials; ++t) {
        const std::vector<double> v = LatinHypercubeSample(uniform, 5, random);
        ++position[std::min_element(v.begin(), v.end()) - v.begin()];
    }
    double chiSquare = 0.0;
    for (int count : position) {
        const double expected = trials / 5.0;
        chiSquare += (count - expected) * (count - expected) / expected;
    }
    EXPECT_LT(chiSquare, 18.47);

    const int large = (1 << 29) + (1 << 28); // 2^30 mod n = 2^28
    int lowerHalf = 0;
    for (int t = 0; t < trials; ++t) lowerHalf += RandomIndex(large, random) < large / 2;
    // Uniform: half of them, within 4 standard deviations (71).
    EXPECT_NEAR(lowerHalf, trials / 2, 4.0 * std::sqrt(trials / 4.0));
}

// The quantile function at the stratum points is the law's own: for the
// laws whose draw formula is the inverse distribution function, the same
// formula at the same u.
TEST(LatinHypercube, QuantilesOfTheDrawFormulasAndTheirEnds) {
    EXPECT_DOUBLE_EQ(DistributionQuantile(Parsed("UNIFORM(1,3)"), 0.25), 1.5);
    EXPECT_DOUBLE_EQ(DistributionQuantile(Parsed("LOGUNIFORM(1,100)"), 0.5), 10.0);
    EXPECT_DOUBLE_EQ(DistributionQuantile(Parsed("EXPONENTIAL(2)"), 0.5), 2.0 * std::log(2.0));
    // The triangular draw's ends: below 1e-8 the minimum, above 1 - 1e-8
    // the maximum.
    EXPECT_EQ(DistributionQuantile(Parsed("TRIANGULAR(1,2,4)"), 5e-9), 1.0);
    EXPECT_EQ(DistributionQuantile(Parsed("TRIANGULAR(1,2,4)"), 1.0 - 5e-9), 4.0);
    EXPECT_DOUBLE_EQ(DistributionQuantile(Parsed("TRIANGULAR(1,2,4)"), 1.0 / 3.0), 2.0);
    // A normal law far from 0 is not truncated: its median is its mean.
    EXPECT_DOUBLE_EQ(DistributionQuantile(Parsed("NORMAL(10,1)"), 0.5), 10.0);
    EXPECT_NEAR(DistributionQuantile(Parsed("NORMAL(10,1)"), 0.975), 11.959963984540054, 1e-12);
    // NORMAL(0, 1) without its negative half: the median of |z|.
    EXPECT_NEAR(DistributionQuantile(Parsed("NORMAL(0,1)"), 0.5), 0.6744897501960817, 1e-14);
    EXPECT_EQ(DistributionQuantile(Parsed("BOOLEAN(0)"), 0.5), 0.0);
    EXPECT_EQ(DistributionQuantile(Parsed("BOOLEAN(0)"), 0.5000001), 1.0);
    EXPECT_EQ(DistributionQuantile(Parsed("BINOMIAL(10,1)"), 0.3), 10.0);
    EXPECT_EQ(DistributionQuantile(Parsed("POISSON(3.5)"), 0.5), 3.0); // F(2) = 0.32, F(3) = 0.54
}

} // namespace
} // namespace varnex
