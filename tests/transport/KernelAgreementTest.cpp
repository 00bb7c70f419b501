// Whole runs with the fast and the reference advection-dispersion kernel:
// every example and the many-branch fixture, every result vector. The
// reference kernel is the plain algorithm, so it is the independent
// reference here; the fast kernel must agree with it to rounding, and be
// bit-identical to itself for any number of threads.

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

class KernelAgreement : public ::testing::TestWithParam<const char*> {};

TEST_P(KernelAgreement, FastRunsAgreeWithTheReferenceAndWithThemselves) {
    const std::string path = std::string(VARNEX_SOURCE_DIR) + "/" + GetParam();
    // Few iterations: the reference kernel also runs under the sanitizers.
    const test::KernelRunValues reference =
        test::RunWithKernel(path, SolverKernel::reference, 1, 16);
    const test::KernelRunValues fast = test::RunWithKernel(path, SolverKernel::fast, 2, 16);
    ASSERT_EQ(fast.names, reference.names);

    // The kernel's accuracy bound is 1e-9 of its inlet concentration or 1e-8
    // relative. A result vector's inlets are at most the largest source
    // concentration of the run, which bounds the absolute part.
    double largestSource = 0.0;
    for (std::size_t v = 0; v < reference.names.size(); ++v)
        if (reference.names[v].rfind("sourceConcentration ", 0) == 0)
            for (double c : reference.values[v])
                largestSource = std::max(largestSource, std::fabs(c));
    std::size_t compared = 0;
    for (std::size_t v = 0; v < reference.values.size(); ++v) {
        ASSERT_EQ(fast.values[v].size(), reference.values[v].size()) << reference.names[v];
        for (std::size_t i = 0; i < reference.values[v].size(); ++i) {
            const double r = reference.values[v][i];
            const double f = fast.values[v][i];
            if (!reference.concentration[v]) {
                // Travel times and flows never pass through the kernel.
                ASSERT_EQ(f, r) << reference.names[v] << " iteration " << i;
                continue;
            }
            const double bound = std::max(1e-8 * std::fabs(r), 1e-9 * largestSource);
            ASSERT_LE(std::fabs(f - r), bound) << reference.names[v] << " iteration " << i
                                               << ": fast " << f << ", reference " << r;
            compared += r != 0.0;
        }
    }
    EXPECT_GT(compared, 0u) << "no non-zero concentration was compared";

    for (int threads : {1, 5}) {
        const test::KernelRunValues again =
            test::RunWithKernel(path, SolverKernel::fast, threads, 16);
        ASSERT_EQ(again.names, fast.names);
        for (std::size_t v = 0; v < fast.values.size(); ++v)
            ASSERT_EQ(again.values[v], fast.values[v])
                << fast.names[v] << " with " << threads << " threads";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, KernelAgreement,
    ::testing::Values("examples/level1-gasworks.json", "examples/level2-solvent-soakaway.json",
                      "examples/level3-petrol-station.json", "examples/level3-gasworks-chalk.json",
                      "examples/level3a-landfill.json", "tests/transport/data/level3-threads.json"),
    [](const ::testing::TestParamInfo<const char*>& info) {
        std::string name = info.param;
        name = name.substr(name.rfind('/') + 1);
        name = name.substr(0, name.find('.'));
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

} // namespace
} // namespace varnex
