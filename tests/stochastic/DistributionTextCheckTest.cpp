// The check of a whole distribution text and of the input it belongs to:
// texts with something left over, arguments no draw can use, the messages
// that name each fault, and the texts that were always valid reading as they
// always did. Expected messages are written out in full, with the input's
// label, as the check before a run lists them.

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

#include "archive/CompFile.h"
#include "stochastic/Distribution.h"
#include "stochastic/DistributionError.h"
#include "stochastic/DistributionType.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

namespace Type = DistributionType;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double noUpperLimit = 0.0;
const std::string label = "Thickness [m] - ";

struct CheckCase {
    const char* text;
    double minLimit;
    double maxLimit;
    double unitFactor;
    const char* errorText; // "" for a valid input
};

std::ostream& operator<<(std::ostream& out, const CheckCase& c) {
    return out << '"' << c.text << "\" min " << c.minLimit << " max " << c.maxLimit << " factor "
               << c.unitFactor;
}

class TextCheck : public ::testing::TestWithParam<CheckCase> {
protected:
    void SetUp() override { test::ResetProgramState(); }
};

TEST_P(TextCheck, ValidityAndMessages) {
    const CheckCase& c = GetParam();
    Distribution d;
    d.SetLabel("Thickness [m]");
    d.minLimit = c.minLimit;
    d.maxLimit = c.maxLimit;
    d.unitFactor = c.unitFactor;
    const bool expectValid = *c.errorText == '\0';
    EXPECT_EQ(d.Parse(c.text), expectValid);
    EXPECT_EQ(d.ErrorText(), expectValid ? std::string() : label + c.errorText);
    // A later check of the same fields (as before a run) keeps the verdict.
    EXPECT_EQ(d.Validate(), expectValid);
    EXPECT_EQ(d.ErrorText(), expectValid ? std::string() : label + c.errorText);
}

INSTANTIATE_TEST_SUITE_P(
    WholeText, TextCheck,
    ::testing::Values(
        // Text after a complete plain number.
        CheckCase{"0,25", 0, 1e30, 0, "Syntax Error\n Use a point as the decimal separator"},
        CheckCase{"1,5e-3", 0, 1e30, 0, "Syntax Error\n Use a point as the decimal separator"},
        CheckCase{"1.5.3", 0, 1e30, 0, "Syntax Error"},
        CheckCase{"5abc", 0, 1e30, 0, "Syntax Error"}, CheckCase{"5 m", 0, 1e30, 0, "Syntax Error"},
        CheckCase{"5,", 0, 1e30, 0, "Syntax Error"}, CheckCase{"5)", 0, 1e30, 0, "Syntax Error"},
        // Text after ")", arguments left over or cut short.
        CheckCase{"UNIFORM(1,2)x", 0, 1e30, 0, "Syntax Error"},
        CheckCase{"UNIFORM(1,2))", 0, 1e30, 0, "Syntax Error"},
        CheckCase{"SINGLE(5) 6", 0, 1e30, 0, "Syntax Error"},
        CheckCase{"UNIFORM(1,2 3)", 0, 1e30, 0, "Syntax Error"},
        CheckCase{"UNIFORM(1,2", 0, 1e30, 0, "Syntax Error"},
        CheckCase{"UNIFORM(1,2,3)", 0, 1e30, 0, "Incorrect number of arguments"},
        CheckCase{"UNIFORM(1,2,)", 0, 1e30, 0, "Incorrect number of arguments"},
        CheckCase{"UNIFORM(1,2 ,3)", 0, 1e30, 0, "Incorrect number of arguments"},
        CheckCase{"POISSON(2,5)", 0, 1e30, 0, "Incorrect number of arguments"},
        // Decimal commas inside brackets read as more arguments; no hint,
        // as "NORMAL(0,5)" is a valid text.
        CheckCase{"TRIANGULAR(0,1,0,2,0,3)", 0, 1e30, 0, "Incorrect number of arguments"},
        // White space: leniently at the end, where it always was inside.
        CheckCase{"5 \t\r\n", 0, 1e30, 0, ""}, CheckCase{"UNIFORM(1,2) ", 0, 1e30, 0, ""},
        CheckCase{"UNIFORM( 1, 2 )\n", 0, 1e30, 0, ""},
        // Lognormal arguments whose moments of the logarithm overflow or
        // underflow: every draw would be 0, or redrawn until the attempts run
        // out. The squares of 1e150 and 1.3e154 are still finite.
        CheckCase{"LOGNORMAL(1,1e155)", 0, 1e30, 0,
                  "Mean or standard deviation too large or too small for a lognormal draw"},
        CheckCase{
            "LOGNORMAL(1e200,1)", 0, 1e30, 0,
            "Value greater than maximum limit (1e+30)\n Mean or standard deviation too large or "
            "too small for a lognormal draw"},
        CheckCase{"LOGNORMAL(1e200,1)", 0, noUpperLimit, 0,
                  "Mean or standard deviation too large or too small for a lognormal draw"},
        CheckCase{"LOGNORMAL(1e-170,1)", 0, 1e30, 0,
                  "Mean or standard deviation too large or too small for a lognormal draw"},
        CheckCase{"LOGNORMAL(1e-100,1e100)", 0, 1e30, 0,
                  "Mean or standard deviation too large or too small for a lognormal draw"},
        CheckCase{"LOGNORMAL(1e150,1e150)", 0, noUpperLimit, 0, ""},
        CheckCase{"LOGNORMAL(1,1.3e154)", 0, 1e30, 0, ""},
        CheckCase{"LOGNORMAL(1e-150,1e-150)", 0, 1e30, 0, ""},
        // The unit factor applies before the check: (1000, 1e157) mm is
        // (1, 1e154) m, but (1, 1e157) mm gives a ratio of 1e157.
        CheckCase{"LOGNORMAL(1000,1e157)", 0, 1e30, 0.001, ""},
        CheckCase{"LOGNORMAL(1,1e157)", 0, 1e30, 0.001,
                  "Mean or standard deviation too large or too small for a lognormal draw"},
        // Messages that name the fault.
        CheckCase{"BOOLEAN(-1)", 0, 1e30, 0, "Bias less than zero"},
        CheckCase{"BINOMIAL(32768,0.5)", 0, 1e30, 0, "Number of trials greater than 32767"},
        CheckCase{"BINOMIAL(1e9,0.5)", 0, 1e30, 0, "Number of trials greater than 32767"},
        CheckCase{"BINOMIAL(-40000,0.5)", 0, 1e30, 0,
                  "Number of trials less than or equal to zero"},
        CheckCase{"5", nan, 1e30, 0, "Limit is not a number"},
        CheckCase{"UNIFORM(1,2)", 0, nan, 0, "Limit is not a number"},
        CheckCase{"5abc", nan, 1e30, 0, "Syntax Error\n Limit is not a number"},
        CheckCase{"5", -inf, inf, 0, ""}, CheckCase{"5", 0, 1e30, inf, "Unit factor out of range"},
        CheckCase{"5", 0, 1e30, nan, "Unit factor out of range"},
        CheckCase{"5", 0, 1e30, 1e300, "Unit factor out of range"},
        CheckCase{"5", 0, 1e30, -0.001, "Unit factor out of range"},
        CheckCase{"POISSON(2)", 0, 1e30, 1e-31, "Unit factor out of range"},
        CheckCase{"5", 0, noUpperLimit, 1e30, ""},
        CheckCase{"5", 0, 1e30, 2.737850787132101e-06, ""}));

