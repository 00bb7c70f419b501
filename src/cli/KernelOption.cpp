#include "cli/KernelOption.h"

namespace varnex::cli {

void AddKernelOption(CLI::App& command, std::string& kernelName) {
    command
        .add_option(
            "--kernel", kernelName,
            "Advection-dispersion solver: fast (default), reference (the plain algorithm, for "
            "audits) or exact (the closed-form solution)")
        ->check(CLI::IsMember({SolverKernelName(SolverKernel::fast),
                               SolverKernelName(SolverKernel::reference),
                               SolverKernelName(SolverKernel::exact)}));
}

SolverKernel KernelFromOption(const std::string& kernelName) {
    return ParseSolverKernel(kernelName).value_or(SolverKernel::fast);
}

} // namespace varnex::cli
