#!/usr/bin/env python3
"""The closed-form column solution over the grid of soils and aquifers, to
40 digits.

The grid is the one the inverting kernel is measured on: distances 0.5 to
200 m, dispersivities 0.05 to 20 m, velocities 1e-8 to 1e-4 m/s, half-lives
none, 1, 10 and 100 years (of 365 days), retardation 1, 3 and 20, and times
at 0.3 to 5 times the advective arrival R x / v: 53,760 points, the tails
included (about 43,000 of them are at least 1e-3 of the inlet). The formula

    c = 1/2 [ exp(x (v - w) / (2D)) erfc((R x - w t) / (2 sqrt(D R t)))
            + exp(x (v + w) / (2D)) erfc((R x + w t) / (2 sqrt(D R t))) ],
    D = alpha v + 1e-12,  w = sqrt(v^2 + 4 lambda R D),

(Ogata and Banks 1961; with decay, van Genuchten and Alves 1982) is
evaluated as written with mpmath at 40 significant digits, C = 1. Inputs
are formed in double precision in the order the C++ test forms them
(t = front * R * x / v, lambda = ln 2 / (half-life * year)), so that both
evaluate the same doubles; only c is written, one line per point in the
loops' order, to 13 significant digits (the test's tolerance is 1e-10
relative). Values below 1e-300 are written as 0.

Usage: exact_grid.py > tests/transport/data/exact_grid.txt
"""

import math

import mpmath as mp

mp.mp.dps = 40
YEAR = 365.0 * 86400.0


def closed_form(x, t, v, alpha, decay, r):
    x, t, v, alpha, decay, r = (mp.mpf(value) for value in (x, t, v, alpha, decay, r))
    d = alpha * v + mp.mpf('1e-12')
    w = mp.sqrt(v * v + 4 * decay * r * d)
    spread = 2 * mp.sqrt(d * r * t)
    first = mp.exp(x * (v - w) / (2 * d)) * mp.erfc((r * x - w * t) / spread)
    second = mp.exp(x * (v + w) / (2 * d)) * mp.erfc((r * x + w * t) / spread)
    return (first + second) / 2


def grid():
    for x in (0.5, 2.0, 7.0, 10.0, 30.0, 50.0, 200.0):
        for alpha in (0.05, 0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 20.0):
            for v in (1e-8, 1e-7, 1e-6, 1e-5, 1e-4):
                for half_life in (0.0, 1.0, 10.0, 100.0):
                    decay = math.log(2.0) / (half_life * YEAR) if half_life > 0 else 0.0
                    for r in (1.0, 3.0, 20.0):
                        for front in (0.3, 0.5, 0.6, 0.7, 0.8, 0.85, 0.9, 0.95, 1.0, 1.05,
                                      1.1, 1.2, 1.5, 2.0, 3.0, 5.0):
                            yield x, front * r * x / v, v, alpha, decay, r


def main():
    points = list(grid())
    print(len(points))
    for point in points:
        c = closed_form(*point)
        print('0' if c < mp.mpf('1e-300') else mp.nstr(c, 13, min_fixed=0, max_fixed=0))


if __name__ == '__main__':
    main()
