#!/usr/bin/env python3
"""Reference values of a decay chain in one column, to 40 digits, two ways.

A chain of n <= 4 species, species j formed by the first-order decay of
species j-1 with yield y_j (mass of j formed per mass of j-1 degraded), in a
semi-infinite, initially clean column whose inlet is held at C0_j from time 0:

    R_j dc_j/dt = D d2c_j/dx2 - v dc_j/dx - R_j k_j c_j
                  + y_j R_{j-1} k_{j-1} c_{j-1},          (no source for j = 1)
    c_j(0, t) = C0_j,  c_j(x, 0) = 0,  c_j bounded as x -> infinity,
    D = alpha v + 1e-12 m2/s for every species.

k_j degrades the whole retarded solute (dissolved and sorbed), so
R_{j-1} k_{j-1} c_{j-1} is the parent mass degraded per pore volume and time.
The problem is linear: c_j = sum_{m <= j} C0_m G_{m->j}(x, t), G_{m->j} the
response of species j to a unit inlet of species m alone. This script
computes G two independent ways.

1. The Laplace transform, inverted numerically
-----------------------------------------------
With C_j(x, s) the transform of c_j in t (zero initial state),

    D C_j'' - v C_j' - R_j (s + k_j) C_j = -y_j R_{j-1} k_{j-1} C_{j-1},
    C_j(0) = delta_{jm} / s.

Let r_l = (v - sqrt(v^2 + 4 D R_l (s + k_l))) / (2 D) be the decaying root of
D r^2 - v r - R_l (s + k_l) = 0. Try C_j = sum_{l=m..j} a_{j,l} exp(r_l x).
Put into the equation of species j, the term l < j gives

    a_{j,l} [D r_l^2 - v r_l - R_j (s + k_j)] = -y_j R_{j-1} k_{j-1} a_{j-1,l},

and D r_l^2 - v r_l = R_l (s + k_l), hence the recursion down the chain

    a_{j,l} = y_j R_{j-1} k_{j-1} a_{j-1,l} / [R_j (s + k_j) - R_l (s + k_l)],
                                                                  m <= l < j,
    a_{j,j} = delta_{jm} / s - sum_{l=m}^{j-1} a_{j,l}   (the inlet condition),

starting from a_{m,m} = 1/s. Each exponential decays as x -> infinity, so
the solution is bounded. Where R_j (s + k_j) = R_l (s + k_l) for a real s
the two exponentials coincide and the singularity cancels in the sum; with
distinct rates it lies off the inversion contour. The transform is inverted
with mpmath.invertlaplace, Talbot's contour (Talbot 1979, with mpmath's
choice of contour and degree for the working precision); a few points are
also inverted by the algorithm of de Hoog, Knight and Stokes (1982), and
their agreement is printed. Separately the script checks the derivation
itself, for unequal retardation where no closed form is used: the
transformed solution is put back into the coupled ODEs (derivatives by
mpmath.diff) and the inlet condition, and the largest residual is printed.

2. The closed form for equal retardation factors
------------------------------------------------
With every R_j = R, Sun, Petersen and Clement (1999, J. Contam. Hydrol. 35,
429-440; also Sun, Petersen, Clement and Skeen 1999, Water Resour. Res.
35(1), 185-190) transform the chain into independent single-species problems:
the combinations

    a_j = c_j + sum_{i<j} [prod_{l=i}^{j-1} y_{l+1} k_l / (k_l - k_j)] c_i

each obey R da_j/dt = D a_j'' - v a_j' - R k_j a_j with no source term. The
inverse transformation makes each G_{m->j} a Bateman sum of the
single-species column solution F(x, t; k) of van Genuchten and Alves (1982,
A4; exact_column.py) taken with the members' decay rates:

    G_{m->j} = [prod_{i=m+1}^{j} y_i k_{i-1}]
               sum_{l=m}^{j} F(x, t; k_l) / prod_{i=m..j, i != l} (k_i - k_l)

(for j = m the product is empty and G_{m->m} = F(x, t; k_m)). These are the
coefficients of Bateman (1910) for a decaying batch with a unit initial
amount of member m, as the transform shows: with equal R the recursion of
part 1 has constant denominators R (k_j - k_l), every a_{j,l} is a constant
times 1/s, and exp(r_l x)/s is the transform of F(x, t; k_l). The script
evaluates the product form above, not the recursion, at 40 digits (the
rates are distinct, so no denominator vanishes; the cancellation between the
terms costs a few of the 40 digits at most).

The two are compared wherever R is equal (they must agree to 1e-25
relative); for unequal R the table holds the Talbot inversion, checked by de
Hoog's.

Mass balance: with equal R, y_j = M_j / M_{j-1} (molar masses) and k_n = 0,
moles pass down the chain unchanged, so sum_j G_{1->j} M_1 / M_j is the
single-species solution without decay. The largest deviation is printed.

Cases: the chlorinated ethenes PCE -> TCE -> cis-DCE -> VC, yields the
molar-mass ratios 131.39/165.83, 96.94/131.39, 62.50/96.94, half-lives 5, 3,
8 and 20 years (k = ln 2 / (T 365.25 86400), the exact ln 2), chains of 2, 3
and 4 members; retardation all 1, all 2.5, and unequal (1, 3, 1.8, 1.2) and
(4, 1.5, 2.2, 1.1); an inlet of the parent (m = 1) for every member, and of
species 2 (m = 2) in the 3- and 4-member chains. Two settings: an
unsaturated layer (x = 3 m, v = 0.25 / 0.2 m/year, alpha = 0.1 m) and an
aquifer (x = 150 m, v = 1e-6 m/s, alpha = 10 m). Times are multiples of the
retarded arrival R_j x / v of the species reported (0.3 to 10, rounded to
whole seconds), from the leading edge to near the steady state; rows with G < 1e-8 are dropped.

Output: the rows of a C++ initializer table, 17 significant digits,

    {n, m, j, x, t, v, alpha, {R1,R2,R3,R4}, {k1,k2,k3,k4}, {y2,y3,y4}, G},

x in m, t in s, v in m/s, alpha in m, k in 1/s, G per unit inlet of
species m; members beyond n are 0. Every input is printed as the shortest
exact form of the double that was evaluated, so the test reads back the
inputs of the reference. Lines starting with "//" are the checks (C++
comments, so the whole output can be pasted).

Usage: decay_chain_column.py > decay_chain_column.txt   (Python 3 with
mpmath; about 1 minute on one core).
"""

