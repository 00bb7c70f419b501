#pragma once

#include <cstddef>

#include "settings/SolverKernel.h"
#include "transport/FastAdvectionDispersion.h"

namespace varnex {

// The transport calculations call the advection-dispersion solution only
// through these, with the kernel the project's calculation uses. The fast
// and the exact kernel solve a batch of independent problems together; the
// reference kernel solves them one after the other, in order. Either way results[k]
// is the solution of problems[k] alone, so batching never changes a
// number. A problem with invalid inputs throws the kernel's exception.
void SolveColumns(SolverKernel kernel, const ColumnProblem* problems, double* results,
                  std::size_t count);
void SolveAquiferColumns(SolverKernel kernel, const AquiferProblem* problems, double* results,
                         std::size_t count);

} // namespace varnex
