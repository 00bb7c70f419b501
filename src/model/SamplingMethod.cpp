#include "model/SamplingMethod.h"

namespace varnex {

std::string SamplingMethodName(SamplingMethod method) {
    return method == SamplingMethod::latinHypercube ? "Latin Hypercube" : "Monte Carlo";
}

std::optional<SamplingMethod> ParseSamplingMethod(const std::string& name) {
    if (name == "Monte Carlo") return SamplingMethod::monteCarlo;
    if (name == "Latin Hypercube") return SamplingMethod::latinHypercube;
    return std::nullopt;
}

} // namespace varnex
