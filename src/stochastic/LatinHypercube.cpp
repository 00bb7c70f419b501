#include "stochastic/LatinHypercube.h"

#include <cstdint>
#include <utility>

#include "stochastic/Distribution.h"
#include "stochastic/DistributionQuantile.h"
#include "stochastic/DistributionType.h"
#include "stochastic/RandomSource.h"

namespace varnex {

int RandomIndex(int n, RandomSource& random) {
    if (n <= 1) return 0;
    constexpr std::uint32_t range = std::uint32_t{1} << 30;
    const std::uint32_t size = static_cast<std::uint32_t>(n);
    const std::uint32_t limit = range - range % size;
    std::uint32_t x;
    do {
        const auto high = static_cast<std::uint32_t>(random.Next());
        const auto low = static_cast<std::uint32_t>(random.Next());
        x = (high << 15) | low;
    } while (x >= limit);
    return static_cast<int>(x % size);
}

namespace {

// A point inside each stratum, in stratum order: (r + 1/2) / 32768 for a
// 15-bit deviate r is strictly between 0 and 1, so no stratum reaches the
// infinite ends of an unbounded law.
std::vector<double> AscendingProbabilities(int count, RandomSource& random) {
    std::vector<double> probabilities;
    probabilities.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        const double inside = (random.Next() + 0.5) / 32768.0;
        probabilities.push_back((k + inside) / count);
    }
    return probabilities;
}

// Durstenfeld's shuffle from the last position down.
void Shuffle(std::vector<double>& values, RandomSource& random) {
    for (std::size_t i = values.size(); i-- > 1;)
        std::swap(values[i],
                  values[static_cast<std::size_t>(RandomIndex(static_cast<int>(i) + 1, random))]);
}

} // namespace

std::vector<double> LatinHypercubeProbabilities(int count, RandomSource& random) {
    if (count <= 0) return {};
    std::vector<double> probabilities = AscendingProbabilities(count, random);
    Shuffle(probabilities, random);
    return probabilities;
}

std::vector<double> LatinHypercubeSample(const Distribution& distribution, int count,
                                         RandomSource& random) {
    if (count <= 0) return {};
    if (distribution.type == DistributionType::single)
        return std::vector<double>(static_cast<std::size_t>(count), distribution.singleValue);
    // The quantiles replace their probabilities in place (each value is
    // computed from its own probability alone), which spares a second array
    // of N values per input.
    std::vector<double> values = AscendingProbabilities(count, random);
    DistributionQuantiles(distribution, values.data(), values.data(), values.size());
    Shuffle(values, random);
    return values;
}

} // namespace varnex
