#pragma once

namespace varnex {

// The constants of the numerical Laplace inversion (de Hoog, Knight and
// Stokes 1982) behind the advection-dispersion kernels. They are part of
// the results: both kernels use exactly these, so that the fast kernel
// reproduces the reference one.
namespace InversionConstants {

// The relative accuracy asked of the inversion. De Hoog et al. (1982) choose
// the shift of the Bromwich contour as gamma = alpha - ln(epsilon) / (2T),
// alpha being the largest real part of a singularity of F. Every transform
// here has its singularities at s <= 0, so alpha = 0.
constexpr double relativeAccuracy = 1e-11;
// T = 8 t: the Fourier series has period 2T, so the aliased copies of f that
// the series adds lie at t + 2kT, far enough away for the accuracy above.
constexpr double periodFactor = 8.0;
// Ten decimals, as the results were established with; std::numbers::pi would
// change them in the last digits.
constexpr double pi = 3.1415926535;
// Stands in for zero divisors in the quotient-difference table and for
// transform values that have underflowed, so that the recurrences stay finite.
constexpr double tiny = 1e-50;
// Results below this are returned as 0: they are the noise of the inversion
// (which can be slightly negative) or an undefined transform.
constexpr double resultFloor = 1e-30;
// Added to every dispersion coefficient, so that D stays positive at v = 0.
constexpr double dispersionFloor = 1e-12;

} // namespace InversionConstants

} // namespace varnex
