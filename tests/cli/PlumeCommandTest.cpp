// The plume map through the command-line tool, on the deterministic Level 3
// fixture: a 20 m x 10 m source at (0..20, 0..10), flow along +x, receptors
// "Borehole" (110, 7), "Upstream well" (-30, 5) and "Site boundary" (13, 5).
// With single values only, a run of one iteration computes what the map
// computes at a receptor's position.

#include <filesystem>
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

const std::string fixture = VARNEX_SOURCE_DIR "/tests/transport/data/level3-receptors.json";
const std::string header = "x,y,concentration_mg_per_l,band";

struct Node {
    double x, y, concentration;
    int band;
};

std::vector<Node> ParseCsv(const std::string& text, std::string& firstLine) {
    std::istringstream in(text);
    std::getline(in, firstLine);
    std::vector<Node> nodes;
    for (std::string line; std::getline(in, line);) {
        Node node{};
        char c1 = 0, c2 = 0, c3 = 0;
        std::istringstream fields(line);
        fields >> node.x >> c1 >> node.y >> c2 >> node.concentration >> c3 >> node.band;
        EXPECT_TRUE(fields && c1 == ',' && c2 == ',' && c3 == ',') << line;
        nodes.push_back(node);
    }
    return nodes;
}

const Node* At(const std::vector<Node>& nodes, double x, double y) {
    for (const Node& node : nodes)
        if (node.x == x && node.y == y) return &node;
    return nullptr;
}

double TotalAtReceptor(const nlohmann::json& rows, const std::string& receptor, double time) {
    for (const auto& row : rows)
        if (row["kind"] == "totalReceptorConcentration" && row["receptor"] == receptor &&
            row["time"] == time)
            return row["mean"].get<double>();
    ADD_FAILURE() << "no total for " << receptor << " at " << time;
    return -1.0;
}

