#!/usr/bin/env python3
"""Reference values of the aquifer solution with the exact lateral factor,
to 40 digits.

The aquifer solution is the column solution along the flow (dispersion
D = alpha_L v + 1e-12; see exact_column.py) times the steady spreading of a
strip source of width W across the flow,

    F = 1/2 [ erf((W/2 + y) / sigma) - erf((y - W/2) / sigma) ],
    sigma = 2 sqrt((alpha_T v R + 1e-12) x / (v R)),

both evaluated as written with mpmath at 40 digits, C = 1. Printed as the
rows of the C++ table in tests/transport/ExactKernelAccuracyTest.cpp:
{x, y, W, t, v, alpha_T, alpha_L, lambda, R, c}.

Usage: exact_aquifer.py
"""

import mpmath as mp

mp.mp.dps = 40
YEAR = 365.25 * 86400.0


def column(x, t, v, d, decay, r):
    w = mp.sqrt(v * v + 4 * decay * r * d)
    spread = 2 * mp.sqrt(d * r * t)
    first = mp.exp(x * (v - w) / (2 * d)) * mp.erfc((r * x - w * t) / spread)
    second = mp.exp(x * (v + w) / (2 * d)) * mp.erfc((r * x + w * t) / spread)
    return (first + second) / 2


def aquifer(x, y, width, t, v, lateral, longitudinal, decay, r):
    x, y, width, t, v, lateral, longitudinal, decay, r = (
        mp.mpf(value) for value in (x, y, width, t, v, lateral, longitudinal, decay, r))
    floor = mp.mpf('1e-12')
    sigma = 2 * mp.sqrt((lateral * v * r + floor) * x / (v * r))
    factor = (mp.erf((width / 2 + y) / sigma) - mp.erf((y - width / 2) / sigma)) / 2
    return factor * column(x, t, v, longitudinal * v + floor, decay, r)


CASES = [
    # On the centreline, across it and far off it, where the approximation
    # of the inverting kernels is 1e-3 relative or worse.
    (50.0, 0.0, 20.0, 10.0, 1e-6, 0.5, 5.0, 0.0, 1.0),
    (50.0, 10.0, 20.0, 10.0, 1e-6, 0.5, 5.0, 0.0, 1.0),
    (50.0, 15.0, 20.0, 10.0, 1e-6, 0.5, 5.0, 0.0, 1.0),
    (50.0, 25.0, 20.0, 10.0, 1e-6, 0.5, 5.0, 0.0, 1.0),
    (50.0, -30.0, 20.0, 10.0, 1e-6, 0.5, 5.0, 0.0, 1.0),
    (200.0, 40.0, 30.0, 50.0, 3e-7, 2.0, 20.0, 1e-9, 2.5),
    (200.0, 80.0, 30.0, 50.0, 3e-7, 2.0, 20.0, 1e-9, 2.5),
    (1000.0, 0.0, 50.0, 100.0, 1e-6, 1.0, 10.0, 3e-10, 1.0),
    (1000.0, 120.0, 50.0, 100.0, 1e-6, 1.0, 10.0, 3e-10, 1.0),
    # Zero dispersivities, which the aquifer accepts: the floor of 1e-12
    # makes both factors steps.
    (100.0, 0.0, 20.0, 20.0, 1e-6, 0.0, 0.0, 0.0, 1.0),
    (100.0, 5.0, 20.0, 4.0, 1e-6, 0.0, 0.0, 0.0, 1.0),
    (100.0, 12.0, 20.0, 4.0, 1e-6, 0.0, 0.0, 0.0, 1.0),
    # A sharp front in the aquifer (x / alpha_L = 2000).
    (200.0, 0.0, 40.0, 6.3, 1e-6, 0.01, 0.1, 0.0, 1.0),
]


def main():
    for x, y, width, years, v, lateral, longitudinal, decay, r in CASES:
        t = years * YEAR
        c = aquifer(x, y, width, t, v, lateral, longitudinal, decay, r)
        inputs = ', '.join(repr(float(value))
                           for value in (x, y, width, t, v, lateral, longitudinal, decay, r))
        print('        {%s, %s},' % (inputs, mp.nstr(c, 17, min_fixed=0, max_fixed=0)))


if __name__ == '__main__':
    main()
