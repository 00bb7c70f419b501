// End-to-end checks of the command-line contract of `parse` and `sample`:
// outputs, exit codes (0 valid, 1 invalid, 2 usage) and reproducibility.

#include <cmath>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "support/ProgramRun.h"

namespace varnex {
namespace {

using test::RunProgram;

std::vector<double> Numbers(const std::string& text) {
    std::vector<double> values;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) values.push_back(std::stod(line));
    return values;
}

TEST(ParseCommand, ValidTextPrintsEveryField) {
    const auto r = RunProgram("varnex-cli", {"parse", "triangular(1, 2,3)"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(
        r.out,
        "type: 4 TRIANGULAR\nformat: TRIANGULAR(1,2,3)\nvalid: yes\nerrorFlags: 0x00000000\nerrorText: \n");
}

TEST(ParseCommand, InvalidTextWithLabelAndLimits) {
    const auto r = RunProgram("varnex-cli",
                              {"parse", "UNIFORM(-1,5)", "--label", "Thickness [m]", "--max", "4"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out,
              "type: 2 UNIFORM\nformat: UNIFORM(-1,5)\nvalid: no\nerrorFlags: 0x02000840\n"
              "errorText: Thickness [m] - Minimum less than minimum limit (0)\n"
              " Maximum greater than maximum limit (4)\n Value less than or equal to zero\n");
}

TEST(ParseCommand, JsonObjectWithUnitFactor) {
    const auto r = RunProgram("varnex-cli",
                              {"parse", "5000", "--unit-factor", "0.001", "--max", "1", "--json"});
    EXPECT_EQ(r.exitCode, 1);
    const auto json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["type"], 1);
    EXPECT_EQ(json["keyword"], "SINGLE");
    EXPECT_EQ(json["format"], "SINGLE(5000)");
    EXPECT_EQ(json["valid"], false);
    EXPECT_EQ(json["errorFlags"], 0x800000);
    EXPECT_EQ(json["errorText"], "Value greater than maximum limit (1)");
}

TEST(ParseCommand, UsageErrorsExitWithTwo) {
    EXPECT_EQ(RunProgram("varnex-cli", {}).exitCode, 2);
    EXPECT_EQ(RunProgram("varnex-cli", {"parse"}).exitCode, 2);
    EXPECT_EQ(RunProgram("varnex-cli", {"parse", "5", "--min", "abc"}).exitCode, 2);
    EXPECT_EQ(RunProgram("varnex-cli", {"frobnicate"}).exitCode, 2);
    const auto help = RunProgram("varnex-cli", {"parse", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--unit-factor"), std::string::npos);
}

TEST(SampleCommand, FreshProgramReproducesTheSameDraws) {
    const auto first = RunProgram("varnex-cli", {"sample", "UNIFORM(0,32767)", "-n", "5"});
    const auto second = RunProgram("varnex-cli", {"sample", "UNIFORM(0,32767)", "-n", "5"});
    ASSERT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.out, second.out);
    // UNIFORM(0,32767) gives back the stream's values: 41, 18467, 6334, ...
    const auto values = Numbers(first.out);
    const double expected[] = {41, 18467, 6334, 26500, 19169};
    ASSERT_EQ(values.size(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(values[i], expected[i], 1e-9);
}

TEST(SampleCommand, DefaultCountSeedCentralAndUnits) {
    const auto defaults = RunProgram("varnex-cli", {"sample", "NORMAL(1,2)"});
    ASSERT_EQ(defaults.exitCode, 0);
    const auto values = Numbers(defaults.out);
    EXPECT_EQ(values.size(), 1001u);
    for (double v : values) EXPECT_GE(v, 0.0);

    const auto seeded =
        RunProgram("varnex-cli", {"sample", "NORMAL(1,2)", "--seed", "99", "-n", "3"});
    const auto again =
        RunProgram("varnex-cli", {"sample", "NORMAL(1,2)", "--seed", "99", "-n", "3"});
    EXPECT_EQ(seeded.out, again.out);
    EXPECT_NE(seeded.out.substr(0, 10), defaults.out.substr(0, 10));

    const auto central = RunProgram("varnex-cli", {"sample", "TRIANGULAR(100,250,400)", "--central",
                                                   "-n", "2", "--unit-factor", "0.001"});
    EXPECT_EQ(central.out, "0.25\n0.25\n");
    // 17 significant digits: the printed value reads back exactly.
    const auto precise = RunProgram("varnex-cli", {"sample", "0.1", "-n", "1"});
    EXPECT_EQ(precise.out, "0.10000000000000001\n");
    EXPECT_EQ(RunProgram("varnex-cli", {"sample", "5", "-n", "0"}).out, "");
}

TEST(SampleCommand, InvalidTextPrintsItsErrorOnStandardError) {
    const auto r = RunProgram("varnex-cli", {"sample", "POISSON(0)"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Number of defects less than or equal to zero\n");
    EXPECT_EQ(RunProgram("varnex-cli", {"sample", "5", "-n", "-1"}).exitCode, 2);
}

} // namespace
} // namespace varnex
