#pragma once

namespace varnex {

// The arguments of one aquifer solution (SolveAquiferAdvectionDispersion and
// its fast and exact forms), for the batch entry points: SI units.
struct AquiferProblem {
    double concentration, xM, yM, widthM, timeS, velocityMPerS, lateralDispersivityM,
        longitudinalDispersivityM, decayPerS, retardation;
};

} // namespace varnex
