#pragma once

#include <vector>

namespace varnex {

class Distribution;
class RandomSource;

// A Latin hypercube sample of one input: `count` values of the
// distribution's law (DistributionQuantile.h), one from each of `count`
// strata of equal probability, in random order (McKay, Beckman and Conover,
// Technometrics 21, 1979). Stratum k holds the value at probability
// (k + v_k) / count, v_k a uniform point strictly inside the stratum, and a
// random permutation (Fisher and Yates, in Durstenfeld's form) orders the
// strata; sampling several inputs so, each with its own permutation, gives
// the Latin hypercube of the run. Every random number comes from `random`:
// first the count points in stratum order, then the permutation from the
// last position down. A SINGLE input takes no random number.
std::vector<double> LatinHypercubeSample(const Distribution& distribution, int count,
                                         RandomSource& random);

// The probabilities behind a Latin hypercube sample: `count` values, one
// strictly inside each of `count` equal strata of (0, 1), in random order,
// taking the random numbers in the order LatinHypercubeSample does.
std::vector<double> LatinHypercubeProbabilities(int count, RandomSource& random);

// A uniform integer in 0 .. n - 1 (n >= 1, below 2^30) from two 15-bit
// deviates, without the bias of a plain remainder (values of the 30-bit
// number beyond the last whole multiple of n are drawn again).
int RandomIndex(int n, RandomSource& random);

} // namespace varnex
