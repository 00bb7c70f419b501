// The two sensitivity coefficients and the filling of the sensitivity list.
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

#include "analysis/SensitivityAnalysis.h"
#include "results/ResultVector.h"
#include "stochastic/IterationCount.h"
#include "stochastic/StochasticParameter.h"
#include "support/LiteralGapExchange.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

class SensitivityCoefficientTest : public test::ProgramStateTest {};

// An input holding exactly these samples under a sampled distribution.
StochasticParameter Input(const std::vector<double>& samples,
                          const std::string& text = "UNIFORM(0,1000)") {
    StochasticParameter input;
    test::SetInput(input, text);
    input.Resize(static_cast<int>(samples.size()));
    for (std::size_t i = 0; i < samples.size(); ++i) input.SampleAt(i) = samples[i];
    return input;
}

ResultVector Result(const std::vector<double>& values) {
    ResultVector result;
    result.Prepare(values.size(), true);
    for (std::size_t i = 0; i < values.size(); ++i) result.At(i) = values[i];
    result.ComputeStatistics();
    return result;
}

double Pearson(const std::vector<double>& x, const std::vector<double>& y) {
    const double n = static_cast<double>(x.size());
    double mx = 0, my = 0;
    for (std::size_t i = 0; i < x.size(); ++i) mx += x[i] / n, my += y[i] / n;
    double sxy = 0, sxx = 0, syy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
        syy += (y[i] - my) * (y[i] - my);
    }
    return sxy / std::sqrt(sxx * syy);
}

TEST_F(SensitivityCoefficientTest, PerfectAgreementAndReversalGiveOneAndMinusOne) {
    const StochasticParameter x = Input({1, 2, 3});
    EXPECT_DOUBLE_EQ(ProductMomentCoefficient(x, Result({10, 20, 30})), 1.0);
    EXPECT_DOUBLE_EQ(RankCoefficient(x, Result({10, 20, 30})), 1.0);
    EXPECT_DOUBLE_EQ(ProductMomentCoefficient(x, Result({30, 20, 10})), -1.0);
    EXPECT_DOUBLE_EQ(RankCoefficient(x, Result({30, 20, 10})), -1.0);
    // Iterations out of order: the rank coefficient follows the samples'
    // order, not the iteration order.
    const StochasticParameter shuffled = Input({3, 1, 2});
    EXPECT_DOUBLE_EQ(RankCoefficient(shuffled, Result({30, 10, 20})), 1.0);
    EXPECT_DOUBLE_EQ(RankCoefficient(shuffled, Result({10, 30, 20})), -1.0);
}

TEST_F(SensitivityCoefficientTest, DegenerateDataGiveZero) {
    const StochasticParameter x = Input({1, 2, 3});
    // All-zero results: no result variance, and a zero sum for the rank form.
    EXPECT_EQ(ProductMomentCoefficient(x, Result({0, 0, 0})), 0.0);
    EXPECT_EQ(RankCoefficient(x, Result({0, 0, 0})), 0.0);
    // A constant result whose mean does not come out exactly (0.1 three
    // times sums to 0.30000000000000004): the sums of squares are rounding
    // noise, which must not turn into a coefficient.
    EXPECT_EQ(ProductMomentCoefficient(x, Result({0.1, 0.1, 0.1})), 0.0);
    EXPECT_EQ(RankCoefficient(x, Result({0.1, 0.1, 0.1})), 0.0);
    // Constant samples, including a negative constant that a smallest and
    // largest sample started from 1e308 and 0 would not recognise.
    EXPECT_EQ(ProductMomentCoefficient(Input({0.7, 0.7, 0.7}), Result({1, 5, 2})), 0.0);
    EXPECT_EQ(RankCoefficient(Input({0.7, 0.7, 0.7}), Result({1, 5, 2})), 0.0);
    StochasticParameter negative = Input({1, 2, 3});
    for (std::size_t i = 0; i < 3; ++i) negative.SampleAt(i) = -2.0;
    EXPECT_EQ(RankCoefficient(negative, Result({1, 5, 2})), 0.0);
    // A SINGLE input, whatever its samples hold.
    const StochasticParameter single = Input({1, 2, 3}, "SINGLE(2)");
    EXPECT_EQ(ProductMomentCoefficient(single, Result({10, 20, 30})), 0.0);
    EXPECT_EQ(RankCoefficient(single, Result({10, 20, 30})), 0.0);
}

TEST_F(SensitivityCoefficientTest, MismatchedOrMissingSamplesGiveZeroInsteadOfReadingPastThem) {
    const ResultVector result = Result({10, 20, 30, 40});
    // An input the run did not sample has no samples at all.
    StochasticParameter unsampled;
    test::SetInput(unsampled, "UNIFORM(0,1)");
    EXPECT_EQ(ProductMomentCoefficient(unsampled, result), 0.0);
    EXPECT_EQ(RankCoefficient(unsampled, result), 0.0);
    // Samples of another iteration count, shorter or longer.
    EXPECT_EQ(ProductMomentCoefficient(Input({1, 2, 3}), result), 0.0);
    EXPECT_EQ(RankCoefficient(Input({1, 2, 3}), result), 0.0);
    EXPECT_EQ(ProductMomentCoefficient(Input({1, 2, 3, 4, 5}), result), 0.0);
    EXPECT_EQ(RankCoefficient(Input({1, 2, 3, 4, 5}), result), 0.0);
    // No values.
    EXPECT_EQ(ProductMomentCoefficient(Input({}), ResultVector()), 0.0);
    EXPECT_EQ(RankCoefficient(Input({}), ResultVector()), 0.0);
    // Values that are not numbers.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(ProductMomentCoefficient(Input({1, 2, 3, 4}), Result({10, nan, 30, 40})), 0.0);
    EXPECT_EQ(RankCoefficient(Input({1, nan, 3, 4}), result), 0.0);
}

