// Parsing and checking of distribution texts. Expected types, flags and
// formats are worked out by hand from the grammar and the check table of the
// distribution text form (keyword, "(", arguments separated by ", ", ")").

#include <cmath>
#include <gtest/gtest.h>

#include "stochastic/Distribution.h"
#include "stochastic/DistributionError.h"
#include "stochastic/DistributionType.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

using namespace DistributionError;
namespace Type = DistributionType;

struct ParseCase {
    const char* text;
    int type;
    std::uint32_t flags;
    const char* format; // nullptr: not checked (the fields are partly stale)
};

std::ostream& operator<<(std::ostream& out, const ParseCase& c) {
    return out << '"' << c.text << '"';
}

class ParseWithDefaultLimits : public ::testing::TestWithParam<ParseCase> {
protected:
    void SetUp() override { test::ResetProgramState(); }
};

TEST_P(ParseWithDefaultLimits, GivesTypeFlagsAndFormat) {
    const ParseCase& c = GetParam();
    Distribution d;
    const bool valid = d.Parse(c.text);
    EXPECT_EQ(d.type, c.type);
    EXPECT_EQ(d.errorFlags, c.flags) << std::hex << d.errorFlags;
    EXPECT_EQ(valid, c.flags == 0);
    if (c.format) {
        EXPECT_EQ(d.Format(), c.format);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ParseWithDefaultLimits,
    ::testing::Values(
        // A plain number is a single value; anything else without "(" is a
        // single value whose argument cannot be read. A unit typed after the
        // number is not read away: the whole text must be the number.
        ParseCase{"5", Type::single, 0, "SINGLE(5)"}, ParseCase{" 5", Type::single, 0, "SINGLE(5)"},
        ParseCase{"+5", Type::single, 0, "SINGLE(5)"},
        ParseCase{"5 m", Type::single, syntax, nullptr},
        ParseCase{"abc", Type::single, argumentCount, nullptr},
        ParseCase{"--5", Type::single, argumentCount, nullptr},
        ParseCase{"", Type::undefined, dataMissing, "UNDEFINED"},
        // Keywords ignore case; blanks belong to the name.
        ParseCase{"normal(1,2)", Type::normal, 0, "NORMAL(1,2)"},
        ParseCase{"Triangular(1,2,3)", Type::triangular, 0, "TRIANGULAR(1,2,3)"},
        ParseCase{"NORMAL (1,2)", Type::undefined, syntax, "UNDEFINED"},
        ParseCase{"UNDEFINED(1)", Type::undefined, syntax, "UNDEFINED"},
        ParseCase{"(1,2)", Type::undefined, syntax, "UNDEFINED"},
        ParseCase{"GAMMA(1,2)", Type::undefined, syntax, "UNDEFINED"},
        // Argument scanning: blanks after a comma or before a number are
        // skipped, a blank before a comma is not, and the text must end with
        // the ")".
        ParseCase{"UNIFORM(3)", Type::uniform, argumentCount, nullptr},
        ParseCase{"UNIFORM(1,2", Type::uniform, syntax, nullptr},
        ParseCase{"UNIFORM(1,2)junk", Type::uniform, syntax, nullptr},
        ParseCase{"UNIFORM(1,  2)", Type::uniform, 0, "UNIFORM(1,2)"},
        ParseCase{"UNIFORM( 1,2)", Type::uniform, 0, "UNIFORM(1,2)"},
        ParseCase{"UNIFORM(1 ,2)", Type::uniform, argumentCount, nullptr},
        ParseCase{"UNIFORM(1;2)", Type::uniform, argumentCount, nullptr},
        ParseCase{"TRIANGULAR(1,2)", Type::triangular, argumentCount, nullptr},
        // Checks of each type.
        ParseCase{"UNIFORM(2,2)", Type::uniform, minimumEqualsMaximum, nullptr},
        ParseCase{"UNIFORM(0,10)", Type::uniform, 0, "UNIFORM(0,10)"},
        ParseCase{"UNIFORM(5,1)", Type::uniform, minimumAboveMaximum, nullptr},
        ParseCase{"UNIFORM(-1,5)", Type::uniform, minimumBelowMinLimit | valueNotPositive, nullptr},
        ParseCase{"LOGUNIFORM(0,10)", Type::logUniform, valueNotPositive, nullptr},
        ParseCase{"LOGUNIFORM(0.1,10)", Type::logUniform, 0, "LOGUNIFORM(0.1,10)"},
        ParseCase{"TRIANGULAR(3,2,1)", Type::triangular,
                  minimumAboveMaximum | minimumAboveLikely | likelyAboveMaximum, nullptr},
        ParseCase{"TRIANGULAR(1,1,1)", Type::triangular, minimumEqualsMaximum, nullptr},
        ParseCase{"TRIANGULAR(1,1,3)", Type::triangular, 0, "TRIANGULAR(1,1,3)"},
        ParseCase{"LOGTRIANGULAR(0,1,2)", Type::logTriangular, valueNotPositive, nullptr},
        ParseCase{"NORMAL(1,0)", Type::normal, deviationNotPositive, nullptr},
        ParseCase{"NORMAL(-1,1)", Type::normal, valueBelowMinLimit | meanNotPositive, nullptr},
        ParseCase{"NORMAL(0,1)", Type::normal, 0, "NORMAL(0,1)"},
        ParseCase{"LOGNORMAL(0,1)", Type::logNormal, meanNotPositive, nullptr},
        ParseCase{"LOGNORMAL(2,0)", Type::logNormal, deviationNotPositive, nullptr},
        ParseCase{"POISSON(0)", Type::poisson, rateNotPositive, nullptr},
        ParseCase{"POISSON(2.5)", Type::poisson, 0, "POISSON(2.5)"},
        ParseCase{"BINOMIAL(10,0)", Type::binomial, 0, "BINOMIAL(10,0)"},
        ParseCase{"BINOMIAL(10,1)", Type::binomial, 0, "BINOMIAL(10,1)"},
        ParseCase{"BINOMIAL(0,0.5)", Type::binomial, trialsNotPositive, nullptr},
        ParseCase{"BINOMIAL(5,1.5)", Type::binomial, probabilityNotBelowOne, nullptr},
        ParseCase{"BINOMIAL(5,-0.1)", Type::binomial, probabilityNotPositive, nullptr},
        // Trial counts are truncated toward zero and must fit 16 bits.
        ParseCase{"BINOMIAL(2.9,0.5)", Type::binomial, 0, "BINOMIAL(2,0.5)"},
        ParseCase{"BINOMIAL(-2.5,0.5)", Type::binomial, trialsNotPositive, "BINOMIAL(-2,0.5)"},
        ParseCase{"BINOMIAL(32767,0.5)", Type::binomial, 0, "BINOMIAL(32767,0.5)"},
        ParseCase{"BINOMIAL(32768,0.5)", Type::binomial, trialsAboveMaximum, nullptr},
        ParseCase{"BINOMIAL(1e9,0.5)", Type::binomial, trialsAboveMaximum, nullptr},
        ParseCase{"EXPONENTIAL(-1)", Type::exponential, meanNotPositive | meanBelowMinLimit,
                  nullptr},
        ParseCase{"EXPONENTIAL(0)", Type::exponential, 0, "EXPONENTIAL(0)"},
        ParseCase{"BOOLEAN(0)", Type::boolean, 0, "BOOLEAN(0)"},
        ParseCase{"BOOLEAN(1)", Type::boolean, 0, "BOOLEAN(1)"},
        ParseCase{"BOOLEAN(1.5)", Type::boolean, biasAboveOne, nullptr},
        ParseCase{"BOOLEAN(-0.5)", Type::boolean, biasNegative, nullptr},
        ParseCase{"SINGLE(-1)", Type::single, valueBelowMinLimit | valueNotPositive, nullptr},
        // Numbers that are not finite are syntax errors, never values.
        ParseCase{"nan", Type::single, syntax, nullptr},
        ParseCase{"inf", Type::single, syntax, nullptr},
        ParseCase{"-inf", Type::single, syntax, nullptr},
        ParseCase{"1e999", Type::single, syntax, nullptr},
        ParseCase{"UNIFORM(1,inf)", Type::uniform, syntax, nullptr},
        ParseCase{"NORMAL(nan,1)", Type::normal, syntax, nullptr},
        ParseCase{"BINOMIAL(nan,0.5)", Type::binomial, syntax, nullptr},
        ParseCase{"TRIANGULAR(1,2,1e400)", Type::triangular, syntax, nullptr},
        // A tiny exponent underflows to zero, as strtod does.
        ParseCase{"1e-999", Type::single, 0, "SINGLE(0)"}));

TEST(DistributionParse, UpperLimitAppliesOnlyWhenPositive) {
    Distribution d;
    d.maxLimit = 0.0;
    EXPECT_TRUE(d.Parse("1e40"));
    d.maxLimit = -5.0;
    EXPECT_TRUE(d.Parse("UNIFORM(1,1e40)"));
    d.maxLimit = 1.0;
    EXPECT_FALSE(d.Parse("SINGLE(2)"));
    EXPECT_EQ(d.errorFlags, valueAboveMaxLimit);
    EXPECT_EQ(d.ErrorText(), "Value greater than maximum limit (1)");
}

TEST(DistributionParse, EveryLimitFlagOfARangeType) {
    // minLimit 1, maxLimit 10: every argument below and above.
    Distribution d;
    d.minLimit = 1.0;
    d.maxLimit = 10.0;
    EXPECT_FALSE(d.Parse("TRIANGULAR(0.5,0.7,0.9)"));
    EXPECT_EQ(d.errorFlags, minimumBelowMinLimit | likelyBelowMinLimit | maximumBelowMinLimit);
    EXPECT_FALSE(d.Parse("TRIANGULAR(11,12,13)"));
    EXPECT_EQ(d.errorFlags, minimumAboveMaxLimit | likelyAboveMaxLimit | maximumAboveMaxLimit);
    EXPECT_FALSE(d.Parse("EXPONENTIAL(20)"));
    EXPECT_EQ(d.errorFlags, meanAboveMaxLimit);
    EXPECT_FALSE(d.Parse("EXPONENTIAL(0.5)"));
    EXPECT_EQ(d.errorFlags, meanBelowMinLimit);
    EXPECT_FALSE(d.Parse("NORMAL(20,1)"));
    EXPECT_EQ(d.errorFlags, valueAboveMaxLimit);
}

TEST(DistributionParse, UnitFactorConvertsOnlyArgumentsWithAUnit) {
    Distribution d;
    d.unitFactor = 0.001;
    ASSERT_TRUE(d.Parse("SINGLE(5)"));
    EXPECT_DOUBLE_EQ(d.singleValue, 0.005);
    EXPECT_EQ(d.Format(), "SINGLE(5)");
    ASSERT_TRUE(d.Parse("POISSON(5)"));
    EXPECT_EQ(d.rate, 5.0);
    ASSERT_TRUE(d.Parse("UNIFORM(100,400)"));
    EXPECT_DOUBLE_EQ(d.minimum, 0.1);
    EXPECT_DOUBLE_EQ(d.maximum, 0.4);
    EXPECT_EQ(d.Format(), "UNIFORM(100,400)");
    ASSERT_TRUE(d.Parse("TRIANGULAR(100,250,400)"));
    EXPECT_DOUBLE_EQ(d.likely, 0.25);
    ASSERT_TRUE(d.Parse("NORMAL(300,50)"));
    EXPECT_DOUBLE_EQ(d.mean, 0.3);
    EXPECT_DOUBLE_EQ(d.standardDeviation, 0.05);
    ASSERT_TRUE(d.Parse("EXPONENTIAL(200)"));
    EXPECT_DOUBLE_EQ(d.mean, 0.2);
    ASSERT_TRUE(d.Parse("BINOMIAL(10,0.5)"));
    EXPECT_EQ(d.trials, 10);
    EXPECT_EQ(d.probability, 0.5);
    ASSERT_TRUE(d.Parse("BOOLEAN(0.5)"));
    EXPECT_EQ(d.bias, 0.5);
    // Limits are in internal units: 5000 mm/yr is 5 m/yr, above a limit of 1.
    d.maxLimit = 1.0;
    EXPECT_TRUE(d.Parse("500"));
    EXPECT_FALSE(d.Parse("5000"));
    EXPECT_EQ(d.ErrorText(), "Value greater than maximum limit (1)");
}

TEST(DistributionParse, UnreadableTextStaysInvalidWhenCheckedAgain) {
    // "UNIFORM(3)" leaves the old maximum 9 in place; a later check must not
    // accept the half-read text with that stale maximum.
    Distribution d;
    ASSERT_TRUE(d.Parse("UNIFORM(1,9)"));
    EXPECT_FALSE(d.Parse("UNIFORM(3)"));
    EXPECT_FALSE(d.Validate());
    EXPECT_EQ(d.errorFlags, argumentCount);
    // Entering the arguments through the dialog's setters clears it.
    d.SetMinimumMaximum(3.0, 9.0);
    EXPECT_TRUE(d.Validate());
}

TEST(DistributionParse, ValidateRejectsValuesThatAreNotNumbers) {
    Distribution d;
    ASSERT_TRUE(d.Parse("NORMAL(1,2)"));
    d.standardDeviation = std::nan("");
    EXPECT_FALSE(d.Validate());
    EXPECT_EQ(d.errorFlags, syntax);
    ASSERT_TRUE(d.Parse("5"));
    d.minLimit = std::nan("");
    EXPECT_FALSE(d.Validate());
    d.minLimit = 0.0;
    d.type = 57; // a code no keyword has, as from a damaged file
    EXPECT_FALSE(d.Validate());
    EXPECT_EQ(d.Format(), "");
}

TEST(DistributionParse, EmbeddedNulEndsTheText) {
    Distribution d;
    EXPECT_TRUE(d.Parse(std::string("7\0(1,2)", 7)));
    EXPECT_EQ(d.singleValue, 7.0);
}

TEST(DistributionErrorText, LabelMessagesAndLimits) {
    test::ResetProgramState();
    Distribution d;
    d.SetLabel("Thickness [m]");
    EXPECT_EQ(d.ErrorText(), "");
    EXPECT_FALSE(d.Parse("UNIFORM(-1,5)"));
    EXPECT_EQ(
        d.ErrorText(),
        "Thickness [m] - Minimum less than minimum limit (0)\n Value less than or equal to zero");
    d.SetLabel("");
    EXPECT_EQ(d.ErrorText(),
              "Minimum less than minimum limit (0)\n Value less than or equal to zero");
    d.errorFlags = infiniteRange | minimumAboveMaxLimit;
    EXPECT_EQ(d.ErrorText(),
              "Minimum greater than maximum limit (1e+30)\n Infinite distribution range min > max");
    d.errorFlags = minimumEqualsMaximum;
    EXPECT_EQ(d.ErrorText(), "Minimum Value = Maximum Value. Enter as single value");
}

TEST(DistributionErrorText, EveryBitHasItsMessageInOrder) {
    test::ResetProgramState();
    Distribution d;
    d.minLimit = 0.5;
    d.maxLimit = 2.5;
    d.errorFlags = static_cast<std::uint32_t>((std::uint64_t{1} << bitCount) - 1);
    const std::string text = d.ErrorText();
    const char* expected[] = {
        "Syntax Error",
        "Incorrect number of arguments",
        "Data missing",
        "Minimum greater than maximum",
        "Minimum greater than likely",
        "Likely greater than maximum",
        "Minimum less than minimum limit (0.5)",
        "Minimum greater than maximum limit (2.5)",
        "Likely less than minimum limit (0.5)",
        "Likely greater than maximum limit (2.5)",
        "Maximum less than minimum limit (0.5)",
        "Maximum greater than maximum limit (2.5)",
        "Number of trials less than or equal to zero",
        "Probability less than or equal to zero",
        "Probability greater than or equal to one",
        "Mean less than minimum limit (0.5)",
        "Mean greater than maximum limit (2.5)",
        "Standard deviation less than or equal to zero",
        "Mean less than or equal to zero",
        "Number of defects less than or equal to zero",
        "Bias equal to zero",
        "Bias greater than one",
        "Value less than minimum limit (0.5)",
        "Value greater than maximum limit (2.5)",
        "Infinite distribution range min > max",
        "Value less than or equal to zero",
        "Minimum Value = Maximum Value. Enter as single value",
        "Bias less than zero",
        "Number of trials greater than 32767",
        "Limit is not a number",
        "Unit factor out of range",
        "Mean or standard deviation too large or too small for a lognormal draw"};
    std::string joined;
    for (const char* message : expected)
        joined += (joined.empty() ? "" : "\n ") + std::string(message);
    EXPECT_EQ(text, joined);
}

TEST(DistributionFormat, TypesAndNumberFormat) {
    Distribution d;
    EXPECT_EQ(d.Format(), "UNDEFINED");
    ASSERT_TRUE(d.Parse("TRIANGULAR(0.1,0.25,0.4)"));
    EXPECT_EQ(d.Format(), "TRIANGULAR(0.1,0.25,0.4)");
    // Six significant digits, as a standard stream writes a double.
    ASSERT_TRUE(d.Parse("1234567"));
    EXPECT_EQ(d.Format(), "SINGLE(1.23457e+06)");
    ASSERT_TRUE(d.Parse("0.0001"));
    EXPECT_EQ(d.Format(), "SINGLE(0.0001)");
    ASSERT_TRUE(d.Parse("0.00001"));
    EXPECT_EQ(d.Format(), "SINGLE(1e-05)");
    ASSERT_TRUE(d.Parse("LOGNORMAL(3.5,1.25)"));
    EXPECT_EQ(d.Format(), "LOGNORMAL(3.5,1.25)");
}

TEST(DistributionFormat, ParseOfFormatGivesTheSameDistribution) {
    const char* texts[] = {"SINGLE(5)",
                           "UNIFORM(1,2)",
                           "LOGUNIFORM(0.001,10)",
                           "TRIANGULAR(1,2,3)",
                           "LOGTRIANGULAR(0.1,1,10)",
                           "NORMAL(5,1)",
                           "LOGNORMAL(2,0.5)",
                           "POISSON(4)",
                           "BINOMIAL(12,0.25)",
                           "EXPONENTIAL(3)",
                           "BOOLEAN(0.25)"};
    for (double factor : {0.0, 0.001, 2.737850787132101e-06}) {
        for (const char* text : texts) {
            Distribution first;
            first.unitFactor = factor;
            ASSERT_TRUE(first.Parse(text)) << text;
            Distribution second;
            second.unitFactor = factor;
            ASSERT_TRUE(second.Parse(first.Format())) << first.Format();
            EXPECT_EQ(first.Format(), text);
            EXPECT_EQ(second.Format(), text);
        }
    }
}

TEST(DistributionIsEqual, ComparesOnlyTheArgumentsOfTheType) {
    Distribution a, b;
    EXPECT_TRUE(a.IsEqual(b)); // both undefined
    ASSERT_TRUE(a.Parse("UNIFORM(1,2)"));
    ASSERT_TRUE(b.Parse("UNIFORM(1,2)"));
    b.mean = 99.0; // not an argument of UNIFORM
    EXPECT_TRUE(a.IsEqual(b));
    ASSERT_TRUE(b.Parse("UNIFORM(1,3)"));
    EXPECT_FALSE(a.IsEqual(b));
    ASSERT_TRUE(b.Parse("TRIANGULAR(1,1.5,2)"));
    EXPECT_FALSE(a.IsEqual(b));
    ASSERT_TRUE(a.Parse("BINOMIAL(3,0.5)"));
    ASSERT_TRUE(b.Parse("BINOMIAL(4,0.5)"));
    EXPECT_FALSE(a.IsEqual(b));
}

TEST(DistributionScale, ScalesValuesAndLimitsButNotCountsOrProbabilities) {
    Distribution d;
    d.singleValue = 1;
    d.minimum = 2;
    d.likely = 3;
    d.maximum = 4;
    d.mean = 5;
    d.standardDeviation = 6;
    d.minLimit = 7;
    d.maxLimit = 8;
    d.sample = 9;
    d.bias = 0.5;
    d.trials = 3;
    d.probability = 0.25;
    d.rate = 2;
    d.ScaleValues(10.0);
    EXPECT_EQ(d.singleValue, 10);
    EXPECT_EQ(d.minimum, 20);
    EXPECT_EQ(d.likely, 30);
    EXPECT_EQ(d.maximum, 40);
    EXPECT_EQ(d.mean, 50);
    EXPECT_EQ(d.standardDeviation, 60);
    EXPECT_EQ(d.minLimit, 70);
    EXPECT_EQ(d.maxLimit, 80);
    EXPECT_EQ(d.sample, 90);
    EXPECT_EQ(d.bias, 0.5);
    EXPECT_EQ(d.trials, 3);
    EXPECT_EQ(d.probability, 0.25);
    EXPECT_EQ(d.rate, 2);
}

TEST(DistributionAccessors, DisplayUnitsConvertLikeTheTextForm) {
    Distribution d;
    d.unitFactor = 0.001;
    d.type = Type::triangular;
    d.SetMinimumLikelyMaximum(100, 250, 400);
    EXPECT_DOUBLE_EQ(d.likely, 0.25);
    EXPECT_DOUBLE_EQ(d.GetLikely(), 250);
    d.SetMeanStandardDeviation(300, 50);
    EXPECT_DOUBLE_EQ(d.GetMean(), 300);
    EXPECT_DOUBLE_EQ(d.GetStandardDeviation(), 50);
    d.SetExponentialMean(20);
    EXPECT_DOUBLE_EQ(d.mean, 0.02);
    d.SetSingleValue(5);
    EXPECT_DOUBLE_EQ(d.GetSingleValue(), 5);
    d.SetMinimumMaximum(1, 2);
    EXPECT_DOUBLE_EQ(d.GetMinimum(), 1);
    EXPECT_DOUBLE_EQ(d.GetMaximum(), 2);
    d.SetRate(7);
    d.SetProbability(0.3);
    EXPECT_EQ(d.rate, 7);
    EXPECT_EQ(d.GetRate(), 7);
    EXPECT_EQ(d.probability, 0.3);
    EXPECT_TRUE(d.SetTrials(12.7));
    EXPECT_EQ(d.GetTrials(), 12);
    EXPECT_FALSE(d.SetTrials(70000));
    EXPECT_EQ(d.GetTrials(), 12);
    d.unitFactor = 0.0; // no conversion
    d.SetSingleValue(5);
    EXPECT_EQ(d.singleValue, 5);
}

TEST(DistributionReset, RestoresDefaultsAndKeepsTheLabel) {
    Distribution d;
    d.SetLabel("Thickness [m]");
    d.unitFactor = 0.001;
    d.minLimit = 3;
    d.maxLimit = 4;
    ASSERT_FALSE(d.Parse("UNIFORM(1)"));
    d.Reset();
    EXPECT_EQ(d.Label(), "Thickness [m]");
    EXPECT_EQ(d.type, 0);
    EXPECT_EQ(d.errorFlags, 0u);
    EXPECT_EQ(d.minLimit, 0.0);
    EXPECT_EQ(d.maxLimit, 1e30);
    EXPECT_EQ(d.unitFactor, 0.0);
    EXPECT_EQ(d.minimum, 0.0);
    EXPECT_FALSE(d.Validate());
    EXPECT_EQ(d.errorFlags, dataMissing);
}

} // namespace
} // namespace varnex
