#include "stochastic/RandomStream.h"

namespace varnex {

namespace {

RandomStream& Generator() {
    static RandomStream generator;
    return generator;
}

RandomSource* activeSource = nullptr;

} // namespace

RandomSource& ProcessRandomSource() { return activeSource ? *activeSource : Generator(); }

int Rand() { return ProcessRandomSource().Next(); }

void SetRandomSeed(std::uint32_t seed) { Generator().Seed(seed); }

double UniformDeviate() { return Rand() * uniformDeviateFactor; }

void SetProcessRandomSource(RandomSource* source) { activeSource = source; }

} // namespace varnex
