#!/usr/bin/env python3
"""A decay chain through a stack of unsaturated layers: the layer-by-layer
approximation the model uses, at 40 digits, against a converged numerical
solution of the coupled equations through the real stack.

The unsaturated zone is a stack of layers under a constant infiltration q
(Darcy flux, m/year). Layer p has thickness L_p, water-filled porosity
theta_p, dry bulk density rho_p (g/cm3), dispersivity alpha_p and fraction
of organic carbon foc_p; pore velocity v_p = q / theta_p, D_p = alpha_p v_p
+ 1e-12 m2/s. Species j has Koc_j (ml/g), Kd_{j,p} = Koc_j foc_p, so
R_{j,p} = 1 + rho_p Kd_{j,p} / theta_p; half-life T_j the same in every
layer, degrading dissolved and sorbed phases (k_j = ln 2 / T_j); species j
forms from j-1 with yield y_j (mass of j per mass of j-1 degraded).

(a) The approximation (what the model computes)
-----------------------------------------------
Every layer is a semi-infinite column with constant inlet concentrations,
solved as in decay_chain_column.py (the chain's transform inverted by
Talbot's method at 40 digits). Times t in years since the source started;
t_s = t 365.25 86400 s.

* Retarded travel time of species m through layer p:
  TR_{m,p} = max(L_p - alpha_p, 0) theta_p / q R_{m,p} (years).
* Layer 1: the inlet of species m at time t is the leachate C0_m if
  t - TR_{m,1} >= 0, else 0 (the leachate is 1 mg/l of PCE alone here).
* Layer p > 1: the inlet of species m at time t is species m at the base of
  layer p-1 at time t - TR_{m,p}, by this same rule (0 at negative times).
* Base of layer p at time t: c_j = sum_{m<=j} Cin_m G^{(p)}_{m->j}(L_p, t),
  with the elapsed time t (not the time since the inlet value arrived) and
  layer p's own v, alpha, R and k.
ln 2 is taken as 0.6931471806 and the year as 31,557,600 s, as the model
computes decay rates, so that the printed rows are what the model must give.

(b) The reference
-----------------
The coupled equations through the real stack,

    theta R_j dc_j/dt = d/dz(theta D dc_j/dz) - q dc_j/dz - theta R_j k_j c_j
                        + y_j theta R_{j-1} k_{j-1} c_{j-1},

c_1 = 1 and c_{j>1} = 0 at the surface, c and the total flux
q c - theta D dc/dz continuous at every interface, the last layer continued
downward by 25 of its dispersivities to a zero-gradient bottom (the
influence of that bottom on the layer's base is of order exp(-25)).

Method of lines: a conservative vertex-centred finite-volume scheme with a
node on every interface (each control volume takes theta R of the half
segments on either side, the storage lumped at the node; fluxes at segment
midpoints, central advection and two-point diffusion, second order; cell
Peclet numbers dz/alpha <= 0.2, so the matrix is an M-matrix and no
oscillations arise). In time, BDF2 started by one implicit Euler step.
The chain is lower-triangular, so each step solves species 1, 2, ... in
turn, each with a tridiagonal system that is factorised once and solved by
cyclic reduction (Hockney 1965; Buzbee, Golub and Nielson 1970), vectorised
with numpy. Four levels, grid and time step halved together (dz = 2, 1,
0.5, 0.25 cm; dt = 0.04, 0.02, 0.01, 0.005 years); both discretisations are
second order, which the observed order p = log2(|f2 - f3| / |f3 - f4|) of the
three finest levels f2, f3, f4 confirms, and the error of the finest level
is estimated by Richardson as |f3 - f4| / (2^p - 1) (p taken as 2 where the
three levels do not give an order between 1 and 4). The scheme is also run
on a stack of two identical layers, whose exact answer is the single column
of decay_chain_column.py, to show that the estimate is honest.

(c) The same stack in the Laplace domain
----------------------------------------
An independent check of (b), exact in space: in each layer every species is
a sum of exponentials of the roots of D lambda^2 - v lambda - R_l (s + k_l)
= 0 of the members l <= j (both roots in a finite layer, the decaying one
in the semi-infinite last layer), the parent's terms carried down by the
recursion of decay_chain_column.py and each species' own coefficients fixed
by the surface condition and the continuity of c and of the total flux at
the interfaces (the transfer-matrix approach of layered-media solutions,
e.g. Leij, Dane and van Genuchten 1991, Soil Sci. Soc. Am. J. 55,
for one species), inverted by Talbot's method at 30 digits. The table
prints its difference from (b), which stays within the Richardson estimate.

Sensitivity: with (c) as the reference, the approximation's error at the
base of a 2 m + 3 m stack: one uniform sand (the S2 sand, dispersivity
0.2 m throughout); and sand over sand, sand over clayey silt and clayey silt
over sand (the S2 materials) with each layer's dispersivity 1/50, 1/10 or
1/4 of its thickness (L/alpha = 50, 10, 4); fast and slow decay; at 20 and
100 years.

Cases, in the model's terms (q = 0.2 m/year in every case; leachate 1 mg/l
of PCE from t0 = 0, no daughters in the leachate; biodegradation in the
unsaturated zone on, degrading dissolved and sorbed phases, the same
half-life in every layer; every input single-valued):

  layers "sand over clayey silt" (S2):
     layer 1: thickness 2 m, water-filled porosity 0.15, bulk density
              1.6 g/cm3, dispersivity 0.2 m, foc 0.1 %
     layer 2: thickness 3 m, water-filled porosity 0.30, bulk density
              1.5 g/cm3, dispersivity 0.3 m, foc 0.5 %
  layers "made ground / sand / silt" (S3):
     layer 1: 1 m, 0.20, 1.7 g/cm3, 0.1 m, foc 0.3 %
     layer 2: 2 m, 0.12, 1.6 g/cm3, 0.2 m, foc 0.05 %
     layer 3: 2 m, 0.28, 1.5 g/cm3, 0.2 m, foc 0.4 %
  species (Kd = Koc foc, foc as a fraction; yields the molar-mass ratios
  of 165.83, 131.39, 96.94 and 62.50 g/mol):
     PCE     Koc 265 ml/g, half-life 5 years (slow: 20)
     TCE     Koc  94 ml/g, half-life 3 years (slow: 15), yield 131.39/165.83
     cis-DCE Koc  36 ml/g, half-life 4 years (slow: 15), yield 96.94/131.39
     VC      Koc  19 ml/g, half-life 2 years (slow: 10), yield 62.50/96.94
  The Koc are typical of the values tabulated for the chlorinated ethenes
  (the compilations spread by a factor of about two; e.g. the US EPA Soil
  Screening Guidance, 1996, lists 155, 166, 35.5 and 18.6 l/kg).

  case 1: S2, PCE -> TCE -> cis-DCE -> VC, half-lives 5, 3, 4, 2 years
  case 2: S3, the same chain
  case 3: S2, the chain with the slow half-lives 20, 15, 15, 10 years
  case 4: S3, the chain with the slow half-lives
  case 5: S2, PCE alone, half-life 5 years
  case 6: S3, PCE alone, half-life 5 years
  check:  two identical layers (2 m + 3 m of the S2 sand), the chain of
          case 1: the reference against the exact single column

Output (stdout): first the C++ rows of the approximation, 17 significant
digits,

    {case, layer, species, t_years, approximation},

(layer and species counted from 1, concentrations in mg/l per 1 mg/l of
PCE in the leachate); then, as "//" lines, the convergence and the table of
reference against approximation for the documentation (reference = the
finest level of (b); "est. error" its Richardson estimate; "order" the
observed order; "transform - reference" (c) minus (b); the differences are
approximation minus reference), then the sensitivity table. Report times 5,
10, 20, 50 and 100 years.

Usage: /usr/bin/python3 decay_chain_layers.py > decay_chain_layers.txt
(needs numpy and mpmath: Debian's python3-numpy and python3-mpmath; about
3 minutes on one core).
"""

