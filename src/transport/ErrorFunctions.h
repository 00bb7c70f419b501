#pragma once

// The error function and its complements in full double precision, after
// W. J. Cody, "Rational Chebyshev approximations for the error function",
// Mathematics of Computation 23 (1969) 631-637, in the arrangement of his
// routine CALERF (netlib specfun): three rational approximations, on
// |x| <= 0.46875, on 0.46875 < |x| <= 4 and on |x| > 4, each with a
// maximal relative error below 6e-19 in exact arithmetic.
//
// The scaled complement erfcx(x) = exp(x^2) erfc(x) is the one that matters
// for transport: a sharp front is a product exp(a) erfc(b) of a huge and a
// tiny factor, which is finite and well conditioned when written as
// exp(a - b^2) erfcx(b), b > 0.

namespace varnex {

// erf(x) = 2/sqrt(pi) * integral of exp(-t^2) from 0 to x.
double Erf(double x);
// erfc(x) = 1 - erf(x), without cancellation for large x (0 below
// about x = 26.6, where it underflows).
double Erfc(double x);
// erfcx(x) = exp(x^2) erfc(x): 1 at 0, about 1/(x sqrt(pi)) for large x.
// For x below about -26.6 it overflows to infinity, as the value does.
double Erfcx(double x);

} // namespace varnex
