#pragma once

namespace varnex {

// The arguments of one column solution (SolveAdvectionDispersion and its
// fast and exact forms), for the batch entry points: SI units, metres,
// seconds, m/s, 1/s.
struct ColumnProblem {
    double concentration, distanceM, timeS, velocityMPerS, dispersivityM, decayPerS, retardation;
};

} // namespace varnex