import math
import sys

import mpmath as mp

mp.mp.dps = 40
YEAR = 365.25 * 86400.0
MOLAR_MASS_TEXT = ('165.83', '131.39', '96.94', '62.50')  # PCE, TCE, cis-DCE, VC, g/mol
MOLAR_MASS = tuple(float(value) for value in MOLAR_MASS_TEXT)
YIELDS = tuple(MOLAR_MASS[i + 1] / MOLAR_MASS[i] for i in range(3))
HALF_LIVES = (5.0, 3.0, 8.0, 20.0)  # years
RATES = tuple(math.log(2.0) / (T * YEAR) for T in HALF_LIVES)
RETARDATIONS = ((1.0, 1.0, 1.0, 1.0), (2.5, 2.5, 2.5, 2.5),
                (1.0, 3.0, 1.8, 1.2), (4.0, 1.5, 2.2, 1.1))
SETTINGS = (  # name, x [m], v [m/s], alpha [m]
    ('unsaturated layer', 3.0, 0.25 / 0.2 / YEAR, 0.1),
    ('aquifer', 150.0, 1e-6, 10.0),
)
TIME_FACTORS = (0.3, 0.5, 0.8, 1.0, 1.5, 3.0, 10.0)  # of R_j x / v
FLOOR = mp.mpf('1e-12')


def single_species(x, t, v, d, k, r):
    """van Genuchten and Alves (1982) A4, the column with decay, C = 1."""
    w = mp.sqrt(v * v + 4 * k * r * d)
    spread = 2 * mp.sqrt(d * r * t)
    first = mp.exp(x * (v - w) / (2 * d)) * mp.erfc((r * x - w * t) / spread)
    second = mp.exp(x * (v + w) / (2 * d)) * mp.erfc((r * x + w * t) / spread)
    return (first + second) / 2


def closed_form(m, j, x, t, v, alpha, rs, ks, ys):
    """Bateman sum of single-species solutions (equal R only), G_{m->j}."""
    x, t, v, alpha = (mp.mpf(value) for value in (x, t, v, alpha))
    r = mp.mpf(rs[0])
    assert all(value == rs[0] for value in rs[:j])
    k = [mp.mpf(value) for value in ks]
    y = [None, None] + [mp.mpf(value) for value in ys]  # y[i] for member i (1-based)
    d = alpha * v + FLOOR
    numerator = mp.mpf(1)
    for i in range(m + 1, j + 1):
        numerator *= y[i] * k[i - 2]
    total = mp.mpf(0)
    for l in range(m, j + 1):
        denominator = mp.mpf(1)
        for i in range(m, j + 1):
            if i != l:
                denominator *= k[i - 1] - k[l - 1]
        total += single_species(x, t, v, d, k[l - 1], r) / denominator
    return numerator * total


