#pragma once

// The advection-dispersion kernel of AdvectionDispersion.h, arranged for
// speed. It evaluates the same 61 transform values, the same
// quotient-difference table of de Hoog, Knight and Stokes (1982) with the
// same guards, the same continued fraction, floors and constants, and checks
// its inputs in the same order with the same messages. The results agree with
// the reference functions to rounding (a few units in the last place of the
// transform values, which the inversion carries to its result).
//
// Where the time goes in the reference and what is done about it:
// - the quotient-difference table is filled column by column (the rhombus
//   rules of Rutishauser, each column a function of the previous one only)
//   instead of diagonal by diagonal, so that the entries of a column are
//   independent and are computed several at a time in SIMD registers, with no
//   division waiting on the one before;
// - complex division is written out as a multiplication by the reciprocal of
//   |b|^2 (one real division instead of the library's scaled algorithm);
// - the exponentials, square roots, sines and cosines of the 61 transform
//   values are evaluated by polynomial kernels in the same SIMD registers;
// - a batch solves its problems side by side, one per SIMD lane, so that the
//   columns of several tables and several continued fractions advance
//   together and the serial chain of one problem no longer idles the core.
// The register width (SSE2, AVX2 or AVX-512) is chosen at run time; every
// width performs the same IEEE operations on every value, so the results do
// not depend on the machine, on the batch a problem is solved in or on its
// position there.

#include <cstddef>

#include "transport/AquiferProblem.h"
#include "transport/ColumnProblem.h"

namespace varnex {

// Same parameters, units, early returns, exceptions and (to rounding) results
// as SolveAdvectionDispersion.
double FastSolveAdvectionDispersion(double concentration, double distanceM, double timeS,
                                    double velocityMPerS, double dispersivityM, double decayPerS,
                                    double retardation);

// Same parameters, units, early returns, exceptions and (to rounding) results
// as SolveAquiferAdvectionDispersion.
double FastSolveAquiferAdvectionDispersion(double concentration, double xM, double yM,
                                           double widthM, double timeS, double velocityMPerS,
                                           double lateralDispersivityM,
                                           double longitudinalDispersivityM, double decayPerS,
                                           double retardation);

// Independent problems solved together; results[k] is what
// FastSolveAdvectionDispersion gives for problems[k], bit for bit, whatever
// the batch holds or its size. Input checks are made for all problems in
// order before anything is computed; the first failing problem's exception is
// thrown and no result is written.
void FastSolveAdvectionDispersionBatch(const ColumnProblem* problems, double* results,
                                       std::size_t count);

// As FastSolveAdvectionDispersionBatch, for the aquifer solution.
void FastSolveAquiferAdvectionDispersionBatch(const AquiferProblem* problems, double* results,
                                              std::size_t count);

} // namespace varnex