import math
import os
import sys

import mpmath as mp
import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from decay_chain_column import inverted, single_species  # noqa: E402

mp.mp.dps = 40
YEAR = 31557600.0                # s, 365.25 days
LN2 = 0.6931471806               # as the model computes decay rates
Q = 0.2                          # m/year
FLOOR = 1e-12                    # m2/s added to every dispersion coefficient
TIMES = (5.0, 10.0, 20.0, 50.0, 100.0)
MOLAR_MASS = (165.83, 131.39, 96.94, 62.50)
YIELDS = tuple(MOLAR_MASS[i + 1] / MOLAR_MASS[i] for i in range(3))
KOC = (265.0, 94.0, 36.0, 19.0)
FAST = (5.0, 3.0, 4.0, 2.0)
SLOW = (20.0, 15.0, 15.0, 10.0)
NAMES = ('PCE', 'TCE', 'cis-DCE', 'VC')

# thickness m, water-filled porosity, bulk density g/cm3, dispersivity m, foc %
S2 = ((2.0, 0.15, 1.6, 0.2, 0.1), (3.0, 0.30, 1.5, 0.3, 0.5))
S3 = ((1.0, 0.20, 1.7, 0.1, 0.3), (2.0, 0.12, 1.6, 0.2, 0.05), (2.0, 0.28, 1.5, 0.2, 0.4))
HOMOGENEOUS = ((2.0, 0.15, 1.6, 0.2, 0.1), (3.0, 0.15, 1.6, 0.2, 0.1))

