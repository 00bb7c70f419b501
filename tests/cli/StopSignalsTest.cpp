// A command stopped by a signal at any moment, from the first stage of the
// calculation to the renaming of its outputs, must leave every old output
// byte for byte and no temporary file beside them, and must say how it
// ended by its exit code: 128 + the signal's number. The moments are reached
// through the tool's test hook VARNEX_CLI_TEST_PAUSE (src/cli/TestPause.h),
// at which it waits for the signal.

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "support/ChildProgram.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::ChildProgram;
using test::ReadFileBytes;

const std::string petrolStation = VARNEX_SOURCE_DIR "/examples/level3-petrol-station.json";
const std::string plumeProject = VARNEX_SOURCE_DIR "/tests/transport/data/level3-receptors.json";

std::vector<std::string> Entries(const std::filesystem::path& folder) {
    return test::FileNamesIn(folder);
}

// Old outputs of an earlier run, each with bytes of its own.
void PlantOldFiles(const test::TempDirectory& dir, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        test::WriteFileBytes(dir.File(name), "the old " + name + "\n");
}

void ExpectOldFilesOnly(const test::TempDirectory& dir, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        EXPECT_EQ(ReadFileBytes(dir.File(name)), "the old " + name + "\n") << name;
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    // No temporary (".NAME.tmp.PID.N") nor any other file left behind.
    EXPECT_EQ(Entries(dir.Path()), sorted);
}

// Runs the command until it announces `moment`, sends `signal` and returns
// the wait status.
int StopAt(const std::vector<std::string>& arguments, const std::string& moment, int signal,
           std::string& out, std::string& err) {
    ChildProgram::Options options;
    options.environment = {{"VARNEX_CLI_TEST_PAUSE", moment}};
    ChildProgram child("varnex-cli", arguments, options);
    const bool reached = child.WaitForError("varnex-cli: test pause at " + moment + "\n", 120);
    EXPECT_TRUE(reached) << "never reached " << moment << ":\n" << child.Err();
    if (reached) child.Signal(signal);
    const int status = child.Wait();
    out = child.Out();
    err = child.Err();
    return status;
}

TEST(StopSignals, RunStoppedAtAnyStageExitsWithTheSignalAndLeavesEveryOldOutput) {
    const std::vector<std::string> moments = {
        "Sampling",           "Correlating Inputs", "Calculating", "Calculating Statistics",
        "writing statistics", "writing project",    "committing"};
    const std::vector<std::string> names = {"site.vnx", "stats.json"};
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        for (const std::string& moment : moments) {
            SCOPED_TRACE("signal " + std::to_string(signal) + " at " + moment);
            test::TempDirectory dir;
            PlantOldFiles(dir, names);
            std::string out, err;
            const int status =
                StopAt({"run", petrolStation, "--quiet", "--iterations", "200", "--stats-json",
                        dir.File("stats.json"), "--output", dir.File("site.vnx")},
                       moment, signal, out, err);
            EXPECT_EQ(test::DescribeStatus(status), "exit " + std::to_string(128 + signal)) << err;
            ExpectOldFilesOnly(dir, names);
            // Nothing is reported for a stopped run.
            EXPECT_EQ(out, "");
        }
    }
}

TEST(StopSignals, ConvertAndPlumeStoppedWhileWritingLeaveTheOldOutput) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE("signal " + std::to_string(signal));
        test::TempDirectory dir;
        const std::vector<std::string> names = {"out.json", "out.vnx", "grid.csv"};
        PlantOldFiles(dir, names);
        std::string out, err;
        for (const std::string name : {"out.vnx", "out.json"}) {
            const int status =
                StopAt({"convert", petrolStation, dir.File(name)}, "writing", signal, out, err);
            EXPECT_EQ(test::DescribeStatus(status), "exit " + std::to_string(128 + signal))
                << name << "\n"
                << err;
        }
        const int status =
            StopAt({"plume", plumeProject, "--contaminant", "Benzene", "--time", "20", "--spacing",
                    "10", "--quiet", "--legend", "--csv", dir.File("grid.csv")},
                   "writing", signal, out, err);
        EXPECT_EQ(test::DescribeStatus(status), "exit " + std::to_string(128 + signal)) << err;
        EXPECT_EQ(out, "");
        ExpectOldFilesOnly(dir, names);
    }
}

TEST(StopSignals, AFileSizeLimitFailsTheWriteWithItsReasonInsteadOfKillingTheRun) {
    // The limit's signal is left at its default, which ends a program that
    // does not handle it part way through a file.
    const std::vector<std::string> names = {"site.vnx", "stats.json"};
    for (const bool withStatistics : {true, false}) {
        SCOPED_TRACE(withStatistics ? "statistics and project" : "project only");
        test::TempDirectory dir;
        PlantOldFiles(dir, names);
        std::vector<std::string> arguments = {
            "run", petrolStation, "--quiet",           "--iterations",
            "200", "--output",    dir.File("site.vnx")};
        if (withStatistics)
            arguments.insert(arguments.end(), {"--stats-json", dir.File("stats.json")});
        ChildProgram::Options options;
        options.fileSizeLimit = 20000;
        ChildProgram child("varnex-cli", arguments, options);
        const int status = child.Wait();
        EXPECT_EQ(test::DescribeStatus(status), "exit 1") << child.Err();
        EXPECT_NE(child.Err().find("File too large"), std::string::npos) << child.Err();
        ExpectOldFilesOnly(dir, names);
    }
}

} // namespace
} // namespace varnex
