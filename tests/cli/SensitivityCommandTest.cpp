// The sensitivity ranking through the command-line tool: a run saved with
// its results (`run --output`), then `sensitivity` on the saved file.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/NumberText.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "support/ModelBuilders.h"
#include "support/ProgramRun.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::RunProgram;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

class SensitivityCommandTest : public ::testing::Test {
protected:
    // A Level 1 leachate source declining by leaching, whose concentration
    // is the only sampled input: the source concentration is proportional
    // to it, so its coefficient is 1 (product-moment: a straight line; rank:
    // the result rises linearly with the rank only in expectation, so close
    // to 1), and the other inputs the decline reads are single values.
    void SetUp() override {
        Project project = test::LeachingLevel1Project("UNIFORM(1,3)");
        project.timeSlices = {10.0, 100.0};
        test::WriteFileBytes(dir_.File("project.json"), WriteProjectJson(project));
        const auto run =
            RunProgram("varnex-cli", {"run", dir_.File("project.json"), "--iterations", "200",
                                      "--seed", "11", "--quiet", "--output", saved()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }

    std::string saved() const { return dir_.File("run.vnx"); }

    test::TempDirectory dir_;
};

TEST_F(SensitivityCommandTest, TheOnlySampledInputLeadsWithCoefficientOne) {
    const auto list =
        RunProgram("varnex-cli", {"sensitivity", saved(), "--result", "2", "--time", "10"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    const std::vector<std::string> lines = Lines(list.out);
    ASSERT_GE(lines.size(), 3u) << list.out;
    EXPECT_EQ(lines[0], "Input\tSensitivity");
    EXPECT_EQ(lines[1], "Benzene - Tank - Source Concentration [mg/l]\t1");
    // Single values follow the computed row, even though zero rows are
    // excluded by default.
    for (std::size_t k = 2; k < lines.size(); ++k)
        EXPECT_NE(lines[k].find("\tSingle Value"), std::string::npos) << lines[k];

    const auto firstTen = RunProgram(
        "varnex-cli", {"sensitivity", saved(), "--result", "2", "--time", "10", "--first-10"});
    ASSERT_EQ(firstTen.exitCode, 0) << firstTen.err;
    EXPECT_EQ(Lines(firstTen.out).size(), std::min<std::size_t>(lines.size(), 11u));

    const auto json = RunProgram("varnex-cli", {"sensitivity", saved(), "--result", "2", "--time",
                                                "100", "--rank", "--json", "--source", "Tank",
                                                "--contaminant", "Benzene"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const nlohmann::json document = nlohmann::json::parse(json.out);
    EXPECT_EQ(document["coefficient"], "rank");
    const nlohmann::json& rows = document["rows"];
    ASSERT_EQ(rows.size(), lines.size() - 1);
    EXPECT_EQ(rows[0]["input"], "Benzene - Tank - Source Concentration [mg/l]");
    // Uniform samples against their ranks: Pearson's r of n uniform order
    // statistics with 1..n is about 1 - O(1/n); 200 draws give above 0.99.
    EXPECT_GT(rows[0]["coefficient"].get<double>(), 0.99);
    EXPECT_LE(rows[0]["coefficient"].get<double>(), 1.0);
    EXPECT_EQ(rows[0]["text"], FormatG(rows[0]["coefficient"].get<double>()));
    for (std::size_t k = 1; k < rows.size(); ++k) {
        EXPECT_EQ(rows[k]["single_value"], true);
        EXPECT_EQ(rows[k]["text"], "Single Value");
        EXPECT_FALSE(rows[k].contains("coefficient"));
    }
}

TEST_F(SensitivityCommandTest, ChoicesTheDialogWouldNotOfferAreRefusedWithTheOffer) {
    struct Case {
        std::vector<std::string> options;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"--result", "0"}, "--result 0: not computed at this simulation level; offered: 2"},
        {{"--result", "4", "--time", "10"}, "--result 4: not computed"},
        {{"--result", "2"},
         "--time is needed for a concentration result; the time slices: 10, 100"},
        {{"--result", "2", "--time", "50"},
         "--time 50: not a time slice of the project; the time slices: 10, 100"},
        {{"--result", "2", "--time", "10", "--source", "Drum store"},
         "--source \"Drum store\": not offered; the choices: \"Tank\""},
        // Level 1 offers no "<All>" for sources.
        {{"--result", "2", "--time", "10", "--source", "<All>"}, "--source \"<All>\": not offered"},
        {{"--result", "2", "--time", "10", "--receptor", "Well"},
         "--receptor applies to receptor results (1, 4) only"},
        {{"--result", "2", "--time", "10", "--pathway", "<All>"},
         "--pathway does not apply to source concentrations (2)"},
        {{"--result", "2", "--time", "10", "--contaminant", "Toluene"},
         "--contaminant \"Toluene\": no such contaminant; the contaminants: \"Benzene\""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"sensitivity", saved()};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const auto result = RunProgram("varnex-cli", arguments);
        SCOPED_TRACE(c.message);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    // Every problem of one command line is reported together.
    const auto several =
        RunProgram("varnex-cli", {"sensitivity", saved(), "--result", "2", "--time", "50",
                                  "--source", "Drum store", "--contaminant", "Toluene"});
    EXPECT_EQ(several.exitCode, 1);
    EXPECT_EQ(Lines(several.err).size(), 3u) << several.err;
}

TEST_F(SensitivityCommandTest, AProjectWithoutResultsIsRefused) {
    const auto fromJson = RunProgram(
        "varnex-cli", {"sensitivity", dir_.File("project.json"), "--result", "2", "--time", "10"});
    EXPECT_EQ(fromJson.exitCode, 1);
    EXPECT_EQ(fromJson.err, "no results: run the project first\n");
    const auto missing =
        RunProgram("varnex-cli", {"sensitivity", dir_.File("none.vnx"), "--result", "2"});
    EXPECT_EQ(missing.exitCode, 2);
    const auto badCode = RunProgram("varnex-cli", {"sensitivity", saved(), "--result", "5"});
    EXPECT_EQ(badCode.exitCode, 2);
}

} // namespace
} // namespace varnex
