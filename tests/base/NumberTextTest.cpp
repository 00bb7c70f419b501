// Locale-independent number text, checked against the C library's own
// printf and scanf in the "C" locale, which is the reference behaviour.

#include <clocale>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>

#include "base/NumberText.h"

namespace varnex {
namespace {

TEST(NumberText, FormatGMatchesPrintf) {
    std::setlocale(LC_ALL, "C");
    const double values[] = {0,
                             5,
                             -5,
                             0.1,
                             0.25,
                             1e-5,
                             1e-4,
                             123456,
                             1234567,
                             1e30,
                             1e+300,
                             3.14159265358979,
                             2.737850787132101e-06,
                             -0.0,
                             1e-320,
                             std::numeric_limits<double>::infinity()};
    for (double v : values) {
        for (int precision : {6, 17}) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*g", precision, v);
            EXPECT_EQ(FormatG(v, precision), expected) << v;
        }
        char fixed[400];
        std::snprintf(fixed, sizeof fixed, "%f", v);
        EXPECT_EQ(FormatF(v), fixed) << v;
    }
}

struct ScanCase {
    const char* text;
    bool ok;
    double value;
    std::size_t end;
};

TEST(NumberText, ScanDoubleReadsWhatScanfReads) {
    const double inf = std::numeric_limits<double>::infinity();
    const ScanCase cases[] = {
        {"5", true, 5, 1},
        {"  -2.5e3,", true, -2500, 8},
        {"+7", true, 7, 2},
        {".5", true, 0.5, 2},
        {"5.", true, 5, 2},
        {"1e", true, 1, 1},
        {"1e+", true, 1, 1},
        {"0x1p4", true, 16, 5},
        {"0x10", true, 16, 4},
        {"inf", true, inf, 3},
        {"-Infinity", true, -inf, 9},
        {"1e999", true, inf, 5},
        {"-1e999", true, -inf, 6},
        {"1e-999", true, 0, 6},
        {"\t\n3", true, 3, 3},
        {"", false, 0, 0},
        {"abc", false, 0, 0},
        {"--1", false, 0, 0},
        {"+-1", false, 0, 0},
        {".", false, 0, 0},
        {"-", false, 0, 0},
        {" ", false, 0, 0},
        {"e5", false, 0, 0},
    };
    for (const ScanCase& c : cases) {
        std::size_t position = 0;
        double value = -123;
        EXPECT_EQ(ScanDouble(c.text, position, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
            EXPECT_EQ(position, c.end) << c.text;
        } else {
            EXPECT_EQ(position, 0u) << c.text;
            EXPECT_EQ(value, -123) << c.text;
        }
    }
    std::size_t position = 0;
    double value = 0;
    ASSERT_TRUE(ScanDouble("nan", position, value));
    EXPECT_TRUE(std::isnan(value));
}

TEST(NumberText, WholeNumberOnly) {
    double value = 0;
    EXPECT_TRUE(ParseWholeNumber("2.5", value));
    EXPECT_EQ(value, 2.5);
    EXPECT_FALSE(ParseWholeNumber("2.5x", value));
    EXPECT_FALSE(ParseWholeNumber(" 2.5", value));
    EXPECT_FALSE(ParseWholeNumber("", value));
    EXPECT_EQ(value, 2.5);
}

} // namespace
} // namespace varnex