CASES = (  # number, stack, members, half-lives
    (1, S2, 4, FAST), (2, S3, 4, FAST), (3, S2, 4, SLOW), (4, S3, 4, SLOW),
    (5, S2, 1, FAST), (6, S3, 1, FAST),
)
LEVELS = ((0.02, 0.04), (0.01, 0.02), (0.005, 0.01), (0.0025, 0.005))  # dz m, dt years


class Layer:
    def __init__(self, inputs, members, half_lives):
        self.L, self.theta, self.rho, self.alpha, foc = inputs
        self.v = Q / self.theta                                   # m/year
        self.D = self.alpha * self.v + FLOOR * YEAR                 # m2/year
        kd = [KOC[j] * foc * 0.01 for j in range(members)]          # ml/g
        self.R = [1.0 + self.rho * value / self.theta for value in kd]
        self.k = [LN2 / (YEAR * T) for T in half_lives[:members]]   # 1/s
        # retarded travel times (years)
        self.TR = [max(self.L - self.alpha, 0.0) * self.theta / Q * r for r in self.R]


# ------------------------------------------------------------ (a) approximation

class Approximation:
    def __init__(self, layers, members):
        self.layers = layers
        self.n = members
        self.memo = {}

    def green(self, p, m, j, t_years):
        layer = self.layers[p]
        t = mp.mpf(t_years) * YEAR
        if t <= 0:
            return mp.mpf(0)
        ys = YIELDS[:self.n - 1]
        if self.n == 1:
            return single_species(mp.mpf(layer.L), t, mp.mpf(layer.v / YEAR),
                                  mp.mpf(layer.alpha) * mp.mpf(layer.v / YEAR) + mp.mpf(FLOOR),
                                  mp.mpf(layer.k[0]), mp.mpf(layer.R[0]))
        return inverted(m, j, layer.L, t, layer.v / YEAR, layer.alpha,
                        layer.R[:self.n], layer.k[:self.n], ys)

    def inlet(self, p, m, t):
        """Inlet of species m (1-based) into layer p (0-based) at time t."""
        tau = t - mp.mpf(self.layers[p].TR[m - 1])
        if tau < 0:
            return mp.mpf(0)
        if p == 0:
            return mp.mpf(1) if m == 1 else mp.mpf(0)
        return self.base(p - 1, tau)[m - 1]

    def base(self, p, t):
        key = (p, t)
        if key not in self.memo:
            inlets = [self.inlet(p, m, t) for m in range(1, self.n + 1)]
            values = []
            for j in range(1, self.n + 1):
                total = mp.mpf(0)
                for m in range(1, j + 1):
                    if inlets[m - 1] != 0:
                        total += inlets[m - 1] * self.green(p, m, j, t)
                values.append(total)
            self.memo[key] = values
        return self.memo[key]


