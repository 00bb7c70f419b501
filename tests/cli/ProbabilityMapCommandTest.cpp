// plume --probability through the command-line tool: a node on a receptor
// gives the statistics that `run` reports for that receptor with the same
// seed and iterations; the CSV's columns; and every refusal comes before the
// run, says what is wrong and writes nothing.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/ProgramRun.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::ReadFileBytes;
using test::RunProgram;

const std::string gasworks = VARNEX_SOURCE_DIR "/examples/level3-gasworks-chalk.json";
const std::string landfill = VARNEX_SOURCE_DIR "/examples/level3a-landfill.json";

std::vector<std::vector<std::string>> Cells(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(csv);
    for (std::string line; std::getline(in, line);) {
        rows.emplace_back();
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, ',');) rows.back().push_back(cell);
    }
    return rows;
}

const nlohmann::json* Row(const nlohmann::json& rows, const std::string& receptor,
                          const std::string& contaminant, double time) {
    for (const auto& row : rows)
        if (row["kind"] == "totalReceptorConcentration" && row["receptor"] == receptor &&
            row["contaminant"] == contaminant && row["time"] == time)
            return &row;
    return nullptr;
}

// The abstraction borehole of the gasworks stands at (190, -342) and the
// landfill's Mill Brook at (60, 230): a map whose first node is there
// repeats `run`'s statistics for that receptor (the same seed, iterations
// and kernel give the same samples).
TEST(ProbabilityMapCommand, ANodeOnAReceptorReportsTheRunsStatistics) {
    struct Case {
        std::string project, receptor, contaminant, time, area, kernel;
        std::string secondX, secondY; // x0 + width / 3, y0 - height / 2
    } cases[] = {
        {gasworks, "Abstraction borehole", "Benzene", "50", "190,-342,30,20", "fast", "200",
         "-352"},
        {landfill, "Mill Brook", "Ammonium (as NH4)", "100", "60,230,10,10", "exact",
         "63.333333333333336", "225"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.project);
        test::TempDirectory dir;
        const auto run = RunProgram("varnex-cli", {"run", c.project, "--quiet", "--seed", "5",
                                                   "--iterations", "101", "--kernel", c.kernel,
                                                   "--stats-json", dir.File("stats.json")});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const auto map = RunProgram(
            "varnex-cli", {"plume",         c.project,       "--probability", "--seed", "5",
                           "--iterations",  "101",           "--nodes",       "3,2",    "--area",
                           c.area,          "--contaminant", c.contaminant,   "--time", c.time,
                           "--percentiles", "5,50,95",       "--kernel",      c.kernel, "--quiet"});
        ASSERT_EQ(map.exitCode, 0) << map.err;
        const auto cells = Cells(map.out);
        ASSERT_EQ(cells.size(), 7u) << map.out; // the header and 3 x 2 nodes
        EXPECT_EQ(cells[0],
                  (std::vector<std::string>{"x", "y", "exceedance_probability", "mean_mg_per_l",
                                            "p5_mg_per_l", "p50_mg_per_l", "p95_mg_per_l"}));
        const nlohmann::json rows = nlohmann::json::parse(ReadFileBytes(dir.File("stats.json")));
        const nlohmann::json* row = Row(rows, c.receptor, c.contaminant, std::stod(c.time));
        ASSERT_NE(row, nullptr);
        // Both print 17 significant digits: equal texts are equal doubles.
        const std::vector<std::string>& node = cells[1];
        EXPECT_EQ(std::stod(node[2]), (*row)["exceedanceProbability"].get<double>());
        EXPECT_EQ(std::stod(node[3]), (*row)["mean"].get<double>());
        EXPECT_EQ(std::stod(node[4]), (*row)["percentiles"]["5"].get<double>());
        EXPECT_EQ(std::stod(node[5]), (*row)["percentiles"]["50"].get<double>());
        EXPECT_EQ(std::stod(node[6]), (*row)["percentiles"]["95"].get<double>());
        // Rows from the top, left to right.
        EXPECT_EQ(cells[2][0], c.secondX);
        EXPECT_EQ(cells[4][1], c.secondY);
    }
}

