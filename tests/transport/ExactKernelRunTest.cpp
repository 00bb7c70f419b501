// Whole runs with the exact kernel: every example at every level and the
// fixture with many branches, every result vector against the fast kernel,
// and the exact kernel's results identical for 1, 2 and 5 threads.
//
// The two kernels solve the same model; they differ by the inverting
// kernel's errors only. In the examples these are the aquifer's lateral
// factor, which the inverting kernels form with the approximate error
// function of Abramowitz and Stegun 7.1.25 (absolute error below 2.5e-5 in
// each of its two erf terms, so below 2.5e-5 in the factor), and the
// inversion error of the columns, which the table of docs/verification.md
// bounds by 1e-5 C for Peclet numbers x / alpha up to 200 (the examples'
// dispersivities are a tenth of their lengths or more, and their sampled
// lengths and dispersivities keep x / alpha below 200). Each concentration
// passes through at most a source, layers and an aquifer, each adding its
// error to what it receives, so a result stays within a few times
// (2.5e-5 + 1e-5) of the largest inlet concentration of the run.

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "run/ResultStore.h"
#include "settings/SolverKernel.h"
#include "stochastic/IterationCount.h"
#include "support/ScriptedRandomSource.h"
#include "transport/KernelRunValues.h"

namespace varnex {
namespace {

class ExactKernelRun : public ::testing::TestWithParam<const char*> {};

TEST_P(ExactKernelRun, AgreesWithTheFastKernelAndWithItselfOnAnyThreadCount) {
    const std::string path = std::string(VARNEX_SOURCE_DIR) + "/" + GetParam();
    const test::KernelRunValues fast = test::RunWithKernel(path, SolverKernel::fast, 2, 40);
    const test::KernelRunValues exact = test::RunWithKernel(path, SolverKernel::exact, 2, 40);
    ASSERT_EQ(exact.names, fast.names);
    EXPECT_EQ(exact.kernel, SolverKernel::exact);
    EXPECT_EQ(fast.kernel, SolverKernel::fast);

    // The largest concentration of the run stands for its largest inlet: at
    // "Level 3a" the entered concentrations reach the aquifer without a
    // source-concentration vector, and no result exceeds its inlet.
    double largestSource = 0.0;
    for (std::size_t v = 0; v < fast.names.size(); ++v)
        if (fast.concentration[v])
            for (double c : fast.values[v]) largestSource = std::max(largestSource, std::fabs(c));
    double worstAbsolute = 0.0;
    std::size_t compared = 0;
    for (std::size_t v = 0; v < fast.values.size(); ++v) {
        ASSERT_EQ(exact.values[v].size(), fast.values[v].size()) << fast.names[v];
        for (std::size_t i = 0; i < fast.values[v].size(); ++i) {
            const double f = fast.values[v][i];
            const double e = exact.values[v][i];
            if (!fast.concentration[v]) {
                // Travel times and flows never pass through the kernel.
                ASSERT_EQ(e, f) << fast.names[v] << " iteration " << i;
                continue;
            }
            worstAbsolute = std::max(worstAbsolute, std::fabs(e - f));
            ASSERT_LE(std::fabs(e - f), 1e-4 * largestSource)
                << fast.names[v] << " iteration " << i << ": exact " << e << ", fast " << f;
            compared += f != 0.0;
        }
    }
    EXPECT_GT(compared, 0u) << "no non-zero concentration was compared";
    std::printf("%s: worst difference %.2e of the largest concentration %.3g\n", GetParam(),
                largestSource > 0 ? worstAbsolute / largestSource : 0.0, largestSource);

    for (int threads : {1, 5}) {
        const test::KernelRunValues again =
            test::RunWithKernel(path, SolverKernel::exact, threads, 40);
        ASSERT_EQ(again.names, exact.names);
        for (std::size_t v = 0; v < exact.values.size(); ++v)
            ASSERT_EQ(again.values[v], exact.values[v])
                << exact.names[v] << " with " << threads << " threads";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ExactKernelRun,
    ::testing::Values(
        "examples/level1-gasworks.json", "examples/hand-check-level1.json",
        "examples/level2-solvent-soakaway.json", "examples/level3-petrol-station.json",
        "examples/level3-gasworks-chalk.json", "examples/level3a-landfill.json",
        "tests/transport/data/level2-dual.json", "tests/transport/data/level2-porous.json",
        "tests/transport/data/level2-soakaway.json", "tests/transport/data/level2-two-layers.json",
        "tests/transport/data/level3-receptors.json", "tests/transport/data/level3-threads.json",
        "tests/transport/data/level3-two-sources.json", "tests/transport/data/level3a.json"),
    [](const ::testing::TestParamInfo<const char*>& info) {
        std::string name = info.param;
        name = name.substr(name.rfind('/') + 1);
        name = name.substr(0, name.find('.'));
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

} // namespace
} // namespace varnex
