#include "settings/SolverKernel.h"

namespace varnex {

std::string SolverKernelName(SolverKernel kernel) {
    switch (kernel) {
    case SolverKernel::reference: return "reference";
    case SolverKernel::exact: return "exact";
    case SolverKernel::fast: break;
    }
    return "fast";
}

std::optional<SolverKernel> ParseSolverKernel(const std::string& name) {
    if (name == "fast") return SolverKernel::fast;
    if (name == "reference") return SolverKernel::reference;
    if (name == "exact") return SolverKernel::exact;
    return std::nullopt;
}

} // namespace varnex
