#pragma once

namespace varnex {

// The number of Monte Carlo iterations N: one value for the whole program,
// saved with the project, which sizes every sample and result vector.
inline constexpr int defaultIterationCount = 1001;
inline constexpr int maximumIterationCount = 10000;

int IterationCount();
void SetIterationCount(int count);

} // namespace varnex