def transform_coefficients(m, j, s, v, d, rs, ks, ys):
    """The recursion for a_{i,l} (i = m..j) and the roots r_l."""
    roots = [(v - mp.sqrt(v * v + 4 * d * rs[l] * (s + ks[l]))) / (2 * d) for l in range(j)]
    a = {(m, m): 1 / s}
    for i in range(m + 1, j + 1):
        feed = ys[i - 2] * rs[i - 2] * ks[i - 2]
        for l in range(m, i):
            a[(i, l)] = feed * a[(i - 1, l)] / (rs[i - 1] * (s + ks[i - 1]) - rs[l - 1] * (s + ks[l - 1]))
        a[(i, i)] = -sum(a[(i, l)] for l in range(m, i))
    return roots, a


def transform(m, j, x, v, d, rs, ks, ys):
    """C_j(x, s) for a unit inlet of species m alone, as a function of s."""
    def f(s):
        roots, a = transform_coefficients(m, j, s, v, d, rs, ks, ys)
        return sum(a[(j, l)] * mp.exp(roots[l - 1] * x) for l in range(m, j + 1))
    return f


def inverted(m, j, x, t, v, alpha, rs, ks, ys, method='talbot'):
    x, t, v, alpha = (mp.mpf(value) for value in (x, t, v, alpha))
    rs = [mp.mpf(value) for value in rs]
    ks = [mp.mpf(value) for value in ks]
    ys = [mp.mpf(value) for value in ys]
    return mp.invertlaplace(transform(m, j, x, v, alpha * v + FLOOR, rs, ks, ys), t,
                            method=method)


def ode_residual(m, n, v, alpha, rs, ks, ys, s, x):
    """Largest residual of the coupled transformed ODEs at one (s, x),
    relative to the largest term, and of the inlet condition."""
    v, alpha = mp.mpf(v), mp.mpf(alpha)
    d = alpha * v + FLOOR
    rs = [mp.mpf(value) for value in rs]
    ks = [mp.mpf(value) for value in ks]
    ys = [mp.mpf(value) for value in ys]
    c = {j: transform(m, j, 0, v, d, rs, ks, ys) for j in range(m, n + 1)}

    def at(j, xx):
        return transform(m, j, xx, v, d, rs, ks, ys)(s)

    worst = mp.mpf(0)
    for j in range(m, n + 1):
        first = mp.diff(lambda xx: at(j, xx), x, 1)
        second = mp.diff(lambda xx: at(j, xx), x, 2)
        terms = [d * second, -v * first, -rs[j - 1] * (s + ks[j - 1]) * at(j, x)]
        if j > m:
            terms.append(ys[j - 2] * rs[j - 2] * ks[j - 2] * at(j - 1, x))
        scale = max(abs(term) for term in terms)
        worst = max(worst, abs(sum(terms)) / scale)
        inlet = c[j](s) - (1 / s if j == m else 0)
        worst = max(worst, abs(inlet) * abs(s))
    return worst


def shortest(value):
    return repr(float(value))


def row(n, m, j, x, t, v, alpha, rs, ks, ys, g):
    pad = lambda values, size: list(values) + [0.0] * (size - len(values))
    rr = ', '.join(shortest(value) for value in pad(rs[:n], 4))
    kk = ', '.join(shortest(value) for value in pad(ks[:n], 4))
    yy = ', '.join(shortest(value) for value in pad(ys[:n - 1], 3))
    return '{%d, %d, %d, %s, %s, %s, %s, {%s}, {%s}, {%s}, %s},' % (
        n, m, j, shortest(x), shortest(t), shortest(v), shortest(alpha), rr, kk, yy,
        mp.nstr(g, 17, min_fixed=0, max_fixed=0))


def cases():
    for name, x, v, alpha in SETTINGS:
        for rs in RETARDATIONS:
            for n in (2, 3, 4):
                for m in ((1, 2) if n >= 3 else (1,)):
                    yield name, n, m, x, v, alpha, rs[:n], RATES[:n], YIELDS[:n - 1]


