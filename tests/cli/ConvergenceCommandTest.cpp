// `stats --convergence`: the statistics of every result over growing numbers
// of iterations, as JSON and as CSV, ending with the statistics of the whole
// run, and the iterations needed for the 95th percentile's interval.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "support/ProgramRun.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::ReadFileBytes;
using test::RunProgram;

const std::string petrolStation = VARNEX_SOURCE_DIR "/examples/level3-petrol-station.json";

TEST(ConvergenceCommand, EndsWithTheRunsStatisticsInJsonAndCsv) {
    test::TempDirectory dir;
    const std::string saved = dir.File("p.vnx");
    const std::string stats = dir.File("stats.json");
    ASSERT_EQ(
        RunProgram("varnex-cli", {"run", petrolStation, "--quiet", "--iterations", "400",
                                  "--sampling", "lhs", "--output", saved, "--stats-json", stats})
            .exitCode,
        0);
    const auto json = RunProgram("varnex-cli", {"stats", saved, "--convergence"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const nlohmann::json rows = nlohmann::json::parse(json.out);
    const nlohmann::json whole = nlohmann::json::parse(ReadFileBytes(stats));
    ASSERT_EQ(rows.size(), whole.size());
    std::size_t points = 0;
    bool estimated = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const nlohmann::json& row = rows[i];
        SCOPED_TRACE(row["label"].get<std::string>());
        EXPECT_EQ(row["kind"], whole[i]["kind"]);
        EXPECT_EQ(row["n"], 400);
        const nlohmann::json& last = row["points"].back();
        EXPECT_EQ(row["points"].front()["iterations"], 10);
        EXPECT_EQ(last["iterations"], 400);
        points += row["points"].size();
        // The last point is the whole run: its percentiles and intervals
        // are those of the statistics file, its mean to rounding.
        EXPECT_EQ(last["p50"], whole[i]["percentiles"]["50"]);
        EXPECT_EQ(last["p95"], whole[i]["percentiles"]["95"]);
        EXPECT_EQ(last["p95CI95"], whole[i]["percentileCI95"]["95"]);
        if (!whole[i]["mean"].is_null()) {
            EXPECT_NEAR(last["mean"].get<double>(), whole[i]["mean"].get<double>(),
                        1e-12 * std::abs(whole[i]["mean"].get<double>()) + 1e-300);
        }
        EXPECT_EQ(row["iterationsFor95thPercentile"]["relativeHalfWidth"], 0.1);
        const nlohmann::json& needed = row["iterationsFor95thPercentile"]["iterations"];
        EXPECT_EQ(needed.is_null(), whole[i]["percentiles"]["95"] == 0.0);
        estimated |= !needed.is_null();
    }
    EXPECT_TRUE(estimated);

    // The same numbers as CSV, one line per result and point.
    const auto csv = RunProgram("varnex-cli", {"stats", saved, "--convergence", "--csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    std::istringstream lines(csv.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "kind,label,source,contaminant,pathway,receptor,time,iterations,mean,p50,"
                    "p50_low,p50_high,p95,p95_low,p95_high");
    std::size_t count = 0;
    std::string lastLine;
    while (std::getline(lines, line)) {
        ++count;
        lastLine = line;
    }
    EXPECT_EQ(count, points);
    // The last line ends with the last result's final 95th percentile and
    // interval, written so that they read back to the same doubles.
    const nlohmann::json& final = rows.back()["points"].back();
    std::istringstream fields(lastLine.substr(lastLine.rfind(",400,") + 5));
    double values[7];
    char comma = 0;
    for (int k = 0; k < 7; ++k) {
        fields >> values[k];
        if (k < 6) fields >> comma;
    }
    EXPECT_EQ(values[4], final["p95"].get<double>());
    EXPECT_EQ(values[5], final["p95CI95"][0].get<double>());
    EXPECT_EQ(values[6], final["p95CI95"][1].get<double>());

    // A narrower aim needs more iterations.
    const auto narrow =
        RunProgram("varnex-cli", {"stats", saved, "--convergence", "--half-width", "0.05"});
    ASSERT_EQ(narrow.exitCode, 0);
    const nlohmann::json narrowRows = nlohmann::json::parse(narrow.out);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const nlohmann::json& wide = rows[i]["iterationsFor95thPercentile"]["iterations"];
        if (wide.is_null()) continue;
        EXPECT_GE(narrowRows[i]["iterationsFor95thPercentile"]["iterations"].get<long long>(),
                  3 * wide.get<long long>());
    }
}

TEST(ConvergenceCommand, OptionsThatDoNotGoTogetherAreUsageErrors) {
    test::TempDirectory dir;
    const std::string saved = dir.File("p.vnx");
    ASSERT_EQ(RunProgram("varnex-cli",
                         {"run", petrolStation, "--quiet", "--iterations", "20", "--output", saved})
                  .exitCode,
              0);
    EXPECT_EQ(RunProgram("varnex-cli", {"stats", saved, "--csv"}).exitCode, 2);
    EXPECT_EQ(RunProgram("varnex-cli", {"stats", saved, "--convergence", "--json"}).exitCode, 2);
    EXPECT_EQ(
        RunProgram("varnex-cli", {"stats", saved, "--convergence", "--half-width", "0"}).exitCode,
        2);
}

} // namespace
} // namespace varnex
