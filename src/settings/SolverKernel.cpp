#include "settings/SolverKernel.h"

namespace varnex {

std::string SolverKernelName(SolverKernel kernel) {
    return kernel == SolverKernel::reference ? "reference" : "fast";
}

std::optional<SolverKernel> ParseSolverKernel(const std::string& name) {
    if (name == "fast") return SolverKernel::fast;
    if (name == "reference") return SolverKernel::reference;
    return std::nullopt;
}

} // namespace varnex