TEST(TextCheckHint, GoesWithTheTextThatEarnedIt) {
    test::ResetProgramState();
    Distribution d;
    ASSERT_FALSE(d.Parse("0,25"));
    EXPECT_EQ(d.ErrorText(), "Syntax Error\n Use a point as the decimal separator");
    // Entered again through the dialog, the number is valid and the hint gone.
    d.SetSingleValue(0.25);
    EXPECT_TRUE(d.Validate());
    d.singleValue = nan;
    EXPECT_FALSE(d.Validate());
    EXPECT_EQ(d.ErrorText(), "Syntax Error");
    ASSERT_FALSE(d.Parse("5abc"));
    EXPECT_EQ(d.ErrorText(), "Syntax Error");
}

// Texts that were valid before the whole text had to be used, with the
// fields they have always given: stored projects and their results depend on
// exactly these numbers.
struct KeptCase {
    const char* text;
    double unitFactor;
    int type;
    std::vector<double> fields; // in text order; BINOMIAL: trials, probability
};

TEST(TextCheckCompatibility, ValidTextsKeepTheirFields) {
    const KeptCase cases[] = {
        {"5", 0, Type::single, {5}},
        {" 5", 0, Type::single, {5}},
        {"1e-5", 0, Type::single, {1e-5}},
        {"0x1p3", 0, Type::single, {8}},
        {"+.5", 0, Type::single, {0.5}},
        {"250", 0.001, Type::single, {250 * 0.001}},
        {"SINGLE(5)", 0, Type::single, {5}},
        {"UNIFORM(1,2)", 0, Type::uniform, {1, 2}},
        {"UNIFORM(1, 2)", 0, Type::uniform, {1, 2}},
        {"UNIFORM( 1,\t2 )", 0, Type::uniform, {1, 2}},
        {"uniform(1,2)", 0, Type::uniform, {1, 2}},
        {"UNIFORM(100,400)", 0.001, Type::uniform, {100 * 0.001, 400 * 0.001}},
        {"LOGUNIFORM(0.001,10)", 0, Type::logUniform, {0.001, 10}},
        {"TRIANGULAR(0.1,0.25,0.4)", 0, Type::triangular, {0.1, 0.25, 0.4}},
        {"Triangular(1,2,3)", 0, Type::triangular, {1, 2, 3}},
        {"LOGTRIANGULAR(0.1,1,10)", 0, Type::logTriangular, {0.1, 1, 10}},
        {"NORMAL(5,1)", 0, Type::normal, {5, 1}},
        {"NORMAL(300,50)",
         2.737850787132101e-06,
         Type::normal,
         {300 * 2.737850787132101e-06, 50 * 2.737850787132101e-06}},
        {"LOGNORMAL(3.5,1.25)", 0, Type::logNormal, {3.5, 1.25}},
        {"POISSON(3.5)", 0.001, Type::poisson, {3.5}},
        {"BINOMIAL(10,0.5)", 0, Type::binomial, {10, 0.5}},
        {"BINOMIAL(2.9,0.5)", 0, Type::binomial, {2, 0.5}},
        {"EXPONENTIAL(2)", 0, Type::exponential, {2}},
        {"BOOLEAN(0.25)", 0, Type::boolean, {0.25}},
    };
    for (const KeptCase& c : cases) {
        Distribution d;
        d.unitFactor = c.unitFactor;
        ASSERT_TRUE(d.Parse(c.text)) << c.text << ": " << d.ErrorText();
        EXPECT_EQ(d.type, c.type) << c.text;
        std::vector<double> fields;
        switch (c.type) {
        case Type::single: fields = {d.singleValue}; break;
        case Type::uniform:
        case Type::logUniform: fields = {d.minimum, d.maximum}; break;
        case Type::triangular:
        case Type::logTriangular: fields = {d.minimum, d.likely, d.maximum}; break;
        case Type::normal:
        case Type::logNormal: fields = {d.mean, d.standardDeviation}; break;
        case Type::poisson: fields = {d.rate}; break;
        case Type::binomial: fields = {static_cast<double>(d.trials), d.probability}; break;
        case Type::exponential: fields = {d.mean}; break;
        case Type::boolean: fields = {d.bias}; break;
        default: break;
        }
        EXPECT_EQ(fields, c.fields) << c.text;
    }
}

