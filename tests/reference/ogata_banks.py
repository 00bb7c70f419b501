#!/usr/bin/env python3
"""Ogata-Banks closed form with first-order decay and retardation, to 40 digits.

Computes the concentration c(x, t) of the semi-infinite column, initially
clean, whose inlet is held at concentration C from time 0:

    R dc/dt = D d2c/dx2 - v dc/dx - R lambda c,  c(0, t) = C,  c(x, 0) = 0,

with D = alpha v + 1e-12 (the dispersion coefficient of the kernel in
src/transport/AdvectionDispersion.cpp). Dividing by R gives the classic
equation with velocity v/R and dispersion D/R, whose solution (Ogata and
Banks 1961 for lambda = 0; with decay as in Bear 1972 and van Genuchten and
Alves 1982) is, in the original quantities,

    c/C = 1/2 [ exp(x (v - u) / (2D)) erfc((R x - u t) / (2 sqrt(D R t)))
              + exp(x (v + u) / (2D)) erfc((R x + u t) / (2 sqrt(D R t))) ],
    u = v sqrt(1 + 4 lambda R D / v^2).

The formula is evaluated as written, in decimal arithmetic with 60
significant digits: decimal numbers have an exponent range of +-999999, so
the product exp(large) * erfc(large) of sharp fronts neither overflows nor
loses digits, and no rearrangement is needed. erfc comes from its power
series below x = 5 and from its continued fraction (Abramowitz and Stegun
7.1.14) above, both carried to full working precision. Python standard
library only.

Also prints the steady profile for lambda > 0, C exp(x P (1 - sqrt(1 + Q lambda / v^2))),
P = v / (2D), Q = 4 D R, which the solution approaches for large t.

Usage: ogata_banks.py            prints the table used by
                                 tests/transport/OgataBanksTest.cpp
"""

from decimal import Decimal, getcontext

getcontext().prec = 60

PI = Decimal("3.14159265358979323846264338327950288419716939937510582097494459")
SQRT_PI = PI.sqrt()
DISPERSION_FLOOR = Decimal("1e-12")
SECONDS_PER_DAY = Decimal(86400)
SECONDS_PER_YEAR = Decimal(365) * SECONDS_PER_DAY  # the half-lives below are 365-day years


def erfc(x):
    x = Decimal(x)
    if x < 0:
        return 2 - erfc(-x)
    if x < 5:
        # erf(x) = 2/sqrt(pi) exp(-x^2) sum 2^n x^(2n+1) / (1 3 5 ... (2n+1)):
        # every term positive, so the sum has no cancellation; 1 - erf loses at
        # most 12 of the 60 digits (erfc(5) = 1.5e-12).
        term = x
        total = term
        n = 0
        while True:
            n += 1
            term = term * 2 * x * x / (2 * n + 1)
            total += term
            if term <= total * Decimal("1e-58"):
                break
        erf = 2 / SQRT_PI * (-x * x).exp() * total
        return 1 - erf
    # erfc(x) = exp(-x^2)/sqrt(pi) * 1/(x + (1/2)/(x + 1/(x + (3/2)/(x + ...)))),
    # evaluated from the bottom with enough levels for x >= 5.
    fraction = x
    for k in range(400, 0, -1):
        fraction = x + (Decimal(k) / 2) / fraction
    return (-x * x).exp() / SQRT_PI / fraction


def ogata_banks(c0, x, t, v, alpha, decay, retardation):
    c0, x, t, v, alpha, decay, retardation = (
        Decimal(repr(a)) if isinstance(a, float) else Decimal(a)
        for a in (c0, x, t, v, alpha, decay, retardation))
    d = alpha * v + DISPERSION_FLOOR
    u = v * (1 + 4 * decay * retardation * d / (v * v)).sqrt()
    root = 2 * (d * retardation * t).sqrt()
    first = (x * (v - u) / (2 * d)).exp() * erfc((retardation * x - u * t) / root)
    second = (x * (v + u) / (2 * d)).exp() * erfc((retardation * x + u * t) / root)
    return c0 * (first + second) / 2


def steady(c0, x, v, alpha, decay, retardation):
    c0, x, v, alpha, decay, retardation = (
        Decimal(repr(a)) for a in (c0, x, v, alpha, decay, retardation))
    d = alpha * v + DISPERSION_FLOOR
    p = v / (2 * d)
    q = 4 * d * retardation
    return c0 * (x * p * (1 - (1 + q * decay / (v * v)).sqrt())).exp()


def decay_rate(half_life_years):
    return float(Decimal(2).ln() / (Decimal(half_life_years) * SECONDS_PER_YEAR))


# (x [m], t [s], v [m/s], alpha [m], lambda [1/s], R): soils and aquifers,
# early, middle and late on the front, with and without decay and retardation,
# up to Peclet numbers x/alpha of 4000.
CASES = [
    (10.0, 2592000.0, 1e-6, 1.0, 0.0, 1.0),
    (10.0, 8640000.0, 1e-6, 1.0, 0.0, 1.0),
    (10.0, 17280000.0, 1e-6, 1.0, 0.0, 1.0),
    (10.0, 43200000.0, 1e-6, 1.0, 0.0, 1.0),
    (0.5, 3.0e6, 1e-7, 0.05, 0.0, 1.0),
    (2.0, 2.0e8, 1e-8, 0.2, decay_rate(10), 2.0),
    (50.0, 1.0e8, 1e-6, 5.0, decay_rate(1), 1.5),
    (50.0, 4.0e8, 1e-6, 5.0, decay_rate(1), 1.5),
    (200.0, 1.0e9, 1e-6, 20.0, decay_rate(100), 5.0),
    (200.0, 3.0e6, 1e-4, 2.0, 0.0, 1.0),
    (200.0, 2.0e6, 1e-4, 2.0, 0.0, 1.0),
    (20.0, 4.0e7, 1e-5, 0.05, 0.0, 20.0),
    (20.0, 4.2e7, 1e-5, 0.05, 0.0, 20.0),
    (100.0, 1.0e7, 1e-5, 10.0, decay_rate(1), 1.0),
    (5.0, 1.0e10, 1e-8, 0.5, decay_rate(100), 20.0),
]

STEADY_CASES = [
    (50.0, 1e-6, 5.0, decay_rate(1), 1.5),
    (2.0, 1e-8, 0.2, decay_rate(10), 2.0),
]


def main():
    print("# x t v alpha lambda R c/C")
    for case in CASES:
        print(" ".join(repr(a) for a in case), "%.17e" % ogata_banks(1, *case))
    print("# steady: x v alpha lambda R c/C")
    for case in STEADY_CASES:
        print(" ".join(repr(a) for a in case), "%.17e" % steady(1, *case))


if __name__ == "__main__":
    main()