# ------------------------------------------- (c) the stack in the Laplace domain

def layered_transform(layers, members, s):
    """The coupled equations through the stack, transformed in time: the
    base of every layer, every species, at one s (years and metres).

    In layer p species j is a sum of exponentials exp(lambda (z - z_ref)),
    lambda the two roots of D lambda^2 - v lambda - R_l (s + k_l) = 0 of each
    member l <= j: the decaying root referred to the top of the layer, the
    growing one to its base, so that no term exceeds 1 inside the layer and
    the matching conditions stay well scaled. The terms of the parent's modes
    follow from the recursion of decay_chain_column.py with this layer's R;
    species j's own two modes per layer (only the decaying one in the
    semi-infinite last layer) are fixed by c_j(0) = delta_{j1} / s and the
    continuity of c and of q c - theta D dc/dz at every interface: a linear
    system of 2P - 1 equations, solved for species 1, 2, ... in turn."""
    P = len(layers)
    tops = [mp.mpf(0)]
    for layer in layers[:-1]:
        tops.append(tops[-1] + mp.mpf(layer.L))
    q = mp.mpf(Q)
    props = []
    for layer in layers:
        v, d, theta = mp.mpf(layer.v), mp.mpf(layer.D), mp.mpf(layer.theta)
        r = [mp.mpf(value) for value in layer.R]
        k = [mp.mpf(value) * YEAR for value in layer.k]
        roots = []
        for l in range(members):
            w = mp.sqrt(v * v + 4 * d * r[l] * (s + k[l]))
            roots.append(((v - w) / (2 * d), (v + w) / (2 * d)))
        props.append((theta * d, r, k, roots))

    def mode(p, l, sign, z, slope):
        lam = props[p][3][l][sign]
        ref = tops[p] if sign == 0 else tops[p] + mp.mpf(layers[p].L)
        e = mp.exp(lam * (z - ref))
        return lam * e if slope else e

    coefficients = []   # [j][p]: {(l, sign): coefficient}
    for j in range(members):
        parts = []
        for p in range(P):
            _, r, k, _ = props[p]
            known = {}
            if j > 0:
                feed = mp.mpf(YIELDS[j - 1]) * r[j - 1] * k[j - 1]
                for (l, sign), a in coefficients[j - 1][p].items():
                    known[(l, sign)] = feed * a / (r[j] * (s + k[j]) - r[l] * (s + k[l]))
            parts.append(known)
        unknowns = [(p, sign) for p in range(P) for sign in (0, 1)
                    if not (p == P - 1 and sign == 1)]
        size = len(unknowns)
        matrix, rhs = mp.matrix(size, size), mp.matrix(size, 1)

        def flux(p, z, row, factor):
            """Adds factor (q c - theta D c') of the unknown modes of layer p
            to the row; returns the same of the known terms."""
            td = props[p][0]
            for col, (pp, sign) in enumerate(unknowns):
                if pp == p:
                    matrix[row, col] += factor * (q * mode(p, j, sign, z, False)
                                                  - td * mode(p, j, sign, z, True))
            return factor * sum((a * (q * mode(p, l, sign, z, False) - td * mode(p, l, sign, z, True))
                                 for (l, sign), a in parts[p].items()), mp.mpf(0))

        def value(p, z, row, factor):
            for col, (pp, sign) in enumerate(unknowns):
                if pp == p:
                    matrix[row, col] += factor * mode(p, j, sign, z, False)
            return factor * sum((a * mode(p, l, sign, z, False) for (l, sign), a in parts[p].items()),
                                mp.mpf(0))

        rhs[0] = (1 / s if j == 0 else 0) - value(0, tops[0], 0, 1)
        row = 1
        for p in range(P - 1):
            z = tops[p + 1]
            rhs[row] = -(value(p, z, row, 1) + value(p + 1, z, row, -1))
            rhs[row + 1] = -(flux(p, z, row + 1, 1) + flux(p + 1, z, row + 1, -1))
            row += 2
        solution = mp.lu_solve(matrix, rhs)
        for col, (p, sign) in enumerate(unknowns):
            parts[p][(j, sign)] = solution[col]
        coefficients.append(parts)
    bases = []
    for p in range(P):
        z = tops[p] + mp.mpf(layers[p].L)
        bases.append([sum(a * mode(p, l, sign, z, False) for (l, sign), a in coefficients[j][p].items())
                      for j in range(members)])
    return bases