// Whatever the arguments, a text the check accepts must draw finite,
// non-negative values that spread, and quickly. The rows sit at the edges of
// the double range for each law.
struct DrawCase {
    const char* text;
    double maxLimit;
};

TEST(TextCheckDraw, AcceptedTextsDrawSpreadFiniteValues) {
    const DrawCase cases[] = {
        {"LOGNORMAL(1,1e155)", 1e30},
        {"LOGNORMAL(1e200,1)", noUpperLimit},
        {"LOGNORMAL(1e-170,1)", 1e30},
        {"LOGNORMAL(1e-100,1e100)", 1e30},
        {"LOGNORMAL(1e150,1e150)", noUpperLimit},
        {"LOGNORMAL(1,1.3e154)", 1e30},
        {"LOGNORMAL(1e-150,1e-150)", 1e30},
        {"NORMAL(0,1.7e308)", 1e30},
        {"NORMAL(1.7e308,1.7e308)", noUpperLimit},
        {"EXPONENTIAL(1.7e308)", noUpperLimit},
        {"LOGUNIFORM(4.9e-324,1.7e308)", noUpperLimit},
        {"LOGTRIANGULAR(4.9e-324,1,1.7e308)", noUpperLimit},
        {"UNIFORM(0,1.7e308)", noUpperLimit},
        {"TRIANGULAR(0,1e308,1.7e308)", noUpperLimit},
        {"POISSON(1e15)", 1e30},
    };
    for (const DrawCase& c : cases) {
        Distribution d;
        d.maxLimit = c.maxLimit;
        if (!d.Parse(c.text)) continue; // refused: never drawn from
        SCOPED_TRACE(c.text);
        test::ResetProgramState();
        std::vector<double> draws;
        for (int i = 0; i < 200; ++i) draws.push_back(d.Draw(false));
        for (double x : draws) EXPECT_TRUE(x >= 0.0 && std::isfinite(x)) << x;
        const auto [low, high] = std::minmax_element(draws.begin(), draws.end());
        EXPECT_LT(*low, *high) << "every draw is " << *low;
    }
}

TEST(TextCheckRecord, TrialCountTooLargeStaysRefusedAfterSaving) {
    // The count 40000 never reached the 16-bit field, which still holds the
    // 10 of an earlier text; a reloaded input must not pass as BINOMIAL(10,0.5).
    test::ResetProgramState();
    Distribution d;
    ASSERT_TRUE(d.Parse("BINOMIAL(10,0.5)"));
    ASSERT_FALSE(d.Parse("BINOMIAL(40000,0.5)"));
    test::TempDirectory dir;
    const std::string path = dir.File("record.bin");
    {
        CompFile archive;
        ASSERT_TRUE(archive.Open(path, "wb"));
        d.Write(archive);
        archive.Close();
    }
    Distribution back;
    CompFile archive;
    ASSERT_TRUE(archive.Open(path, "rb"));
    back.Read(archive);
    EXPECT_FALSE(back.Validate());
    EXPECT_EQ(back.ErrorText(), "Number of trials greater than 32767");
}

} // namespace
} // namespace varnex
