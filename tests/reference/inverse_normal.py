#!/usr/bin/env python3
"""Reference values of the standard normal quantile, to 20 digits.

For each probability p (the exact double the test passes), z solves
Phi(z) = p at 60 significant digits: for p < 1/2 as ln Phi(z) = ln p (so
that tails down to 1e-300 are as well conditioned as the centre), for
p > 1/2 as z = -z(1 - p), 1 - p formed exactly in mpmath. Printed as the rows
of the table in tests/stochastic/LatinHypercubeTest.cpp.

Usage: inverse_normal.py
"""

import mpmath as mp

mp.mp.dps = 60

PROBABILITIES = [1e-300, 1e-100, 1e-20, 1e-10, 1e-5, 0.001, 0.02425, 0.07, 0.075, 0.3, 0.5,
                 0.575, 0.925, 0.93, 0.97575, 0.999, 1 - 1e-10, 1 - 1e-16]


def lower_quantile(p):
    """z < 0 with Phi(z) = p < 1/2."""
    target = mp.log(p)
    guess = -mp.sqrt(-2 * target) if p < mp.mpf('0.1') else mp.mpf(-0.5)
    return mp.findroot(lambda z: mp.log(mp.ncdf(z)) - target, guess)


def quantile(p):
    p = mp.mpf(p)
    if p == mp.mpf('0.5'):
        return mp.mpf(0)
    return lower_quantile(p) if p < 0.5 else -lower_quantile(1 - p)


def main():
    for p in PROBABILITIES:
        print('        {%r, %s},' % (p, mp.nstr(quantile(p), 20, min_fixed=0, max_fixed=0)))


if __name__ == '__main__':
    main()
