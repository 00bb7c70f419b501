#pragma once

// The advection-dispersion kernel: the concentration downstream of a boundary
// held at a constant concentration, for a solute that is advected, dispersed,
// retarded and decays by first-order kinetics. The problem
//
//     R dc/dt = D d2c/dx2 - v dc/dx - R lambda c,  c(0, t) = C,  c(x, 0) = 0,
//
// with D = alpha v + 1e-12, has a closed form in the Laplace domain; it is
// brought back to the time domain by the numerical inversion of de Hoog,
// Knight and Stokes (1982) from 61 transform values. SI units throughout:
// metres, seconds, m/s, 1/s.
//
// This is the plain reference form of the kernel: every step is written as
// the algorithm states it, so that faster variants can be tested against it.
// Nothing is allocated; each call keeps two 61-element arrays on the stack.

#include <complex>

namespace varnex {

// The number of transform values F(gamma + i k pi / T), k = 0 ... 60
// (M = 30 in de Hoog's notation, 2M + 1 values).
constexpr int laplaceTerms = 61;

// The one-dimensional solution at distance L (m) after time t (s), for inlet
// concentration C (the result has its unit), velocity v (m/s), dispersivity
// alpha (m), decay rate lambda (1/s) of the whole retarded solute and
// retardation factor R. Returns 0 for t <= 0 or L < 0, and for results below
// 1e-30 (including undefined ones, as for v = 0). Throws varnex::Exception
// for alpha <= 0 or v < 0.
double SolveAdvectionDispersion(double concentration, double distanceM, double timeS,
                                double velocityMPerS, double dispersivityM, double decayPerS,
                                double retardation);

// The aquifer solution: the one-dimensional transform along the flow times a
// steady lateral spreading factor over a source of width W (m) centred on the
// flow line, evaluated at distance x (m) along the flow and lateral offset
// y (m). Zero dispersivities are accepted; negative ones and v < 0 throw.
double SolveAquiferAdvectionDispersion(double concentration, double xM, double yM, double widthM,
                                       double timeS, double velocityMPerS,
                                       double lateralDispersivityM,
                                       double longitudinalDispersivityM, double decayPerS,
                                       double retardation);

// f(t) from the 61 transform values F(gamma + i k pi / T), k = 0 ... 60, by
// the quotient-difference form of de Hoog, Knight and Stokes (1982) without
// the final remainder acceleration. T is the half-period of the underlying
// Fourier series. Values of `transform` that are zero to 1e-50 are replaced
// in place by (1e-50, 1e-50).
double InvertLaplace(double timeS, double gamma, double halfPeriodT,
                     std::complex<double>* transform);

// erf(x) by the rational approximation 7.1.25 of Abramowitz and Stegun;
// absolute error below 2.5e-5, exactly 0 at x = 0, odd.
double ErrorFunction(double x);

} // namespace varnex