def layered(layers, members, t_years):
    """Every base and species at one time, by Talbot inversion of the
    layered transform (one transform per point of the contour, shared)."""
    cache = {}

    def transform(s):
        if s not in cache:
            cache[s] = layered_transform(layers, members, s)
        return cache[s]

    return [[mp.invertlaplace(lambda s: transform(s)[p][j], mp.mpf(t_years), method='talbot')
             for j in range(members)] for p in range(len(layers))]


# -------------------------------------------------------------- (b) reference

class CyclicReduction:
    """A tridiagonal matrix, reduced once; solve() by cyclic reduction.

    Row i reads a_i x_{i-1} + b_i x_i + c_i x_{i+1} = d_i. The system is
    padded with identity rows to 2^k - 1 unknowns; each level eliminates
    the even-numbered unknowns (0-based) from the odd-numbered equations.
    Stable without pivoting for diagonally dominant matrices."""

    def __init__(self, a, b, c):
        self.n = n = len(b)
        size = 2 ** int(math.ceil(math.log2(n + 1))) - 1
        a = np.concatenate((a, np.zeros(size - n)))
        b = np.concatenate((b, np.ones(size - n)))
        c = np.concatenate((c, np.zeros(size - n)))
        a[0] = 0.0
        c[n - 1:] = 0.0
        self.size = size
        self.levels = []
        while size > 1:
            left = -a[1::2] / b[0:-1:2]
            right = -c[1::2] / b[2::2]
            self.levels.append((a[0::2].copy(), 1.0 / b[0::2], c[0::2].copy(), left, right))
            a, b, c = (left * a[0:-1:2], b[1::2] + left * c[0:-1:2] + right * a[2::2],
                       right * c[2::2])
            size = (size - 1) // 2
        self.last = 1.0 / b[0]

    def solve(self, d):
        d = np.concatenate((d, np.zeros(self.size - self.n)))
        stack = []
        for level in self.levels:
            stack.append(d)
            _, _, _, left, right = level
            d = d[1::2] + left * d[0:-1:2] + right * d[2::2]
        x = d * self.last
        for (a, inv_b, c, _, _), d in zip(reversed(self.levels), reversed(stack)):
            full = np.empty(len(d))
            full[1::2] = x
            lower = np.empty(len(x) + 1)
            lower[0] = 0.0
            lower[1:] = x
            upper = np.empty(len(x) + 1)
            upper[:-1] = x
            upper[-1] = 0.0
            full[0::2] = (d[0::2] - a * lower - c * upper) * inv_b
            x = full
        return x[:self.n]


def grid(layers, dz):
    """Segments (length, layer index) of the stack and its extension, and
    the node index of each layer's base."""
    segments, bases = [], []
    for p, layer in enumerate(layers):
        count = int(round(layer.L / dz))
        segments += [(layer.L / count, p)] * count
        bases.append(len(segments))
    last = layers[-1]
    count = int(math.ceil(25 * last.alpha / dz))
    segments += [(dz, len(layers) - 1)] * count
    return segments, bases


