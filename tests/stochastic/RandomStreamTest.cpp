// The process-wide 15-bit stream: the classic C runtime's linear
// congruential sequence, whose first values from the initial state are the
// well-known 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464.

#include <gtest/gtest.h>

#include "stochastic/RandomStream.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

TEST(RandomStream, FreshStreamReproducesTheRuntimeSequence) {
    RandomStream stream;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected) EXPECT_EQ(stream.Next(), value);
}

TEST(RandomStream, ProcessStreamSeedingAndDeviates) {
    test::ResetProgramState();
    EXPECT_EQ(Rand(), 41);
    SetRandomSeed(1);
    EXPECT_EQ(Rand(), 41);
    SetRandomSeed(7);
    const int first = Rand();
    SetRandomSeed(7);
    EXPECT_EQ(Rand(), first);
    // u = r / 32767, both ends possible.
    {
        test::ScriptedRandomSource source{0, 32767, 16384};
        EXPECT_EQ(UniformDeviate(), 0.0);
        EXPECT_EQ(UniformDeviate(), 1.0);
        EXPECT_NEAR(UniformDeviate(), 16384.0 / 32767.0, 1e-15);
    }
    // Removing the script restores the generator where it was.
    SetRandomSeed(7);
    Rand();
    {
        test::ScriptedRandomSource source{5};
        EXPECT_EQ(Rand(), 5);
    }
    SetRandomSeed(7);
    Rand();
    const int second = Rand();
    SetRandomSeed(7);
    Rand();
    {
        test::ScriptedRandomSource source{5};
        Rand();
    }
    EXPECT_EQ(Rand(), second);
}

} // namespace
} // namespace varnex
