#!/usr/bin/env python3
"""Reference values of the closed-form column solution, to 40 digits.

The semi-infinite column, initially clean, whose inlet is held at C = 1
from time 0,

    R dc/dt = D d2c/dx2 - v dc/dx - R lambda c,  D = alpha v + 1e-12,

has the solution (Ogata and Banks 1961; with decay, van Genuchten and
Alves 1982)

    c = 1/2 [ exp(x (v - w) / (2D)) erfc((R x - w t) / (2 sqrt(D R t)))
            + exp(x (v + w) / (2D)) erfc((R x + w t) / (2 sqrt(D R t))) ],
    w = sqrt(v^2 + 4 lambda R D).

Evaluated here as written, with mpmath at 40 significant digits (its
exponent range is unbounded, so exp(huge) * erfc(huge) needs no
rearrangement). The grid spans columns of soils and aquifers and the
extremes the kernel must survive: Peclet numbers x / alpha up to 1e6, times
from 1e-6 to 1e7 years, decay rates up to 1e3 per year, retardation up to
1e6, and v = 0. Inputs are written exactly, so that the
double the test reads is the number evaluated here (Python's shortest exact
form of each double).

Usage: exact_column.py > tests/transport/data/exact_column.csv
Columns: x [m], t [s], v [m/s], alpha [m], lambda [1/s], R, c (C = 1).
"""

import itertools

import mpmath as mp

mp.mp.dps = 40
YEAR = 365.25 * 86400.0


def closed_form(x, t, v, alpha, decay, r):
    x, t, v, alpha, decay, r = (mp.mpf(value) for value in (x, t, v, alpha, decay, r))
    d = alpha * v + mp.mpf('1e-12')
    w = mp.sqrt(v * v + 4 * decay * r * d)
    spread = 2 * mp.sqrt(d * r * t)
    first = mp.exp(x * (v - w) / (2 * d)) * mp.erfc((r * x - w * t) / spread)
    second = mp.exp(x * (v + w) / (2 * d)) * mp.erfc((r * x + w * t) / spread)
    return (first + second) / 2


def grid():
    distances = [0.0, 0.1, 1.0, 5.0, 30.0, 200.0, 1000.0]
    times = [y * YEAR for y in (0.01, 1.0, 5.0, 25.0, 100.0, 1000.0)]
    velocities = [0.0, 1e-9, 3e-8, 1e-6, 3e-5]
    dispersivities = [0.01, 0.5, 10.0]
    decays = [0.0, 1e-10, 3e-9, 1e-7]
    retardations = [1.0, 3.0, 150.0]
    yield from itertools.product(distances, times, velocities, dispersivities, decays, retardations)
    # The extremes: sharp fronts up to Peclet 1e6, the shortest and longest
    # times, the fastest decay, the largest retardation, diffusion only.
    for x, years, v, alpha, decay_per_year, r in [
        (1000.0, 1.0, 3e-5, 0.001, 0.0, 1.0),
        (1000.0, 0.9, 3e-5, 0.001, 0.0, 1.0),
        (1000.0, 1.1, 3e-5, 0.001, 0.0, 1.0),
        (1.0, 1e-6, 1e-5, 0.01, 0.0, 1.0),
        (1.0, 1e7, 1e-9, 0.01, 0.0, 1.0),
        (10.0, 1e7, 1e-8, 0.1, 1e3, 1.0),
        (10.0, 1.0, 1e-6, 0.1, 1e3, 1.0),
        (10.0, 1e7, 1e-6, 1.0, 0.0, 1e6),
        (0.5, 100.0, 1e-7, 0.1, 0.01, 1e6),
        (1e-6, 1.0, 0.0, 0.1, 0.0, 1.0),
        (1e-6, 1.0, 0.0, 0.1, 0.1, 1.0),
        (100.0, 1e7, 0.0, 1.0, 0.0, 1.0),
    ]:
        yield x, years * YEAR, v, alpha, decay_per_year / YEAR, r
    # Across sharp fronts (Peclet numbers 1e4 to 1e6), where the front
    # arrives, x = v t / R, with and without decay and retardation.
    for x, v, alpha, decay, r in [(1000.0, 3e-5, 0.001, 0.0, 1.0), (1000.0, 3e-5, 0.001, 1e-9, 1.0),
                                  (100.0, 1e-7, 0.001, 0.0, 2.0), (50.0, 1e-6, 0.005, 1e-8, 1.0)]:
        for factor in (0.99, 0.998, 0.999, 0.9995, 1.0, 1.0005, 1.001, 1.002, 1.01):
            yield x, factor * x * r / v, v, alpha, decay, r


def main():
    print('x,t,v,alpha,lambda,R,c')
    for x, t, v, alpha, decay, r in grid():
        c = closed_form(x, t, v, alpha, decay, r)
        fields = [repr(float(value)) for value in (x, t, v, alpha, decay, r)]
        print(','.join(fields + [mp.nstr(c, 25, min_fixed=0, max_fixed=0)]))


if __name__ == '__main__':
    main()
