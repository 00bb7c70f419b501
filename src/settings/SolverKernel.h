#pragma once

#include <optional>
#include <string>

namespace varnex {

// Which implementation of the advection-dispersion solution a calculation
// uses. Both compute the same mathematics (the Laplace-domain solution
// inverted by de Hoog, Knight and Stokes); the fast one is arranged for
// speed and agrees with the reference to rounding (within 1e-9 of the inlet
// concentration or 1e-8 relative). The reference is the plain textbook
// algorithm, kept so that any result can be audited against it.
enum class SolverKernel { fast, reference };

// "fast" or "reference": the names the command line and the preference
// file use.
std::string SolverKernelName(SolverKernel kernel);
std::optional<SolverKernel> ParseSolverKernel(const std::string& name);

} // namespace varnex