TEST(PlumeCommand, GridMatchesTheReceptorsOfARun) {
    test::TempDirectory dir;
    const auto run = RunProgram("varnex-cli", {"run", fixture, "--quiet", "--iterations", "1",
                                               "--stats-json", dir.File("stats.json")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json rows = nlohmann::json::parse(ReadFileBytes(dir.File("stats.json")));

    for (double time : {10.0, 20.0}) {
        SCOPED_TRACE(time);
        // Nodes every 10 m from x = -30 to 110 on the rows y = 7 and y = -3.
        const std::string csv = dir.File("plume.csv");
        const auto plume =
            RunProgram("varnex-cli", {"plume", fixture, "--contaminant", "Benzene", "--time",
                                      std::to_string(time), "--spacing", "10", "--area",
                                      "-30,7,150,20", "--csv", csv, "--quiet"});
        ASSERT_EQ(plume.exitCode, 0) << plume.err;
        EXPECT_EQ(plume.out, "");
        std::string first;
        const std::vector<Node> nodes = ParseCsv(ReadFileBytes(csv), first);
        EXPECT_EQ(first, header);
        ASSERT_EQ(nodes.size(), 15u * 2u);
        // Column order: every row of a column before the next column.
        EXPECT_EQ(nodes[0].x, -30.0);
        EXPECT_EQ(nodes[0].y, 7.0);
        EXPECT_EQ(nodes[1].x, -30.0);
        EXPECT_EQ(nodes[1].y, -3.0);
        EXPECT_EQ(nodes[2].x, -20.0);

        const Node* borehole = At(nodes, 110.0, 7.0);
        ASSERT_NE(borehole, nullptr);
        const double expected = TotalAtReceptor(rows, "Borehole", time);
        EXPECT_GT(expected, 0.0);
        EXPECT_NEAR(borehole->concentration, expected, 1e-14 * expected);
        EXPECT_EQ(borehole->band, 12); // 0.1 to 1 mg/l
        // Upstream of the source nothing arrives.
        const Node* upstream = At(nodes, -30.0, 7.0);
        ASSERT_NE(upstream, nullptr);
        EXPECT_EQ(upstream->concentration, 0.0);
        EXPECT_EQ(upstream->band, -1);
        EXPECT_EQ(TotalAtReceptor(rows, "Upstream well", time), 0.0);
    }
}

TEST(PlumeCommand, AreaNodeCountsAndThreads) {
    // 95 m wide at 10 m: 10 columns, the last at x0 + 90 m; 10 m high: one row.
    const auto narrow =
        RunProgram("varnex-cli", {"plume", fixture, "--contaminant", "Benzene", "--time", "20",
                                  "--spacing", "10", "--area", "0, 10, 95, 10", "--quiet"});
    ASSERT_EQ(narrow.exitCode, 0) << narrow.err;
    std::string first;
    std::vector<Node> nodes = ParseCsv(narrow.out, first);
    ASSERT_EQ(nodes.size(), 10u);
    EXPECT_EQ(nodes.back().x, 90.0);

    // The default area: x from -30 to 110 and y from 0 to 10, widened by
    // 20 % on each side: left -58, top 12, 196 m x 14 m.
    const auto whole =
        RunProgram("varnex-cli", {"plume", fixture, "--contaminant", "Benzene", "--time", "20",
                                  "--spacing", "10", "--threads", "1"});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    nodes = ParseCsv(whole.out, first);
    EXPECT_EQ(first, header);
    ASSERT_EQ(nodes.size(), 20u * 2u);
    EXPECT_EQ(nodes.front().x, -58.0);
    EXPECT_EQ(nodes.front().y, 12.0);
    EXPECT_EQ(nodes.back().x, 132.0);
    EXPECT_EQ(nodes.back().y, 2.0);
    // Progress goes to standard error, never into the grid.
    EXPECT_NE(whole.err.find("Calculating:"), std::string::npos);

    const auto threaded =
        RunProgram("varnex-cli", {"plume", fixture, "--contaminant", "Benzene", "--time", "20",
                                  "--spacing", "10", "--threads", "3", "--quiet"});
    EXPECT_EQ(threaded.out, whole.out);
    EXPECT_EQ(threaded.err, "");

    const auto legend =
        RunProgram("varnex-cli", {"plume", fixture, "--contaminant", "Benzene", "--time", "20",
                                  "--spacing", "10", "--legend", "--quiet"});
    ASSERT_EQ(legend.exitCode, 0) << legend.err;
    std::istringstream lines(legend.out);
    std::vector<std::string> texts;
    for (std::string line; std::getline(lines, line);) texts.push_back(line);
    ASSERT_EQ(texts.size(), 17u);
    EXPECT_EQ(texts[0], "Concentration of Benzene");
    EXPECT_EQ(texts[1], "0\t1e-30 - 1e-12 mg/l");
    EXPECT_EQ(texts[13], "12\t0.1 - 1 mg/l");
    EXPECT_EQ(texts[16], "15\tAbove 100 mg/l");
}

TEST(PlumeCommand, RefusalsWriteNothing) {
    test::TempDirectory dir;
    const std::string csv = dir.File("plume.csv");
    struct Case {
        std::string project;
        std::vector<std::string> options;
        int exitCode;
        std::string message;
    } cases[] = {
        {fixture,
         {"--contaminant", "Toluene", "--time", "20", "--spacing", "10"},
         1,
         "Choose a contaminant for the plume."},
        {fixture,
         {"--contaminant", "Benzene", "--time", "0", "--spacing", "10"},
         1,
         "Time must be greater than 0"},
        {fixture,
         {"--contaminant", "Benzene", "--time", "20", "--spacing", "-5"},
         1,
         "Grid spacing must be greater than 0"},
        {fixture,
         {"--contaminant", "Benzene", "--time", "20", "--spacing", "0.01"},
         1,
         "more than 1000000 nodes"},
        {VARNEX_SOURCE_DIR "/examples/hand-check-level1.json",
         {"--contaminant", "Benzene", "--time", "20", "--spacing", "10"},
         1,
         "only be calculated at Level 3"},
        {fixture, {"--contaminant", "Benzene", "--time", "nan", "--spacing", "10"}, 2, "--time"},
        {fixture,
         {"--contaminant", "Benzene", "--time", "20", "--spacing", "10", "--area", "0,0,-5,10"},
         2,
         "--area"},
        {fixture,
         {"--contaminant", "Benzene", "--time", "20", "--spacing", "10", "--area", "0,0,5"},
         2,
         "--area"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"plume", c.project, "--csv", csv};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const auto r = RunProgram("varnex-cli", arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.message;
        EXPECT_FALSE(std::filesystem::exists(csv)) << c.message;
    }

    // An invalid project is reported as a run reports it.
    const auto invalid =
        RunProgram("varnex-cli", {"plume", VARNEX_SOURCE_DIR "/examples/invalid-level3.json",
                                  "--contaminant", "Benzene", "--time", "20", "--spacing", "10"});
    EXPECT_EQ(invalid.exitCode, 1);
    EXPECT_EQ(invalid.out.rfind("Validation Errors:\n", 0), 0u);
}

} // namespace
} // namespace varnex
