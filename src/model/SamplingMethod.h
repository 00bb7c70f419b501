#pragma once

#include <optional>
#include <string>

namespace varnex {

// How a run draws its inputs' samples: plain Monte Carlo, every value an
// independent draw (the default, and the numbers every stored project
// carries), or Latin hypercube, every input's N values one from each of N
// strata of equal probability in random order (stochastic/LatinHypercube.h),
// which estimates means and percentiles with less scatter for the same N.
enum class SamplingMethod { monteCarlo, latinHypercube };

// "Monte Carlo" or "Latin Hypercube": the name the forms show (translated),
// the project file stores and the JSON form's "samplingMethod" holds.
std::string SamplingMethodName(SamplingMethod method);
std::optional<SamplingMethod> ParseSamplingMethod(const std::string& name);

} // namespace varnex
