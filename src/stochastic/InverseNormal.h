#pragma once

namespace varnex {

// The quantile function of the standard normal distribution: the z with
// Phi(z) = p, for 0 < p < 1, by algorithm AS 241 (PPND16) of M. J. Wichura,
// "The percentage points of the normal distribution", Applied Statistics 37
// (1988) 477-484: three rational approximations (|p - 1/2| <= 0.425, and in
// r = sqrt(-ln min(p, 1 - p)) for r <= 5 and r > 5) with a relative error
// of about 1e-16, down to p = 1e-300 and up to the largest double below 1.
// -infinity at 0, +infinity at 1, NaN outside [0, 1].
double InverseNormal(double p);

} // namespace varnex
