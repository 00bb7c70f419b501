// A run at 10,000 iterations holds its results once: the peak memory of the
// run grows by no more than 1.2 times the bytes of its samples and result
// vectors (plus the threads' fixed needs), and the project file with results
// is no larger than those bytes plus the model. A hidden copy of the result
// store (a snapshot for statistics, a second buffer per thread) would break
// either bound; the largest projects would then not fit in memory.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectFileComparison.h"
#include "persist/ProjectJson.h"
#include "settings/SolverKernel.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"
#include "transport/TransportRunSupport.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VARNEX_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VARNEX_ADDRESS_SANITIZER 1
#endif

namespace varnex {
namespace {

// Peak and current resident memory of this process, bytes (Linux).
long long StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) return std::stoll(line.substr(key.size())) * 1024;
    }
    return -1;
}

TEST(ResultMemory, ARunAtTenThousandIterationsHoldsItsResultsOnce) {
#ifdef VARNEX_ADDRESS_SANITIZER
    GTEST_SKIP()
        << "the address sanitizer's shadow memory and quarantine make resident sizes meaningless";
#endif
    test::ResetProgramState();
    Project project;
    std::vector<std::string> problems;
    ASSERT_TRUE(
        LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) + "/examples/level3-gasworks-chalk.json",
                            project, problems));
    test::TempDirectory folder;
    std::string error;
    const std::string modelOnly = folder.File("model.vnx");
    ASSERT_TRUE(SaveProject(project, modelOnly, false, error)) << error;

    SetIterationCount(10000);
    SetRandomSeed(1);
    project.solverKernel = SolverKernel::fast;
    const long long before = StatusBytes("VmRSS");
    ASSERT_GT(before, 0);
    const test::RunResult run = test::RunProject(project, 2);
    ASSERT_TRUE(run.succeeded) << (run.failures.empty() ? "" : run.failures[0]);
    const long long peak = StatusBytes("VmHWM");

    const double storeBytes = 8.0 * static_cast<double>(test::StoredResultValues(project));
    ASSERT_GT(storeBytes, 10e6) << "the run should hold tens of megabytes of results";
    // Two worker stacks, the allocator's arenas and the kernel's tables.
    const double fixedBytes = 24e6;
    EXPECT_LE(static_cast<double>(peak - before), 1.2 * storeBytes + fixedBytes)
        << "results " << storeBytes / 1e6 << " MB, peak growth " << (peak - before) / 1e6 << " MB";

    const std::string withResults = folder.File("results.vnx");
    ASSERT_TRUE(SaveProject(project, withResults, true, error)) << error;
    const double fileBytes = static_cast<double>(std::filesystem::file_size(withResults));
    const double modelBytes = static_cast<double>(std::filesystem::file_size(modelOnly));
    // Random doubles do not compress; a packet header per 127 values or so
    // adds under 1 %.
    EXPECT_LE(fileBytes, 1.02 * storeBytes + modelBytes + 65536.0)
        << "file " << fileBytes / 1e6 << " MB for " << storeBytes / 1e6 << " MB of results";
    std::fprintf(stderr, "results %.1f MB, peak growth %.1f MB, file %.1f MB\n", storeBytes / 1e6,
                 static_cast<double>(peak - before) / 1e6, fileBytes / 1e6);
    test::ResetProgramState();
}

} // namespace
} // namespace varnex
