#pragma once

// The advection-dispersion problem of the kernels in AdvectionDispersion.h,
//
//     R dc/dt = D d2c/dx2 - v dc/dx - R lambda c,  c(0, t) = C,  c(x, 0) = 0,
//
// D = alpha v + 1e-12, solved in closed form instead of by numerical Laplace
// inversion. Dividing by R gives the classic equation with velocity v/R and
// dispersion D/R, whose solution (Ogata and Banks 1961; with first-order
// decay, van Genuchten and Alves 1982, solution A4) is, in the original
// quantities,
//
//     c/C = 1/2 [ exp(x (v - w) / (2D)) erfc(b1) + exp(x (v + w) / (2D)) erfc(b2) ],
//     w = sqrt(v^2 + 4 lambda R D),  b1,2 = (R x -+ w t) / (2 sqrt(D R t)).
//
// It is the exact inverse of the transform the other kernels invert with 61
// terms, so it differs from them only by their inversion error (largest on
// sharp fronts and in far tails). SI units: metres, seconds, m/s, 1/s.

#include <cstddef>

#include "transport/AquiferProblem.h"
#include "transport/ColumnProblem.h"

namespace varnex {

// The one-dimensional solution at distance L (m) after time t (s), with the
// guards of SolveAdvectionDispersion: 0 for t <= 0 or L < 0 and for results
// below 1e-30 or undefined; varnex::Exception, with the same messages, for
// alpha <= 0 or v < 0. Finite for every Peclet number, time, decay rate and
// retardation factor, v = 0 included.
double ExactAdvectionDispersion(double concentration, double distanceM, double timeS,
                                double velocityMPerS, double dispersivityM, double decayPerS,
                                double retardation);

// The aquifer solution of SolveAquiferAdvectionDispersion: the column
// solution along the flow (dispersion alpha_L v + 1e-12, zero dispersivity
// accepted) times the steady lateral factor of a strip source of width W,
//     1/2 [erf((W/2 + y) / sigma) - erf((y - W/2) / sigma)],
//     sigma = 2 sqrt((alpha_T v R + 1e-12) x / (v R)),
// here with the exact error function where the inverting kernels keep the
// approximation of Abramowitz and Stegun 7.1.25 (errors up to 2.5e-5, about
// 1e-3 relative off the centreline). Guards and messages as the reference.
double ExactAquiferAdvectionDispersion(double concentration, double xM, double yM, double widthM,
                                       double timeS, double velocityMPerS,
                                       double lateralDispersivityM,
                                       double longitudinalDispersivityM, double decayPerS,
                                       double retardation);

// Independent problems solved together, side by side in SIMD lanes (the
// widest register the processor has; ExactRegisterVariant.h); results[k] is
// the single call's result for problems[k], bit for bit, whatever the batch
// holds, its size, the lane and the register width. The input checks are
// made for all problems first: the first failing problem's exception is
// thrown and no result is written.
void ExactAdvectionDispersionBatch(const ColumnProblem* problems, double* results,
                                   std::size_t count);
void ExactAquiferAdvectionDispersionBatch(const AquiferProblem* problems, double* results,
                                          std::size_t count);

} // namespace varnex