def reference_run(layers, members, dz, dt):
    """Concentrations at the base of every layer at TIMES, BDF2."""
    segments, bases = grid(layers, dz)
    N = len(segments)                      # unknowns: nodes 1..N
    h = np.array([s[0] for s in segments])
    lay = [s[1] for s in segments]
    E = np.array([layers[p].theta * layers[p].D for p in lay])   # theta D, m2/year
    # advection-dispersion operator A on nodes 0..N (node 0 the surface)
    up = Q / 2 + E / h      # coefficient of c_a in the flux of segment (a, b)
    down = Q / 2 - E / h    # coefficient of c_b
    diag = np.zeros(N + 1)
    sub = np.zeros(N + 1)   # A[i, i-1]
    sup = np.zeros(N + 1)   # A[i, i+1]
    diag[:-1] -= up
    sup[:-1] -= down
    sub[1:] += up
    diag[1:] += down
    diag[N] -= Q            # advective outflow at the zero-gradient bottom
    mass = []
    for j in range(members):
        half = np.array([layers[p].theta * layers[p].R[j] for p in lay]) * h / 2
        m = np.zeros(N + 1)
        m[:-1] += half
        m[1:] += half
        mass.append(m[1:])
    k = [layers[0].k[j] * YEAR for j in range(members)]           # 1/year
    inlet = [1.0] + [0.0] * (members - 1)
    a_sub, a_diag, a_sup = sub[1:].copy(), diag[1:], sup[1:]
    a_sub[0] = 0.0
    boundary = sub[1]       # coefficient of the surface value c_0 in node 1

    def factor(scale):
        return [CyclicReduction(-a_sub, scale * mass[j] + k[j] * mass[j] - a_diag, -a_sup)
                for j in range(members)]

    euler, bdf2 = factor(1.0 / dt), factor(1.5 / dt)
    c_now = [np.zeros(N) for _ in range(members)]
    c_old = [np.zeros(N) for _ in range(members)]
    steps = int(round(TIMES[-1] / dt))
    marks = {int(round(t / dt)): t for t in TIMES}
    out = {}
    for step in range(1, steps + 1):
        c_new = []
        for j in range(members):
            if step == 1:
                rhs = mass[j] * c_now[j] / dt
                solver = euler[j]
            else:
                rhs = mass[j] * (4.0 * c_now[j] - c_old[j]) / (2.0 * dt)
                solver = bdf2[j]
            if j > 0:
                rhs = rhs + YIELDS[j - 1] * k[j - 1] * mass[j - 1] * c_new[j - 1]
            rhs[0] += boundary * inlet[j]
            c_new.append(solver.solve(rhs))
        c_old, c_now = c_now, c_new
        if step in marks:
            out[marks[step]] = [[c_now[j][b - 1] for j in range(members)] for b in bases]
    return out


def richardson(values):
    """Observed order from the three finest levels and the estimated error
    of the finest."""
    f1, f2, f3, f4 = values[-4:]
    order = None
    if f2 != f3 and f3 != f4 and f1 != f2:
        ratio = abs(f2 - f3) / abs(f3 - f4)
        if ratio > 0:
            order = math.log2(ratio)
    p = order if order is not None and 1.0 <= order <= 4.0 else 2.0
    return order, abs(f3 - f4) / (2 ** p - 1)


def converged(layers, members):
    runs = [reference_run(layers, members, dz, dt) for dz, dt in LEVELS]
    table = {}
    for t in TIMES:
        for p in range(len(layers)):
            for j in range(members):
                values = [run[t][p][j] for run in runs]
                order, error = richardson(values)
                table[(p, j, t)] = (values[-1], order, error)
    return table


def fmt(value):
    return '%.4g' % value