// The rank coefficient correlates the ranks of the input with the result
// values as they are. A result that is a monotone but non-linear function of
// the input therefore does not give 1: exp(x) for x = 1..5 rises ever more
// steeply against the evenly spaced ranks, and the coefficient is Pearson's
// correlation of (1..5, e^1..e^5), about 0.886. What does give 1 is a
// result linear in the input's rank, however unevenly the input is spaced,
// where the product-moment coefficient falls short of 1.
TEST_F(SensitivityCoefficientTest, RankCoefficientMeasuresLinearityInTheInputsRank) {
    const std::vector<double> xs{3, 1, 5, 2, 4};
    std::vector<double> ys;
    for (double x : xs) ys.push_back(std::exp(x));
    const double rank = RankCoefficient(Input(xs), Result(ys));
    EXPECT_NEAR(
        rank,
        Pearson({1, 2, 3, 4, 5}, {std::exp(1), std::exp(2), std::exp(3), std::exp(4), std::exp(5)}),
        1e-12);
    EXPECT_GT(rank, 0.88);
    EXPECT_LT(rank, 0.89);

    // Samples 1, 2, 10, 100 in shuffled iterations; results 7 + 3 x rank.
    const StochasticParameter uneven = Input({10, 1, 100, 2});
    const ResultVector linearInRank = Result({13, 7, 16, 10});
    EXPECT_NEAR(RankCoefficient(uneven, linearInRank), 1.0, 1e-12);
    EXPECT_LT(ProductMomentCoefficient(uneven, linearInRank), 0.9);
}

TEST_F(SensitivityCoefficientTest, TiedSamplesAreRankedInTheGapExchangeOrder) {
    // Many ties: the coefficient depends on the order the exchange sort
    // leaves equal samples in, so it is checked against the literal sort.
    std::vector<double> xs;
    std::vector<double> ys;
    for (int i = 0; i < 40; ++i) {
        xs.push_back(static_cast<double>((i * 7) % 5));
        ys.push_back(static_cast<double>((i * 13) % 11) + 0.5);
    }
    const std::vector<std::size_t> order = test::LiteralGapExchangeRanking(xs);
    std::vector<double> ranks, ordered;
    for (std::size_t i = 0; i < order.size(); ++i) {
        ranks.push_back(static_cast<double>(i + 1));
        ordered.push_back(ys[order[i]]);
    }
    EXPECT_NEAR(RankCoefficient(Input(xs), Result(ys)), Pearson(ranks, ordered), 1e-12);
    EXPECT_NEAR(ProductMomentCoefficient(Input(xs), Result(ys)), Pearson(xs, ys), 1e-12);
}

std::vector<SensitivityEntry> Numeric(int count) {
    std::vector<SensitivityEntry> entries;
    for (int i = 1; i <= count; ++i)
        entries.push_back(
            {"input " + std::to_string(i), (i % 2 ? -1.0 : 1.0) * i / 100.0, false, {}});
    return entries; // ascending |coefficient|, as ComputeEntries leaves them
}

TEST_F(SensitivityCoefficientTest, FirstTenOnlyShowsTheTenStrongestInDecreasingOrder) {
    const std::vector<SensitivityRow> rows = FillList(Numeric(25), true, true);
    ASSERT_EQ(rows.size(), 10u);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(rows[k].label, "input " + std::to_string(25 - k));
    EXPECT_EQ(rows[0].text, "-0.25");
    EXPECT_EQ(rows[1].text, "0.24");
    EXPECT_EQ(FillList(Numeric(25), false, true).size(), 25u);
}

TEST_F(SensitivityCoefficientTest, SingleValueRowsSurviveExcludeZeroAndCountTowardsTen) {
    std::vector<SensitivityEntry> entries{
        {"single a", 0.0, true, {}}, {"single b", 0.0, true, {}}, {"zero", 0.0, false, {}}};
    for (const SensitivityEntry& e : Numeric(3)) entries.push_back(e);
    const std::vector<SensitivityRow> excluded = FillList(entries, false, true);
    ASSERT_EQ(excluded.size(), 5u);
    EXPECT_EQ(excluded[2].text, "-0.01");
    EXPECT_EQ(excluded[3].label, "single b");
    EXPECT_EQ(excluded[3].text, "Single Value");
    EXPECT_EQ(excluded[4].label, "single a");
    const std::vector<SensitivityRow> all = FillList(entries, false, false);
    ASSERT_EQ(all.size(), 6u);
    EXPECT_EQ(all[3].label, "zero");
    EXPECT_EQ(all[3].text, "0");

    std::vector<SensitivityEntry> many{{"single", 0.0, true, {}}};
    for (const SensitivityEntry& e : Numeric(10)) many.push_back(e);
    const std::vector<SensitivityRow> ten = FillList(many, true, true);
    ASSERT_EQ(ten.size(), 10u);
    EXPECT_EQ(ten.back().label, "input 1");
}

TEST_F(SensitivityCoefficientTest, CoefficientsAreWrittenAsPercentG) {
    const std::vector<SensitivityRow> rows = FillList({{"small", 1.234567e-5, false, {}},
                                                       {"third", 1.0 / 3.0, false, {}},
                                                       {"one", -1.0, false, {}}},
                                                      false, false);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].text, "-1");
    EXPECT_EQ(rows[1].text, "0.333333");
    EXPECT_EQ(rows[2].text, "1.23457e-05");
}

} // namespace
} // namespace varnex
