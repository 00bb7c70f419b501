#!/usr/bin/env python3
"""Reference values for the pure-diffusion column, to 40 digits.

Without flow and decay (v = 0, so D = 1e-12 m2/s, lambda = 0, R = 1) the
closed form of the column reduces to c = C erfc(x / (2 sqrt(D t))). At
t = 1e12 s, D t = 1 and the argument is x / 2: a column 2b metres long
gives C erfc(b), which checks the kernel's error functions and exponential
across Cody's ranges (the joins at 0.46875 and 4) and far into the tail,
where exp(-b^2) approaches the smallest doubles (b = 26.5: exp(-702)). An
inlet of C = 1e300 keeps those values above the 1e-30 floor.

Usage: exact_pure_diffusion.py, whose output is pasted into
tests/transport/ExactBatchTest.cpp.
"""

import mpmath as mp

mp.mp.dps = 40

C = 1e300
for b in (0.1, 0.25, 0.46875, 0.5, 1.5, 3.0, 3.999, 4.0, 4.001, 6.0, 9.5, 16.25, 20.0, 26.0,
          26.5):
    x = 2.0 * b  # exact in doubles
    value = mp.mpf(C) * mp.erfc(mp.mpf(x) / 2)
    print("{%r, %s}," % (b, mp.nstr(value, 20)))