def main():
    out = sys.stdout
    results = []
    for number, stack, members, half_lives in CASES:
        layers = [Layer(inputs, members, half_lives) for inputs in stack]
        approximation = Approximation(layers, members)
        for p in range(len(layers)):
            for j in range(members):
                for t in TIMES:
                    value = approximation.base(p, mp.mpf(t))[j]
                    print('{%d, %d, %d, %s, %s},' % (number, p + 1, j + 1, repr(t),
                                                      mp.nstr(value, 17, min_fixed=0,
                                                              max_fixed=0)), file=out)
        out.flush()
        results.append((number, stack, members, half_lives, layers, approximation))

    # the check: two identical layers are one column
    layers = [Layer(inputs, 4, FAST) for inputs in HOMOGENEOUS]
    table = converged(layers, 4)
    print('// check, two identical layers (the S2 sand, 5 m), chain of case 1: base of the'
          ' stack, reference (finest level) against the exact single column', file=out)
    print('// species | t [years] | exact | reference | error | estimated error | order',
          file=out)
    top = layers[0]
    for j in range(4):
        for t in TIMES:
            exact = inverted(1, j + 1, 5.0, t * YEAR, top.v / YEAR, top.alpha, top.R, top.k,
                             YIELDS)
            value, order, error = table[(1, j, t)]
            print('// %s | %g | %s | %s | %.2e | %.2e | %s' % (
                NAMES[j], t, fmt(exact), fmt(value), abs(value - float(exact)), error,
                '-' if order is None else '%.2f' % order), file=out)
    out.flush()

    for number, stack, members, half_lives, layers, approximation in results:
        table = converged(layers, members)
        with mp.workdps(30):
            exact = {t: layered(layers, members, t) for t in TIMES}
        print('// case %d: %d layers, %s, half-lives %s years' % (
            number, len(layers), ' -> '.join(NAMES[:members]),
            ', '.join('%g' % T for T in half_lives[:members])), file=out)
        for p, layer in enumerate(layers):
            print('//   layer %d: R = %s, TR = %s years, L/alpha = %g' % (
                p + 1, ', '.join('%.4g' % r for r in layer.R),
                ', '.join('%.4g' % r for r in layer.TR), layer.L / layer.alpha), file=out)
        print('// layer | species | t [years] | reference | est. error | order |'
              ' transform - reference | approximation | abs. difference | rel. difference',
              file=out)
        for p in range(len(layers)):
            for j in range(members):
                for t in TIMES:
                    value, order, error = table[(p, j, t)]
                    approx = float(approximation.base(p, mp.mpf(t))[j])
                    difference = approx - value
                    relative = difference / value if value > 0 else float('nan')
                    print('// %d | %s | %g | %s | %.1e | %s | %.1e | %s | %.2e | %.2e' % (
                        p + 1, NAMES[j], t, fmt(value), error,
                        '-' if order is None else '%.2f' % order,
                        float(exact[t][p][j]) - value, fmt(approx), difference,
                        relative), file=out)
        out.flush()

    sensitivity(out)


def sensitivity(out):
    """How the approximation's error at the base of a two-layer stack
    depends on the ratio of layer thickness to dispersivity, on the contrast
    of retardation between the layers and on decay during the transit. The
    reference here is the layered transform (checked against the
    finite-volume solution above); 20 digits suffice for a table of three."""
    print('// sensitivity: base of a 2 m + 3 m stack, chain PCE -> TCE -> cis-DCE -> VC;'
          ' relative difference (approximation - exact) / exact at 20 and 100 years',
          file=out)
    print('// stack | L/alpha | half-lives | species | exact 20 y | rel. diff. 20 y |'
          ' exact 100 y | rel. diff. 100 y', file=out)
    sand, silt = (0.15, 1.6, 0.1), (0.30, 1.5, 0.5)   # theta, rho, foc %
    stacks = (('sand/sand', sand, sand), ('sand/silt', sand, silt), ('silt/sand', silt, sand))
    # one uniform sand (one dispersivity, 0.2 m): the stack is one column
    variants = [('uniform sand', '10 / 15', HOMOGENEOUS)]
    for name, upper, lower in stacks:
        for ratio in (50.0, 10.0, 4.0):
            variants.append((name, '%g' % ratio,
                             ((2.0, upper[0], upper[1], 2.0 / ratio, upper[2]),
                              (3.0, lower[0], lower[1], 3.0 / ratio, lower[2]))))
    with mp.workdps(20):
        for name, ratio, stack_inputs in variants:
            for label, half_lives in (('fast', FAST), ('slow', SLOW)):
                layers = [Layer(inputs, 4, half_lives) for inputs in stack_inputs]
                approximation = Approximation(layers, 4)
                exact = {t: layered(layers, 4, t) for t in (20.0, 100.0)}
                for j in range(4):
                    cells = []
                    for t in (20.0, 100.0):
                        e = exact[t][1][j]
                        a = approximation.base(1, mp.mpf(t))[j]
                        cells += [fmt(float(e)), '%+.3f' % float((a - e) / e)]
                    print('// %s | %s | %s | %s | %s' % (name, ratio, label, NAMES[j],
                                                        ' | '.join(cells)), file=out)
                out.flush()


if __name__ == '__main__':
    main()
