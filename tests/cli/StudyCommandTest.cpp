// Scenario studies from the command line: the CSV reader, one table
// whatever the number of worker processes and however the table is split
// (GNU parallel over --rows), a bad scenario named in the table while the
// others run, and tables that cannot be used refused before anything runs.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "cli/CsvTable.h"
#include "support/ProgramRun.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::ReadFileBytes;
using test::RunProgram;

const std::string landfill = VARNEX_SOURCE_DIR "/examples/level3a-landfill.json";

TEST(CsvTable, ReadsQuotedFieldsAndNamesLines) {
    std::string error;
    const auto table = cli::ParseCsv("name,/a,/b\r\n"
                                     "plain,1,x\r\n"
                                     "\n"
                                     "\"comma, inside\",\"TRIANGULAR(1,2,3)\",\"say \"\"hi\"\"\"\n"
                                     "\"two\nlines\",,\n"
                                     "short\n",
                                     error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->header, (std::vector<std::string>{"name", "/a", "/b"}));
    ASSERT_EQ(table->records.size(), 4u);
    EXPECT_EQ(table->records[1],
              (std::vector<std::string>{"comma, inside", "TRIANGULAR(1,2,3)", "say \"hi\""}));
    EXPECT_EQ(table->records[2][0], "two\nlines");
    EXPECT_EQ(table->records[3], (std::vector<std::string>{"short", "", ""}));
    // The line each record starts on, as an editor shows it.
    EXPECT_EQ(table->lines, (std::vector<int>{2, 4, 5, 7}));
    EXPECT_EQ(cli::CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(cli::CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(cli::CsvField("plain"), "plain");
}

TEST(CsvTable, RefusesWhatIsNotCsv) {
    const struct {
        const char* text;
        const char* words;
    } cases[] = {
        {"name,/a\nx,\"open\n", "line 2: a quote is never closed"},
        {"name,/a\n\"x\"y,1\n", "line 2: text after a closing quote"},
        {"name\nx,1,2\n", "line 2: 3 fields, but the header has 1"},
        {"", "no header line"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(cli::ParseCsv(c.text, error)) << c.text;
        EXPECT_EQ(error, c.words);
    }
}

class StudyCommand : public ::testing::Test {
protected:
    std::string Table(const std::string& text) {
        const std::string path = dir.File("scenarios.csv");
        std::ofstream(path) << text;
        return path;
    }
    test::TempDirectory dir;
};

const char* const scenarios = "name,/sources/0/inventory/0/concentration,iterations,seed\n"
                              "as built,,30,3\n"
                              "half the waste,SINGLE(250),30,3\n"
                              "lower,\"LOGTRIANGULAR(10,40,150)\",30,\n"
                              "\"bad, text\",\"TRIANGULAR(1,2\",30,\n";

TEST_F(StudyCommand, WorkerProcessesAndSplitTablesGiveOneTable) {
    const std::string table = Table(scenarios);
    const auto one = RunProgram("varnex-cli", {"study", table, "--project", landfill, "--outputs",
                                               "exceedance,p95,mean", "--quiet"});
    EXPECT_EQ(one.exitCode, 1) << "one scenario fails";
    const auto three = RunProgram("varnex-cli", {"study", table, "--project", landfill, "--outputs",
                                                 "exceedance,p95,mean", "--jobs", "3", "--quiet"});
    EXPECT_EQ(three.exitCode, 1);
    EXPECT_EQ(three.out, one.out);
    EXPECT_NE(one.out.find("\"bad, text\",5,,,,,,,,,\"scenario 'bad, text' (row 5), column "
                           "/sources/0/inventory/0/concentration: "),
              std::string::npos)
        << one.out;
    EXPECT_NE(one.out.find("half the waste,3,totalReceptorConcentration"), std::string::npos);
    EXPECT_NE(one.out.find("lower,4,totalReceptorConcentration"), std::string::npos);
    EXPECT_NE(one.err.find("some scenarios failed"), std::string::npos);

    // Each row on its own (as a job array or GNU parallel runs them), the
    // tables joined under one header: the same table.
    std::string joined;
    for (const char* row : {"2", "3", "4-5"}) {
        const auto part =
            RunProgram("varnex-cli", {"study", table, "--project", landfill, "--outputs",
                                      "exceedance,p95,mean", "--rows", row, "--quiet"});
        joined += joined.empty() ? part.out : part.out.substr(part.out.find('\n') + 1);
    }
    EXPECT_EQ(joined, one.out);

    // GNU parallel, when it is there, running the rows as separate jobs.
    if (std::system("command -v parallel >/dev/null 2>&1") == 0) {
        const std::string command =
            "cd " + dir.Path().string() + " && parallel --will-cite -j 2 '" + VARNEX_BIN_DIR +
            "/varnex-cli study " + table + " --project " + landfill +
            " --outputs exceedance,p95,mean --rows {} --quiet --csv part-{}.csv' ::: 2 3 4 5; "
            "awk 'FNR > 1 || NR == 1' part-2.csv part-3.csv part-4.csv part-5.csv > joined.csv";
        std::system(command.c_str());
        EXPECT_EQ(ReadFileBytes(dir.File("joined.csv")), one.out);
    }
}

TEST_F(StudyCommand, UnusableTablesAreRefusedBeforeAnyRun) {
    const struct {
        std::string table;
        std::vector<std::string> options;
        const char* words;
    } cases[] = {
        {"title,iterations\nx,10\n", {}, "no 'name' column"},
        {"name,sources/0/name\nx,y\n", {}, "column 'sources/0/name'"},
        {"name\n", {}, "no scenarios"},
        {"name\nx,\"open\n", {}, "a quote is never closed"},
        {"name\nx\n", {"--outputs", "p96"}, "the statistic must be one of"},
        {"name\nx\n", {"--rows", "3-2"}, "--rows takes A-B or A"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"study", Table(c.table), "--project", landfill};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        if (std::find(c.options.begin(), c.options.end(), "--outputs") == c.options.end()) {
            arguments.push_back("--outputs");
            arguments.push_back("p95");
        }
        arguments.push_back("--csv");
        arguments.push_back(dir.File("out.csv"));
        const auto r = RunProgram("varnex-cli", arguments);
        EXPECT_EQ(r.exitCode, 2) << c.words;
        EXPECT_NE(r.err.find(c.words), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.csv")));
    }
}

} // namespace
} // namespace varnex
