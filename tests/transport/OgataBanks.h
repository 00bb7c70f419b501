#pragma once

// The Ogata-Banks closed form, with first-order decay and retardation, in
// double precision, as the reference for the Laplace-domain kernel. It solves
//
//     R dc/dt = D d2c/dx2 - v dc/dx - R lambda c,  c(0, t) = C,  c(x, 0) = 0,
//
// D = alpha v + 1e-12, whose solution (Ogata and Banks 1961; with decay,
// van Genuchten and Alves 1982, after dividing by R) is
//
//     c/C = 1/2 [ exp(x (v - u) / (2D)) erfc((R x - u t) / (2 sqrt(D R t)))
//               + exp(x (v + u) / (2D)) erfc((R x + u t) / (2 sqrt(D R t))) ],
//     u = v sqrt(1 + 4 lambda R D / v^2).
//
// For sharp fronts (large x v / D) the second product is exp(huge) times
// erfc(huge) and overflows as written. It is evaluated here through the
// scaled function erfcx(b) = exp(b^2) erfc(b), using the identity
//
//     x (v + u) / (2D) - b2^2 = -(R x - v t)^2 / (4 D R t) - lambda t,
//
// which follows from u^2 = v^2 + 4 lambda R D. v - u is formed without
// cancellation as -v q / (1 + sqrt(1 + q)), q = 4 lambda R D / v^2.
// tests/reference/ogata_banks.py evaluates the formula as written in 60-digit
// decimal arithmetic; OgataBanksTest.cpp checks this function against it.

#include <cmath>

namespace varnex::test {

// erfcx(b) = exp(b^2) erfc(b) for b >= 0.
inline double ScaledErfc(double b) {
    if (b < 25.0) return std::exp(b * b) * std::erfc(b);
    // Continued fraction, Abramowitz and Stegun 7.1.14:
    // erfcx(b) = 1/sqrt(pi) / (b + (1/2)/(b + 1/(b + (3/2)/(b + ...)))); at b >= 25
    // sixty levels are far more than double precision needs.
    double fraction = b;
    for (int k = 60; k > 0; --k) fraction = b + (k / 2.0) / fraction;
    return 1.0 / (std::sqrt(3.14159265358979323846) * fraction);
}

inline double OgataBanks(double concentration, double x, double t, double v, double alpha,
                         double decay, double retardation) {
    const double d = alpha * v + 1e-12;
    const double q = 4.0 * decay * retardation * d / (v * v);
    const double root = std::sqrt(1.0 + q);
    const double u = v * root;
    const double spread = 2.0 * std::sqrt(d * retardation * t);
    const double b1 = (retardation * x - u * t) / spread;
    const double b2 = (retardation * x + u * t) / spread;
    const double first = std::exp(-x * v * q / ((1.0 + root) * 2.0 * d)) * std::erfc(b1);
    const double lag = (retardation * x - v * t) / spread;
    const double second = std::exp(-lag * lag - decay * t) * ScaledErfc(b2);
    return concentration * 0.5 * (first + second);
}

// The profile the solution approaches as t grows, for lambda > 0:
// c = C exp(x P (1 - sqrt(1 + Q lambda / v^2))), P = v / (2D), Q = 4 D R.
// It is the limit of the closed form above: erfc(b1) -> 2, erfc(b2) -> 0.
inline double SteadyProfile(double concentration, double x, double v, double alpha, double decay,
                            double retardation) {
    const double d = alpha * v + 1e-12;
    return concentration *
           std::exp(x * v / (2.0 * d) *
                    (1.0 - std::sqrt(1.0 + 4.0 * d * retardation * decay / (v * v))));
}

} // namespace varnex::test
