#!/usr/bin/env python3
"""Tetrachloroethene and trichloroethene entering the aquifer (Level 3a)
and trichloroethene at a borehole downstream, at 30 digits: the expected
values of tests/transport/DecayChainRunTest.cpp, case level3a.

The site is tests/transport/data/level3a.json with two contaminants entered
at the aquifer beneath the 20 m x 10 m source: tetrachloroethene (PCE,
1 mg/l, Kd 0.5 ml/g, half-life 2 years measured in situ) and its daughter
trichloroethene (TCE, 0.5 mg/l, Kd 0.2 ml/g, half-life 1 year in the
aqueous phase, yield 131.39/165.83 from the molar masses). The flow runs
along x (flow direction 90 degrees), the source point is the centroid
(10, 5), the borehole stands at (110, 7): x = 100 m, y = 2 m, the source
width across the flow W = 10 m. At Level 3a the pore velocity is
Ka i / ne = 1e-4 * 0.005 / 0.25 = 2e-6 m/s; alpha_L = 5 m, alpha_T = 1 m,
bulk density 1.8 g/cm3, porosity 0.25, so R = 1 + 1.8 / 0.25 Kd.

Decay rates as the model takes them: lambda = 0.6931471806 / (31557600 T);
in situ (PCE) divided by R, the rate of the whole retarded solute; in the
aqueous phase (TCE) as it is. TCE at the borehole is its own entered
concentration carried by the single-species solution plus what PCE's decay
forms on the way:

    c_TCE = Y (0.5 A(x, t; k_TCE, R_TCE) + 1.0 G_{PCE->TCE}(x, t)),

A the closed form of van Genuchten and Alves (1982, A4), G the response of
the daughter to a unit inlet of the parent, the Laplace transform of
decay_chain_column.py inverted by Talbot's method (mpmath.invertlaplace),
and Y the lateral factor 0.5 (erf((W/2 + y)/sigma) - erf((y - W/2)/sigma)),
sigma = 2 sqrt((alpha_T v R + 1e-12) x / (v R)), with the exact error
function (the model's exact kernel).

Usage: decay_chain_level3a.py (a few seconds).
"""

import mpmath as mp

mp.mp.dps = 30
SPY = mp.mpf(31557600)
LN2 = mp.mpf("0.6931471806")

v = mp.mpf("1e-4") * mp.mpf("0.005") / mp.mpf("0.25")
alpha_l, alpha_t = mp.mpf(5), mp.mpf(1)
x, y, width = mp.mpf(100), mp.mpf(2), mp.mpf(10)
r_pce = 1 + mp.mpf("1.8") / mp.mpf("0.25") * mp.mpf("0.5")
r_tce = 1 + mp.mpf("1.8") / mp.mpf("0.25") * mp.mpf("0.2")
k_pce = LN2 / (SPY * 2) / r_pce
k_tce = LN2 / (SPY * 1)
yield_tce = mp.mpf("131.39") / mp.mpf("165.83")
d = alpha_l * v + mp.mpf("1e-12")


def single(t, k, r):
    w = mp.sqrt(v * v + 4 * k * r * d)
    spread = 2 * mp.sqrt(d * r * t)
    return (mp.exp(x * (v - w) / (2 * d)) * mp.erfc((r * x - w * t) / spread)
            + mp.exp(x * (v + w) / (2 * d)) * mp.erfc((r * x + w * t) / spread)) / 2


def formed(t):
    def transform(s):
        b1, b2 = r_pce * (s + k_pce), r_tce * (s + k_tce)
        e1 = mp.exp(x * (v - mp.sqrt(v * v + 4 * d * b1)) / (2 * d))
        e2 = mp.exp(x * (v - mp.sqrt(v * v + 4 * d * b2)) / (2 * d))
        return yield_tce * r_pce * k_pce * (e1 - e2) / (b2 - b1) / s
    return mp.invertlaplace(transform, t, method="talbot")


def lateral(r):
    sigma = 2 * mp.sqrt((alpha_t * v * r + mp.mpf("1e-12")) * x / (v * r))
    return (mp.erf((width / 2 + y) / sigma) - mp.erf((y - width / 2) / sigma)) / 2


for years in (3, 10, 30):
    t = years * SPY
    own = mp.mpf("0.5") * single(t, k_tce, r_tce)
    daughter = formed(t)
    print("{%d, %s, %s}," % (years, mp.nstr(lateral(r_tce) * own, 17),
                              mp.nstr(lateral(r_tce) * (own + daughter), 17)))
