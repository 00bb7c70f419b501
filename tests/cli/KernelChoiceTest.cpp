// The kernel choice through the command-line tool: `--kernel` for run and
// plume, and the kernel named with the results wherever they are written
// (the statistics file, the project file of --output, `stats` of that file,
// and a conversion of it).

#include <filesystem>
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
// Single values only: a run of one iteration computes what the plume map
// computes at a receptor's position (Borehole at (110, 7)).
const std::string receptors = VARNEX_SOURCE_DIR "/tests/transport/data/level3-receptors.json";

// The kernel every row of a statistics document names; "mixed" when the
// rows disagree, "none" for an empty document.
std::string KernelOfRows(const std::string& text) {
    const nlohmann::json rows = nlohmann::json::parse(text);
    std::string kernel = "none";
    for (const auto& row : rows) {
        const std::string name =
            row.at("kernel").is_null() ? "null" : row["kernel"].get<std::string>();
        if (kernel == "none")
            kernel = name;
        else if (kernel != name)
            return "mixed";
    }
    return kernel;
}

TEST(KernelChoice, EveryOutputOfARunNamesItsKernel) {
    test::TempDirectory dir;
    for (const char* kernel : {"fast", "reference", "exact"}) {
        SCOPED_TRACE(kernel);
        const std::string stats = dir.File(std::string(kernel) + ".json");
        const std::string saved = dir.File(std::string(kernel) + ".vnx");
        const auto run = RunProgram("varnex-cli",
                                    {"run", petrolStation, "--quiet", "--iterations", "20",
                                     "--kernel", kernel, "--stats-json", stats, "--output", saved});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(KernelOfRows(ReadFileBytes(stats)), kernel);
        // Read back from the project file, the statistics name it too ...
        const auto back = RunProgram("varnex-cli", {"stats", saved, "--json"});
        ASSERT_EQ(back.exitCode, 0) << back.err;
        EXPECT_EQ(back.out, ReadFileBytes(stats));
        // ... and a copy of the file keeps it with the results.
        const std::string copy = dir.File(std::string(kernel) + "-copy.vnx");
        ASSERT_EQ(RunProgram("varnex-cli", {"convert", saved, copy}).exitCode, 0);
        EXPECT_EQ(KernelOfRows(RunProgram("varnex-cli", {"stats", copy, "--json"}).out), kernel);
    }
    // Without the option: the fast kernel, named.
    const auto plain = RunProgram("varnex-cli", {"run", petrolStation, "--quiet", "--iterations",
                                                 "5", "--stats-json", "/dev/stdout"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(KernelOfRows(plain.out.substr(0, plain.out.rfind("]\n") + 2)), "fast");
}

TEST(KernelChoice, AnUnknownKernelIsAUsageErrorAndWritesNothing) {
    test::TempDirectory dir;
    for (const char* command : {"run", "plume"}) {
        SCOPED_TRACE(command);
        const auto refused = RunProgram("varnex-cli", {command, petrolStation, "--kernel", "quick",
                                                       "--stats-json", dir.File("stats.json")});
        EXPECT_NE(refused.exitCode, 0);
        EXPECT_NE(refused.err.find("quick"), std::string::npos) << refused.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("stats.json")));
    }
}

// A plume node on a receptor is the receptor's total of a one-iteration run,
// with the exact kernel as with the fast one (the same kernel in both).
TEST(KernelChoice, TheExactPlumeAgreesWithTheExactRunAtAReceptor) {
    test::TempDirectory dir;
    double totals[2] = {};
    int k = 0;
    for (const char* kernel : {"fast", "exact"}) {
        SCOPED_TRACE(kernel);
        const auto run =
            RunProgram("varnex-cli", {"run", receptors, "--quiet", "--iterations", "1", "--kernel",
                                      kernel, "--stats-json", dir.File("stats.json")});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        double total = -1.0;
        for (const auto& row : nlohmann::json::parse(ReadFileBytes(dir.File("stats.json"))))
            if (row["kind"] == "totalReceptorConcentration" && row["receptor"] == "Borehole" &&
                row["time"] == 20.0)
                total = row["mean"].get<double>();
        ASSERT_GT(total, 0.0);
        const auto plume = RunProgram("varnex-cli", {"plume", receptors, "--contaminant", "Benzene",
                                                     "--time", "20", "--spacing", "10", "--area",
                                                     "110,7,1,1", "--kernel", kernel, "--quiet"});
        ASSERT_EQ(plume.exitCode, 0) << plume.err;
        std::istringstream csv(plume.out);
        std::string line;
        std::getline(csv, line); // header
        ASSERT_TRUE(std::getline(csv, line));
        double x = 0, y = 0, c = 0;
        char comma = 0;
        std::istringstream fields(line);
        fields >> x >> comma >> y >> comma >> c;
        EXPECT_EQ(x, 110.0);
        EXPECT_EQ(y, 7.0);
        EXPECT_NEAR(c, total, 1e-14 * total);
        totals[k++] = total;
    }
    // The kernels differ, if only by the lateral factor's error function.
    EXPECT_NE(totals[0], totals[1]);
    EXPECT_NEAR(totals[1], totals[0], 1e-4 * totals[0]);
}

} // namespace
} // namespace varnex
