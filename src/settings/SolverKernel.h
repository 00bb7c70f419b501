#pragma once

#include <optional>
#include <string>

namespace varnex {

// Which implementation of the advection-dispersion solution a calculation
// uses. The fast and the reference kernel compute the same mathematics (the
// Laplace-domain solution inverted by de Hoog, Knight and Stokes); the fast
// one is arranged for speed and agrees with the reference to rounding
// (within 1e-9 of the inlet concentration or 1e-8 relative). The reference
// is the plain textbook algorithm, kept so that any result can be audited
// against it. The exact kernel evaluates the closed-form inverse of the same
// transform (Ogata and Banks), so it differs from the other two by their
// inversion error only: largest on sharp fronts and in far tails. Fast is the
// default because stored results carry its numbers.
enum class SolverKernel { fast, reference, exact };

// "fast", "reference" or "exact": the names the command line, the
// statistics file, the project file and the preference file use.
std::string SolverKernelName(SolverKernel kernel);
std::optional<SolverKernel> ParseSolverKernel(const std::string& name);

} // namespace varnex
