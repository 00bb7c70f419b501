// End-to-end runs through the command-line tool. The hand-check example has
// single values only, so every iteration must give the numbers worked by
// hand:
//   Kp = Kd + (H * theta_a + theta_w) / rho_b
//   benzene: 2 + (0.2 * 0.1 + 0.25) / 1.6 = 2.16875
//   arsenic (no air phase): 5 + 0.25 / 1.6 = 5.15625
//   leaching: x = I * (t - t0) / (rho_b * h) = 0.25 * t / 3.2
//   soil entry: c = (C0 - (1 - exp(-x / Kp)) * C0) / Kp
//     t = 10: x = 0.78125, c = 100 exp(-0.360231) / 2.16875 = 32.1620978...
//     t = 100: x = 7.8125, c = 1.25698217...
//   leachate entry: c = C0 exp(-x / Kp)
//     t = 10: 0.5 exp(-0.151515) = 0.42970243...; t = 100: 0.10988744...

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "persist/ProjectJson.h"
#include "support/GeneratedProject.h"
#include "support/ProgramRun.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::RunProgram;

const std::string handCheck = VARNEX_SOURCE_DIR "/examples/hand-check-level1.json";

nlohmann::json StatsOf(const std::vector<std::string>& extra, int* exitCode = nullptr) {
    test::TempDirectory dir;
    std::vector<std::string> arguments{"run", handCheck, "--quiet", "--stats-json",
                                       dir.File("stats.json")};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const auto r = RunProgram("varnex-cli", arguments);
    if (exitCode) *exitCode = r.exitCode;
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return nlohmann::json::parse(test::ReadFileBytes(dir.File("stats.json")));
}

const nlohmann::json* Find(const nlohmann::json& rows, const std::string& kind,
                           const std::string& contaminant, double time) {
    for (const auto& row : rows)
        if (row["kind"] == kind && row.value("contaminant", "") == contaminant &&
            row.value("time", -1.0) == time)
            return &row;
    return nullptr;
}

TEST(RunCommand, HandCheckedLevel1Concentrations) {
    const nlohmann::json rows = StatsOf({});
    struct Expected {
        const char* contaminant;
        double time, value;
    } expected[] = {{"Benzene", 10, 32.162097846369676},
                    {"Benzene", 100, 1.2569821710428608},
                    {"Arsenic", 10, 0.42970243044425466},
                    {"Arsenic", 100, 0.10988744155012681}};
    for (const Expected& e : expected) {
        const nlohmann::json* row = Find(rows, "sourceConcentration", e.contaminant, e.time);
        ASSERT_NE(row, nullptr) << e.contaminant << " " << e.time;
        EXPECT_EQ((*row)["n"], 5);
        EXPECT_NEAR((*row)["mean"].get<double>(), e.value, 1e-12 * e.value);
        EXPECT_NEAR((*row)["percentiles"]["95"].get<double>(), e.value, 1e-12 * e.value);
        // The one-pass variance of equal values is zero up to rounding.
        EXPECT_NEAR((*row)["sd"].get<double>(), 0.0, 1e-7 * e.value);
        EXPECT_EQ((*row)["source"], "Tank");
        EXPECT_EQ((*row)["label"], e.time == 10 ? "Source Concentration at 10.000000 years"
                                                : "Source Concentration at 100.000000 years");
    }
    // Arsenic's standard of 0.2 mg/l is exceeded at 10 years, not at 100.
    EXPECT_EQ((*Find(rows, "sourceConcentration", "Arsenic", 10))["exceedanceProbability"], 1.0);
    EXPECT_EQ((*Find(rows, "sourceConcentration", "Arsenic", 100))["exceedanceProbability"], 0.0);
    EXPECT_FALSE(
        Find(rows, "sourceConcentration", "Benzene", 10)->contains("exceedanceProbability"));
}

TEST(RunCommand, OutputDoesNotDependOnThreadsAndIterationsCanBeSet) {
    const nlohmann::json one = StatsOf({"--threads", "1", "--iterations", "64"});
    const nlohmann::json three = StatsOf({"--threads", "3", "--iterations", "64"});
    EXPECT_EQ(one, three);
    EXPECT_EQ(one[0]["n"], 64);
}

TEST(RunCommand, InvalidAndUnreadableProjects) {
    const auto invalid = RunProgram(
        "varnex-cli", {"run", VARNEX_SOURCE_DIR "/examples/invalid-level3.json", "--quiet"});
    EXPECT_EQ(invalid.exitCode, 1);
    EXPECT_EQ(invalid.out.rfind("Validation Errors:\n", 0), 0u);
    test::TempDirectory dir;
    test::WriteFileBytes(dir.File("broken.json"), "{ \"format\": ");
    const auto broken = RunProgram("varnex-cli", {"run", dir.File("broken.json")});
    EXPECT_EQ(broken.exitCode, 2);
    EXPECT_NE(broken.err.find("cannot read"), std::string::npos);
    EXPECT_EQ(RunProgram("varnex-cli", {"run", dir.File("missing.json")}).exitCode, 2);
    EXPECT_EQ(RunProgram("varnex-cli", {"run", handCheck, "--iterations", "20000"}).exitCode, 2);
    // An endless source is read to the largest document a project can be,
    // then refused by name; before, it ran out of memory (exit 1).
    const auto endless = RunProgram("varnex-cli", {"validate", "/dev/zero"});
    EXPECT_EQ(endless.exitCode, 2);
    EXPECT_NE(endless.err.find("/dev/zero: larger than 64 MiB"), std::string::npos) << endless.err;
}

TEST(RunCommand, ValidateTheExamples) {
    for (const char* name :
         {"hand-check-level1.json", "level1-gasworks.json", "level2-solvent-soakaway.json",
          "level3-petrol-station.json", "level3a-landfill.json"}) {
        const auto r = RunProgram("varnex-cli",
                                  {"validate", std::string(VARNEX_SOURCE_DIR "/examples/") + name});
        EXPECT_EQ(r.exitCode, 0) << name << "\n" << r.out << r.err;
        EXPECT_EQ(r.out, "");
    }
    const auto r =
        RunProgram("varnex-cli", {"validate", VARNEX_SOURCE_DIR "/examples/invalid-level3.json"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out,
              test::ReadFileBytes(VARNEX_SOURCE_DIR "/examples/invalid-level3.expected.txt"));
}

// The layers of a pathway are walked in a loop, not a recursion, so their
// number does not bound the stack: a thousand layers run with a 256 KB stack
// for every thread (the stack limit is also each thread's default size).
// A recursion of one frame per layer ran out of stack at about 600.
TEST(RunCommand, AThousandLayersRunInASmallStack) {
#if defined(VARNEX_ADDRESS_SANITIZER)
    GTEST_SKIP()
        << "the sanitizer's frames are several times larger; the normal build holds the limit";
#endif
    test::ProjectSize size;
    size.sources = 1;
    size.layers = 1000;
    size.contaminants = 1;
    size.receptors = 1;
    size.slices = 2;
    test::TempDirectory dir;
    const std::string path = dir.File("deep.json");
    test::WriteFileBytes(path, WriteProjectJson(test::GeneratedLevel3Project(size)));
    const std::string program = std::string(VARNEX_BIN_DIR) + "/varnex-cli";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{256 * 1024, 256 * 1024};
        ::setrlimit(RLIMIT_STACK, &limit);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, 1);
        ::execl(program.c_str(), program.c_str(), "run", path.c_str(), "--quiet", "--iterations",
                "3", "--threads", "2", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status))
        << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
} // namespace varnex
