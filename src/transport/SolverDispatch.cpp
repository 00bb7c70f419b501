#include "transport/SolverDispatch.h"

#include "transport/AdvectionDispersion.h"
#include "transport/ExactAdvectionDispersion.h"

namespace varnex {

void SolveColumns(SolverKernel kernel, const ColumnProblem* problems, double* results,
                  std::size_t count) {
    if (kernel == SolverKernel::fast) {
        FastSolveAdvectionDispersionBatch(problems, results, count);
        return;
    }
    if (kernel == SolverKernel::exact) {
        ExactAdvectionDispersionBatch(problems, results, count);
        return;
    }
    for (std::size_t k = 0; k < count; ++k) {
        const ColumnProblem& p = problems[k];
        results[k] =
            SolveAdvectionDispersion(p.concentration, p.distanceM, p.timeS, p.velocityMPerS,
                                     p.dispersivityM, p.decayPerS, p.retardation);
    }
}

void SolveAquiferColumns(SolverKernel kernel, const AquiferProblem* problems, double* results,
                         std::size_t count) {
    if (kernel == SolverKernel::fast) {
        FastSolveAquiferAdvectionDispersionBatch(problems, results, count);
        return;
    }
    if (kernel == SolverKernel::exact) {
        ExactAquiferAdvectionDispersionBatch(problems, results, count);
        return;
    }
    for (std::size_t k = 0; k < count; ++k) {
        const AquiferProblem& p = problems[k];
        results[k] = SolveAquiferAdvectionDispersion(
            p.concentration, p.xM, p.yM, p.widthM, p.timeS, p.velocityMPerS, p.lateralDispersivityM,
            p.longitudinalDispersivityM, p.decayPerS, p.retardation);
    }
}

} // namespace varnex