def main():
    out = sys.stdout
    worst_agreement = mp.mpf(0)
    for name, n, m, x, v, alpha, rs, ks, ys in cases():
        equal = all(value == rs[0] for value in rs)
        agreement = mp.mpf(0)
        rows = 0
        for j in range(m, n + 1):
            for factor in TIME_FACTORS:
                t = float(round(factor * rs[j - 1] * x / v))  # whole seconds
                g = inverted(m, j, x, t, v, alpha, rs, ks, ys)
                if equal:
                    exact = closed_form(m, j, x, t, v, alpha, rs, ks, ys)
                    agreement = max(agreement, abs(g - exact) / abs(exact))
                if g < mp.mpf('1e-8'):
                    continue
                print(row(n, m, j, x, t, v, alpha, rs, ks, ys, g), file=out)
                rows += 1
        worst_agreement = max(worst_agreement, agreement)
        print('// %s, n = %d, m = %d, R = %s: %d rows; %s' % (
            name, n, m, '/'.join('%g' % value for value in rs), rows,
            'Talbot vs Bateman closed form: %s relative' % mp.nstr(agreement, 3)
            if equal else 'unequal R: Talbot only (checked by de Hoog below)'), file=out)
    print('// worst Talbot vs closed form, equal R: %s relative' % mp.nstr(worst_agreement, 3),
          file=out)

    # A second inversion algorithm on a few points of every kind.
    worst = mp.mpf(0)
    for name, x, v, alpha in SETTINGS:
        for rs in RETARDATIONS:
            for m, j in ((1, 4), (2, 4), (1, 2)):
                for factor in (0.8, 1.5, 10.0):
                    t = factor * rs[j - 1] * x / v
                    a = inverted(m, j, x, t, v, alpha, rs, RATES, YIELDS)
                    b = inverted(m, j, x, t, v, alpha, rs, RATES, YIELDS, method='dehoog')
                    worst = max(worst, abs(a - b) / abs(a))
    print('// Talbot vs de Hoog, %d points (both settings, every R, m->j = 1->4, 2->4, 1->2,'
          ' t = 0.8, 1.5, 10 R_j x / v): %s relative' % (2 * 4 * 3 * 3, mp.nstr(worst, 3)),
          file=out)

    # The derivation against the ODEs themselves, unequal R.
    worst = mp.mpf(0)
    for name, x, v, alpha in SETTINGS:
        for rs in RETARDATIONS[2:]:
            for m in (1, 2):
                for s in (mp.mpf(1) / YEAR, mp.mpc(3, 40) / (x / v)):
                    worst = max(worst, ode_residual(m, 4, v, alpha, rs, RATES, YIELDS, s,
                                                    mp.mpf(x) / 3))
    print('// transformed solution put back into the ODEs, unequal R: residual %s relative'
          % mp.nstr(worst, 3), file=out)

    # Mass balance: the molar sum of a chain whose last member does not decay.
    worst = mp.mpf(0)
    for name, x, v, alpha in SETTINGS:
        for r in (1.0, 2.5):
            rs = (r,) * 4
            ks = RATES[:3] + (0.0,)
            # the exact ratios, so that the check sees the chain and not
            # the rounding of the yields to doubles
            ys = [mp.mpf(MOLAR_MASS_TEXT[i + 1]) / mp.mpf(MOLAR_MASS_TEXT[i]) for i in range(3)]
            for factor in (0.3, 0.8, 1.0, 1.5, 3.0, 10.0, 30.0):
                t = factor * r * x / v
                molar = sum(closed_form(1, j, x, t, v, alpha, rs, ks, ys) / mp.mpf(MOLAR_MASS_TEXT[j - 1])
                            for j in range(1, 5)) * mp.mpf(MOLAR_MASS_TEXT[0])
                plain = single_species(mp.mpf(x), mp.mpf(t), mp.mpf(v),
                                       mp.mpf(alpha) * mp.mpf(v) + FLOOR, 0, mp.mpf(r))
                worst = max(worst, abs(molar - plain))
                if factor in (1.0, 10.0):
                    inv = sum(inverted(1, j, x, t, v, alpha, rs, ks, ys) / mp.mpf(MOLAR_MASS_TEXT[j - 1])
                              for j in range(1, 5)) * mp.mpf(MOLAR_MASS_TEXT[0])
                    worst = max(worst, abs(inv - plain))
    print('// mass balance, 4 members, equal R (1, 2.5), k4 = 0, yields = molar-mass ratios:'
          ' largest |sum_j G_1j M_1/M_j - F(no decay)| = %s' % mp.nstr(worst, 3), file=out)


if __name__ == '__main__':
    main()