TEST(ProbabilityMapCommand, RefusalsComeBeforeTheRunAndWriteNothing) {
    test::TempDirectory dir;
    const std::string csv = dir.File("map.csv");
    std::ofstream(dir.File("plain-file")) << "not a folder\n";
    struct Case {
        std::vector<std::string> options;
        int exitCode;
        std::string message;
    } cases[] = {
        {{"--time", "37", "--spacing", "50"},
         1,
         "37 years is not one of the project's time slices"},
        {{"--nodes", "1001,1000"}, 1, "1001000 nodes, more than the 1000000"},
        {{"--contaminant", "Benzol", "--spacing", "50"}, 1, "no contaminant named \"Benzol\""},
        {{"--spacing", "50", "--percentiles", "0,50"}, 2, "--percentiles"},
        {{"--spacing", "50", "--nodes", "3,3"}, 2, "either --spacing or --nodes"},
        {{}, 2, "--probability needs --spacing or --nodes"},
        {{"--nodes", "3,0"}, 2, "--nodes"},
        {{"--spacing", "50", "--contours", dir.File("lines.txt")}, 1, ".geojson, .json or .gpkg"},
        {{"--spacing", "50", "--contour-percentile", "90"}, 1, "not one of the mapped percentiles"},
        {{"--spacing", "50", "--legend"}, 2, "--legend is for the central-value map"},
        {{"--spacing", "50", "--epsg", "99999", "--geotiff", dir.File("map.tif")}, 1, "EPSG:99999"},
        // A folder that is a file (root may write anywhere else).
        {{"--spacing", "50", "--csv", dir.File("plain-file/map.csv")}, 1, "plain-file"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"plume", gasworks, "--probability", "--quiet"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        if (std::find(c.options.begin(), c.options.end(), "--csv") == c.options.end()) {
            arguments.push_back("--csv");
            arguments.push_back(csv);
        }
        const auto r = RunProgram("varnex-cli", arguments);
        SCOPED_TRACE(c.message);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("Sampling"), std::string::npos) << "refused only after the run";
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(std::filesystem::exists(csv));
        EXPECT_FALSE(std::filesystem::exists(dir.File("map.tif")));
    }

    // A contaminant without a standard: no probability to map, and no
    // contours to draw, said before the run.
    const std::string noStandard = dir.File("no-standard.json");
    {
        nlohmann::json project = nlohmann::json::parse(ReadFileBytes(gasworks));
        for (auto& contaminant : project["contaminants"])
            if (contaminant["name"] == "Toluene") contaminant["standard"] = 0.0;
        std::ofstream(noStandard) << project.dump(1);
    }
    const auto contours =
        RunProgram("varnex-cli", {"plume", noStandard, "--probability", "--contaminant", "Toluene",
                                  "--spacing", "100", "--contours", dir.File("lines.geojson")});
    EXPECT_EQ(contours.exitCode, 1);
    EXPECT_NE(contours.err.find("Toluene has no water quality standard, so there are no contours"),
              std::string::npos)
        << contours.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("lines.geojson")));
    const auto map =
        RunProgram("varnex-cli", {"plume", noStandard, "--probability", "--contaminant", "Toluene",
                                  "--nodes", "2,2", "--iterations", "11", "--quiet"});
    EXPECT_EQ(map.exitCode, 0) << map.err;
    EXPECT_EQ(map.out.substr(0, map.out.find('\n')), "x,y,mean_mg_per_l,p50_mg_per_l,p95_mg_per_l");
    EXPECT_NE(map.err.find("the probability of exceeding it is not mapped"), std::string::npos)
        << map.err;
}

} // namespace
} // namespace varnex
