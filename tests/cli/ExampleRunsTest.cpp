// The shipped examples run end to end through `varnex-cli run`: every
// statistic is a finite number, and the Level 3 gasworks example shows only
// its one intended warning and results that hang together physically.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/ProgramRun.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::RunProgram;

const std::string examples = VARNEX_SOURCE_DIR "/examples/";

struct ExampleRun {
    test::ProgramResult program;
    nlohmann::json rows;
};

// Few iterations keep the test quick; the inputs are drawn from the whole
// of each distribution all the same.
ExampleRun RunExample(const std::string& name, int iterations) {
    test::TempDirectory dir;
    ExampleRun run;
    run.program = RunProgram("varnex-cli",
                             {"run", examples + name, "--quiet", "--iterations",
                              std::to_string(iterations), "--stats-json", dir.File("stats.json")});
    if (run.program.exitCode == 0)
        run.rows = nlohmann::json::parse(test::ReadFileBytes(dir.File("stats.json")));
    return run;
}

const nlohmann::json& Row(const nlohmann::json& rows, const std::string& kind,
                          const std::string& contaminant, const std::string& receptor,
                          double time = -1.0) {
    for (const auto& row : rows)
        if (row["kind"] == kind && row.value("contaminant", "") == contaminant &&
            row.value("receptor", "") == receptor && row.value("time", -1.0) == time)
            return row;
    static const nlohmann::json none;
    ADD_FAILURE() << "no row " << kind << " " << contaminant << " " << receptor << " " << time;
    return none;
}

double Number(const nlohmann::json& row, const char* key) {
    return row.is_object() && row.contains(key) && row[key].is_number() ? row[key].get<double>()
                                                                        : -1.0;
}

// A value that is not finite is written as null; none may appear.
TEST(ExampleRuns, EveryStatisticIsFinite) {
    for (const char* name : {"level1-gasworks.json", "level2-solvent-soakaway.json",
                             "level3a-landfill.json", "level3-gasworks-chalk.json"}) {
        SCOPED_TRACE(name);
        const ExampleRun run = RunExample(name, 40);
        ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
        ASSERT_FALSE(run.rows.empty());
        for (const auto& row : run.rows) {
            for (const char* key : {"min", "max", "mean", "sd", "variance"})
                EXPECT_TRUE(row[key].is_number()) << row["label"] << " " << key;
            for (const auto& [percent, value] : row["percentiles"].items())
                EXPECT_TRUE(value.is_number()) << row["label"] << " " << percent;
        }
        for (const char* word : {" nan", " -nan", " inf", " -inf"})
            EXPECT_EQ(run.program.out.find(word), std::string::npos) << word;
    }
}

TEST(ExampleRuns, GasworksOnChalkWarnsOnlyOfItsSoakaway) {
    const ExampleRun run = RunExample("level3-gasworks-chalk.json", 64);
    ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
    const std::string& err = run.program.err;
    EXPECT_NE(
        err.find(
            "the infiltration through source Yard soakaway exceeded one tenth of the aquifer flow"),
        std::string::npos)
        << err;
    for (const char* unintended : {"source Tar well exceeded", "source Purifier beds exceeded",
                                   "fell outside", "limited to the contaminant solubility"})
        EXPECT_EQ(err.find(unintended), std::string::npos) << unintended << "\n" << err;
}

TEST(ExampleRuns, GasworksOnChalkResultsHangTogether) {
    const ExampleRun run = RunExample("level3-gasworks-chalk.json", 64);
    ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
    const nlohmann::json& rows = run.rows;
    const char* receptors[] = {"Abstraction borehole", "Holt Bottom spring", "River Wend"};

    // The receptors lie one behind the other down the flow, so the first
    // arrival is later at each.
    double previous = 0.0;
    for (const char* receptor : receptors) {
        const double mean =
            Number(Row(rows, "totalReceptorUnretardedTravelTime", "Benzene", receptor), "mean");
        EXPECT_GT(mean, previous) << receptor;
        previous = mean;
    }

    // Benzene reaches every receptor within 50 years (the soakaway drains
    // through the fissures), and is above the standard at the borehole in
    // some iterations.
    for (const char* receptor : receptors)
        EXPECT_GT(
            Number(Row(rows, "totalReceptorConcentration", "Benzene", receptor, 50.0), "mean"), 0.0)
            << receptor;
    EXPECT_GT(Number(Row(rows, "totalReceptorConcentration", "Benzene", receptors[0], 50.0),
                     "exceedanceProbability"),
              0.0);

    // Arsenic is strongly sorbed and has not arrived after 5 years: each
    // receptor shows the aquifer's background, TRIANGULAR(0.0005,0.001,0.003)
    // with a mean of 0.0015, counted once (twice would double the mean).
    for (const char* receptor : receptors) {
        const nlohmann::json& total =
            Row(rows, "totalReceptorConcentration", "Arsenic", receptor, 5.0);
        EXPECT_GE(Number(total, "min"), 0.0005) << receptor;
        EXPECT_NEAR(Number(total, "mean"), 0.0015, 0.0003) << receptor;
    }
}

// The solvent chain: tetrachloroethene leaches, its daughters form on the
// way, and every daughter has a total concentration at every receptor and
// time with its standard and exceedance probability. Vinyl chloride is in
// none of the leachate, so whatever reaches the receptors was formed from
// tetrachloroethene; more of it reaches the near receptor later than
// sooner.
TEST(ExampleRuns, SolventChainFormsVinylChlorideAtEveryReceptor) {
    const ExampleRun run = RunExample("level3-solvent-chain.json", 40);
    ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
    for (const auto& row : run.rows)
        for (const char* key : {"min", "max", "mean"})
            EXPECT_TRUE(row[key].is_number()) << row["label"] << " " << key;
    const std::vector<std::string> daughters = {"Trichloroethene", "cis-1,2-Dichloroethene",
                                                "Vinyl chloride"};
    for (const char* receptor : {"Site boundary", "Mill spring", "Supply borehole SB2"})
        for (const std::string& daughter : daughters)
            for (double time : {5.0, 10.0, 25.0, 50.0, 100.0}) {
                const nlohmann::json& row =
                    Row(run.rows, "totalReceptorConcentration", daughter, receptor, time);
                EXPECT_GE(Number(row, "exceedanceProbability"), 0.0) << daughter << " " << time;
                EXPECT_GT(Number(row, "standard"), 0.0);
            }
    const auto vinylChloride = [&](double time) {
        return Number(
            Row(run.rows, "totalReceptorConcentration", "Vinyl chloride", "Site boundary", time),
            "mean");
    };
    EXPECT_GT(vinylChloride(50.0), 0.0);
    EXPECT_GT(vinylChloride(50.0), vinylChloride(5.0));
}

} // namespace
} // namespace varnex
