#!/usr/bin/env python3
"""Whole transport chains worked independently of the C++ engine.

Every case below follows one contaminant from the leachate leaving a source,
down through the unsaturated layers, into the aquifer mixing zone beneath
the source and along the aquifer to the receptors, for one Monte Carlo
iteration with single-valued inputs. The numbers it prints are the expected
values of tests/transport/*Test.cpp, which cite them as
"transport_chains.py case <name>".

Physics and algorithms, in the units the model calculates in (lengths m,
times years, infiltration and velocities m/year, conductivities m/s):

* One layer is a semi-infinite column, initially clean, whose inlet is held
  at the concentration that left the layer above one retarded travel time
  of this layer earlier (the leachate for the first layer). Its base
  concentration is the Ogata-Banks closed form with decay and retardation,

      c/C = 1/2 [exp(x (v - u) / (2D)) erfc((R x - u t) / (2 sqrt(D R t)))
               + exp(x (v + u) / (2D)) erfc((R x + u t) / (2 sqrt(D R t)))],
      u = v sqrt(1 + 4 lambda R D / v^2),  D = alpha v + 1e-12 m^2/s,

  evaluated in 60-digit decimal arithmetic by ogata_banks.py (imported),
  with t the time since the source started. No Laplace inversion is used
  here. Nothing arrives at zero velocity, and anything below 1e-30 is 0.
* Porous layer: the infiltration is cut to K x 31,557,600 m/year where the
  layer cannot pass more; travel time (L - alpha) theta_w / q (0 when the
  layer is thinner than its dispersivity, 1,000,000 years when q is 0);
  pore velocity q / theta_w; R = 1 + rho_b Kd / theta_w.
* Soakaway: the water arrives at the maximum infiltration rate (or the
  drained run-off, whichever is smaller) x 365.25; if the layer cannot take
  it unsaturated (q theta_w / theta_s x i < q) it runs saturated at
  K i x 31,557,600, spread over the area needed, with theta_w = theta_s, and
  its width across the aquifer flow grows by sqrt(area / base area).
* Dual porosity: the matrix takes up to Km x 31,557,600 m/year; the rest
  runs down the fissures at (q - (1 - theta_f) Vm) / theta_f over the whole
  thickness with R = 1 (also with biodegradation on: the fissure water keeps
  its own factor), the matrix water moves at Vm / theta_m with
  Rm = 1 + rho_b Kd / theta_m and decays.
* Decay: lambda = ln 2 / (31,557,600 x half-life) with ln 2 = 0.6931471806;
  divided by the retardation factor where only the dissolved phase
  degrades. Each layer decays with its own half-life (and its own
  retardation and degradation phase).
* Mixing zone: Z = sqrt(0.0112 Ls^2) + H (1 - exp(-Ls q / (Ka i H SPY))) when
  calculated, cut to the aquifer thickness H when calculated or at Level 3
  (at Level 2 a sampled Z is used as drawn); flow Qmz = Ka i Z W SPY; the
  diluted concentration C q A / (q A + Qmz), or (fissure flow C + matrix
  flow Cm) / (q A + Qmz) under fissure flow.
* Aquifer: pore velocity (q A + Ka SPY H W i) / (H W ne) beneath the source
  (Ka i SPY / ne at Level 3a); travel time max(d - alphaL, 0) / va to a
  receptor a distance d downstream, 1,000,000 years upstream; Ra = 1 +
  rho_a Kd / ne. The receptor concentration is the Ogata-Banks factor along
  the flow times the steady lateral factor

      Y = 0.5 (erf((b + y) / sigma) - erf((y - b) / sigma)),  b = W / 2,
      sigma = 2 sqrt(DT x / (v R)),  DT = alphaT v R + 1e-12,

  i.e. sigma = 2 sqrt(alphaT x) up to the dispersion floor (a relative
  difference below 1e-10 in every case here), with erf the rational
  approximation 7.1.25 of Abramowitz and Stegun that the model specifies
  (absolute error below 2.5e-5; the engine uses the same one, so the
  comparison is not blurred by it). The inlet is the diluted concentration
  of the water that left the mixing zone one retarded aquifer travel time
  earlier; the aquifer solution's clock starts one retarded travel time of
  the last layer after the source starts.
* Before a source starts (its time offset) it contributes 0 at a receptor;
  a background concentration of a species present in the aquifer is added
  once to the receptor total and to each source's own value. A
  user-defined decline takes the factor of the time slice nearest to the
  (shifted) time. A receptor's earliest travel time is the minimum over the
  sources, a genuine 0 included.

Python 3 standard library only. Usage: transport_chains.py
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ogata_banks  # noqa: E402  (the 60-digit closed form)

SPY = 31557600.0          # seconds per year, 365.25 days
G = 1.0 / SPY             # m/year to m/s
LN2 = 0.6931471806        # ln 2 to ten decimals, as the model computes decay
NEVER = 1000000.0         # travel time when the water never arrives
DAYS_PER_YEAR = 365.25
MM_PER_YEAR_TO_M_PER_DAY = 2.737850787132101e-06  # 0.001 / 365.25
MIXING = 0.0112


# --------------------------------------------------------------- solutions

def column(c0, x, t_s, v, alpha, lam, r):
    """Ogata-Banks column (t_s seconds, v m/s)."""
    if t_s <= 0.0 or x < 0.0 or c0 == 0.0 or v == 0.0:
        return 0.0
    c = float(ogata_banks.ogata_banks(c0, x, t_s, v, alpha, lam, r))
    return c if c >= 1e-30 else 0.0


def erf_as(x):
    """Abramowitz and Stegun 7.1.25."""
    u = abs(x)
    tau = 1.0 / (1.0 + 0.47047 * u)
    e = 1.0 - (0.3480242 * tau - 0.0958798 * tau ** 2 + 0.7478556 * tau ** 3) * math.exp(-u * u)
    return e if x >= 0 else -e


def lateral(x, y, w, v, alpha_t, r):
    dt = alpha_t * v * r + 1e-12
    sigma = 2.0 * math.sqrt(dt * x / (v * r))
    b = w / 2.0
    return 0.5 * (erf_as((b + y) / sigma) - erf_as((y - b) / sigma))


def aquifer_solution(c0, x, y, w, t_s, v, alpha_t, alpha_l, lam, r):
    if t_s <= 0.0 or x < 0.0 or c0 == 0.0 or v == 0.0:
        return 0.0
    c = column(c0, x, t_s, v, alpha_l, lam, r) * lateral(x, y, w, v, alpha_t, r)
    return c if c >= 1e-30 else 0.0


def time_to_cover(length, rate):
    if not length > 0.0:
        return 0.0
    if not rate > 0.0:
        return NEVER
    return length / rate


def decay(half_life):
    return LN2 / (SPY * half_life)


# ------------------------------------------------------------------ model

def layer(**kw):
    d = dict(model="porous", include=True, L=1.0, alpha=0.1, tw=0.2, ts=0.3, K=1e-5, grad=1.0,
             Km=0.0, tm=0.1, tf=0.01, rho=1.6, kd=0.0, half_life=None, phase=0)
    d.update(kw)
    return d


def source(**kw):
    d = dict(area=200.0, Ls=20.0, Ws=10.0, cx=10.0, cy=5.0, t0=0.0, q=0.3, conc=10.0,
             factors=None, soakaway=None, layers=[])
    d.update(kw)
    return d


def project(**kw):
    d = dict(level=2, slices=[10.0, 20.0, 50.0, 100.0], ruz=True, buz=False, raq=False, baq=False,
             H=10.0, Z=2.0, calc=False, Ka=1e-4, ia=0.01, ne=0.25, aT=1.0, aL=5.0, rho_a=1.8,
             kd_a=0.0, aq_half_life=None, in_situ=True, background=None, receptors=[])
    d.update(kw)
    return d


def nearest_slice(slices, t):
    best, k_best = 1e308, 0
    for k, s in enumerate(slices):
        if abs(t - s) < best:
            best, k_best = abs(t - s), k
            if best == 0.0:
                break
    return k_best


def leachate(prj, src, t):
    if t < src["t0"]:
        return 0.0
    if src["factors"] is not None:
        return src["conc"] * src["factors"][nearest_slice(prj["slices"], t)]
    leach = src.get("leaching")
    if leach is not None:
        # Declining by leaching: C0 exp(-x / Kp), x = q (t - t0) / (rho_b h),
        # Kp = Kd + (H theta_a + theta_w) / rho_b, q the source's infiltration
        # (a soakaway's derived one).
        kp = leach["kd"] + (leach["henry"] * leach["theta_a"] + leach["theta_w"]) / leach["rho"]
        x = src["q"] * (t - src["t0"]) / (leach["rho"] * leach["h"])
        return src["conc"] * math.exp(-x / kp)
    return src["conc"]


def unsaturated_zone(prj, src):
    """One source, one contaminant: travel times, factors, concentrations."""
    s = dict(src)
    s["layers"] = [dict(l) for l in src["layers"]]
    s["base_area"] = s["area"]
    s["saturated"] = False
    soak = s["soakaway"]
    if soak is not None:
        rate = soak["max_rate"]
        if soak.get("drainage"):
            rate = soak["recharge_mm"] * MM_PER_YEAR_TO_M_PER_DAY * soak["catchment"] / s["area"]
            rate = min(rate, soak["max_rate"])
        s["q"] = rate * DAYS_PER_YEAR
    for l in s["layers"]:
        q = s["q"]
        if l["model"] == "porous":
            if soak is not None:
                if q * l["tw"] / l["ts"] * l["grad"] < q:
                    vk = l["K"] * l["grad"] * SPY
                    s["area"] = max(s["area"], q * s["base_area"] / vk)
                    l["tw"] = l["ts"]
                    s["q"] = q = vk
                    s["saturated"] = True
                else:
                    s["saturated"] = False
            elif l["K"] * SPY < q:
                s["q"] = q = l["K"] * SPY
            l["fissure"] = False
            l["TT"] = time_to_cover(max(l["L"] - l["alpha"], 0.0) * l["tw"], q) if l["include"] else 0.0
            l["TM"] = 0.0
        else:
            vm = l["Km"] * SPY
            if vm > q:
                l["tf"] = l["tm"]
                l["fissure"] = False
                l["TT"] = time_to_cover(max(l["L"] - l["alpha"], 0.0) * l["tm"], q)
                l["TM"] = 0.0
            else:
                l["matrix_flow"] = (1.0 - l["tf"]) * s["area"] * vm
                l["vm"] = vm / l["tm"]
                l["TM"] = time_to_cover(max(l["L"] - l["alpha"], 0.0), l["vm"])
                l["fissure_flow"] = q * s["area"] - l["matrix_flow"]
                l["vf"] = (q - (1.0 - l["tf"]) * vm) / l["tf"]
                l["TT"] = time_to_cover(l["L"], l["vf"])
                l["fissure"] = True
            if not l["include"]:
                l["TT"] = l["TM"] = 0.0
    q = s["q"]
    for l in s["layers"]:
        r = rm = 1.0
        if prj["ruz"]:
            def factor(theta):
                return 1.0 if theta == 0.0 else 1.0 + l["rho"] / theta * l["kd"]
            if l["fissure"]:
                rm = factor(l["tm"])
            elif l["model"] == "dual":
                r = factor(l["tf"])
            else:
                r = factor(l["tw"])
        l["R"], l["Rm"] = r, rm
        if l["fissure"]:
            l["v"] = l["vf"]
        else:
            l["v"] = q / (l["tf"] if l["model"] == "dual" else l["tw"])
        l["TR"] = l["TT"] * r if l["include"] else 0.0
        l["TRm"] = l["TM"] * rm if l["include"] else 0.0
        l["lam"] = decay(l["half_life"]) if prj["buz"] else 0.0
    return s


def base_concentration(prj, s, t, p):
    """(C, Cm) at the base of layer p at time t (years)."""
    l = s["layers"][p]
    lam = l["lam"]
    if p == 0:
        cin = leachate(prj, s, t - l["TR"])
        if not l["include"]:
            return cin, 0.0
    else:
        cin, cmin = base_concentration(prj, s, t - l["TR"], p - 1)
        if not l["include"]:
            return cin, cmin
    if t < s["t0"]:
        return 0.0, 0.0
    tau = (t - s["t0"]) * SPY
    v = l["v"] * G
    if prj["buz"] and l["fissure"]:
        lam_m = lam / l["Rm"] if l["phase"] == 0 else lam
        c = column(cin, l["L"], tau, v, l["alpha"], 0.0, l["R"])
        cm = column(cin, l["L"], tau, l["vm"] * G, l["alpha"], lam_m, l["Rm"])
        return c, cm
    if prj["buz"]:
        lam_r = lam / l["R"] if l["phase"] == 0 else lam
        return column(cin, l["L"], tau, v, l["alpha"], lam_r, l["R"]), 0.0
    return column(cin, l["L"], tau, v, l["alpha"], 0.0, l["R"]), 0.0


def mixing_zone(prj, s):
    z = prj["Z"]
    ls = s["Ls"]
    if prj["calc"]:
        z = math.sqrt(MIXING * ls * ls) + prj["H"] * (
            1.0 - math.exp(-ls * s["q"] / (prj["Ka"] * prj["ia"] * prj["H"] * SPY)))
    if (prj["level"] > 2 or prj["calc"]) and z > prj["H"]:
        z = prj["H"]
    w = s["Ws"]
    if prj["level"] != 4 and s["soakaway"] is not None and s["saturated"]:
        w = w * math.sqrt(s["area"]) / math.sqrt(s["base_area"])
    qmz = prj["Ka"] * prj["ia"] * z * w * SPY
    return z, w, qmz


def diluted(prj, s, layer_index, c, cm, qmz):
    if prj["level"] == 4:
        return 0.0
    vinf = s["q"] * s["area"]
    if vinf + qmz == 0.0:
        return 0.0
    l = s["layers"][layer_index]
    if l["fissure"]:
        return (l["fissure_flow"] * c + l["matrix_flow"] * cm) / (vinf + qmz)
    return c * vinf / (vinf + qmz)


def report_unsaturated(name, prj, s, out):
    z, w, qmz = mixing_zone(prj, s)
    out.append((name, "q", s["q"]))
    out.append((name, "area", s["area"]))
    out.append((name, "Z", z))
    out.append((name, "W", w))
    out.append((name, "Qmz", qmz))
    out.append((name, "leach_mass", leachate(prj, s, prj["slices"][0]) * 0.001 * s["q"] * s["area"]))
    tt = tr = ttm = trm = 0.0
    for p, l in enumerate(s["layers"]):
        tt += l["TT"]
        tr += l["TR"]
        ttm += l["TM"]
        trm += l["TRm"]
        tag = "layer%d." % p
        out.append((name, tag + "travel_time_cumulative", tt))
        out.append((name, tag + "retarded_travel_time_cumulative", tr))
        out.append((name, tag + "matrix_travel_time_cumulative", ttm))
        out.append((name, tag + "matrix_retarded_travel_time_cumulative", trm))
        out.append((name, tag + "R", l["R"]))
        out.append((name, tag + "Rm", l["Rm"]))
        out.append((name, tag + "velocity", l["v"]))
        if l["fissure"]:
            out.append((name, tag + "fissure_velocity", l["vf"]))
            out.append((name, tag + "matrix_velocity", l["vm"]))
            out.append((name, tag + "fissure_flow", l["fissure_flow"]))
            out.append((name, tag + "matrix_flow", l["matrix_flow"]))
        for t in prj["slices"]:
            c, cm = base_concentration(prj, s, t, p)
            out.append((name, tag + "C@%g" % t, c))
            if l["fissure"]:
                out.append((name, tag + "Cm@%g" % t, cm))
            if prj["level"] > 2 or prj.get("dilution", True):
                out.append((name, tag + "diluted@%g" % t, diluted(prj, s, p, c, cm, qmz)))


# ------------------------------------------------------------- aquifer

def aquifer_source(prj, s):
    """Velocity and flow beneath one source (after its unsaturated zone)."""
    z, w, qmz = mixing_zone(prj, s)
    if prj["level"] == 4:
        va = prj["Ka"] * prj["ia"] * SPY / prj["ne"]
        qfull = 0.0
    else:
        qfull = prj["Ka"] * SPY * prj["H"] * w * prj["ia"]
        va = (s["q"] * s["area"] + qfull) / (prj["H"] * w * prj["ne"])
    ra = 1.0 + prj["rho_a"] / prj["ne"] * prj["kd_a"] if prj["raq"] else 1.0
    lam = 0.0
    if prj["baq"]:
        lam = decay(prj["aq_half_life"])
        if prj["in_situ"]:
            lam /= ra
    return dict(z=z, w=w, qmz=qmz, va=va, qfull=qfull, ra=ra, lam=lam)


def receptor_values(prj, s, a, rx, ry):
    d = rx - s["cx"]
    ta = NEVER if d < 0.0 else time_to_cover(max(d - prj["aL"], 0.0), a["va"])
    layers = s["layers"] if prj["level"] != 4 else []
    tu = sum(l["TT"] for l in layers) + ta
    x_ret = ta * a["ra"]
    tr = sum(l["TR"] for l in layers) + x_ret
    x, y = rx - s["cx"], ry - s["cy"]
    concs = []
    for t in prj["slices"]:
        if t < s["t0"] or x <= 0.0:
            concs.append(0.0)
            continue
        v = a["va"] * G
        if prj["level"] == 4:
            if x_ret < 1.0:
                concs.append(s["conc"])
            else:
                concs.append(aquifer_solution(s["conc"], x, y, a["w"], (t - s["t0"]) * SPY, v, prj["aT"],
                                              prj["aL"], a["lam"], a["ra"]))
            continue
        last = len(s["layers"]) - 1
        ll = s["layers"][last]
        cin = 0.0
        if t >= s["t0"]:
            c, cm = base_concentration(prj, s, t - x_ret, last)
            cin = diluted(prj, s, last, c, cm, a["qmz"])
        tau = (t - s["t0"] - ll["TR"]) * SPY
        concs.append(aquifer_solution(cin, x, y, a["w"], tau, v, prj["aT"], prj["aL"], a["lam"], a["ra"]))
    return dict(ta=ta, x_ret=x_ret, tu=tu, tr=tr, concs=concs)


def report_receptors(name, prj, sources, out):
    """Per source and receptor, and the totals over the sources."""
    bg = prj["background"]
    worked = []
    for j, src in enumerate(sources):
        s = unsaturated_zone(prj, src) if prj["level"] != 4 else dict(src, base_area=src["area"], saturated=False)
        a = aquifer_source(prj, s)
        out.append((name, "source%d.va" % j, a["va"]))
        out.append((name, "source%d.Qfull" % j, a["qfull"]))
        out.append((name, "source%d.W" % j, a["w"]))
        out.append((name, "source%d.Qmz" % j, a["qmz"]))
        out.append((name, "Ra", a["ra"]))
        worked.append((s, a))
    for r, (rx, ry) in enumerate(prj["receptors"]):
        tu_min = tr_min = None
        totals = [0.0] * len(prj["slices"])
        for j, (s, a) in enumerate(worked):
            rv = receptor_values(prj, s, a, rx, ry)
            tag = "source%d.receptor%d." % (j, r)
            out.append((name, tag + "aquifer_travel_time", rv["x_ret"]))
            out.append((name, tag + "unretarded_travel_time", rv["tu"]))
            out.append((name, tag + "retarded_travel_time", rv["tr"]))
            for k, t in enumerate(prj["slices"]):
                own = rv["concs"][k] + (bg if bg is not None else 0.0)
                out.append((name, tag + "C@%g" % t, own))
                totals[k] += rv["concs"][k]
            tu_min = rv["tu"] if tu_min is None else min(tu_min, rv["tu"])
            tr_min = rv["tr"] if tr_min is None else min(tr_min, rv["tr"])
        out.append((name, "receptor%d.total_unretarded_travel_time" % r, tu_min))
        out.append((name, "receptor%d.total_retarded_travel_time" % r, tr_min))
        for k, t in enumerate(prj["slices"]):
            out.append((name, "receptor%d.total@%g" % (r, t), totals[k] + (bg if bg is not None else 0.0)))


# ----------------------------------------------------------------- cases
# Each case names the fixture of tests/transport/data/ it mirrors (with the
# changes the C++ test makes to it). Rectangle sources 20 m along the flow
# by 10 m across it, flow towards +x, so the aquifer frame is the plan.

def level2_porous_layer():
    return layer(L=5.0, alpha=0.5, tw=0.2, K=1e-6, rho=1.6, kd=0.5, half_life=30.0, phase=0)


def level2_project(**kw):
    d = dict(level=2, slices=[10.0, 20.0, 50.0, 100.0], ruz=True, buz=True)
    d.update(kw)
    return project(**d)


def cases():
    out = []

    # level2-porous.json: one porous layer, R = 5, travel time 3 years.
    prj = level2_project()
    src = source(layers=[level2_porous_layer()])
    report_unsaturated("porous_level2", prj, unsaturated_zone(prj, src), out)

    # The same with a sampled mixing zone of 15 m in the 10 m aquifer:
    # used as drawn at Level 2.
    prj = level2_project(Z=15.0)
    report_unsaturated("porous_level2_thick_mixing_zone", prj, unsaturated_zone(prj, src), out)

    # Calculated mixing zone: sqrt(0.0112) 20 + 10 (1 - exp(-6 / 315.576)).
    prj = level2_project(calc=True)
    report_unsaturated("porous_level2_calculated_mixing_zone", prj, unsaturated_zone(prj, src), out)

    # Calculated in a thin, slow aquifer: cut to its 2 m thickness.
    prj = level2_project(calc=True, H=2.0, Ka=1e-7, ia=1e-3)
    report_unsaturated("porous_level2_calculated_mixing_zone_capped", prj, unsaturated_zone(prj, src), out)

    # "Retarded Travel in UZ" off: R = 1, the front arrives after 3 years.
    prj = level2_project(ruz=False)
    report_unsaturated("porous_level2_unretarded", prj, unsaturated_zone(prj, src), out)

    # Source starting after 15 years.
    prj = level2_project()
    report_unsaturated("porous_level2_time_offset", prj,
                       unsaturated_zone(prj, source(t0=15.0, layers=[level2_porous_layer()])), out)

    # A layer 0.4 m thick with a dispersivity of 0.5 m.
    prj = level2_project()
    thin = dict(level2_porous_layer(), L=0.4)
    report_unsaturated("thin_pathway", prj, unsaturated_zone(prj, source(layers=[thin])), out)

    # level2-dual.json: dual porosity, slices 10, 100, 200, 500 years.
    def dual(**kw):
        d = layer(model="dual", L=6.0, alpha=0.6, Km=1e-7, tm=0.1, tf=0.01, rho=1.6, kd=0.5,
                  half_life=30.0, phase=0)
        d.update(kw)
        return d
    dual_slices = [10.0, 100.0, 200.0, 500.0]
    prj = level2_project(slices=dual_slices)
    report_unsaturated("dual_matrix_only", prj, unsaturated_zone(prj, source(layers=[dual()])), out)
    report_unsaturated("dual_fissure", prj, unsaturated_zone(prj, source(layers=[dual(Km=1e-9)])), out)
    prj_off = level2_project(slices=dual_slices, buz=False)
    report_unsaturated("dual_fissure_no_biodegradation", prj_off,
                       unsaturated_zone(prj_off, source(layers=[dual(Km=1e-9)])), out)
    # Km x 31,557,600 = 1e-8 x 31,557,600 = 0.315576 = 315.576 mm/yr exactly.
    report_unsaturated("dual_fissure_equal", prj,
                       unsaturated_zone(prj, source(q=315.576 * 0.001, layers=[dual(Km=1e-8)])), out)

    # level2-two-layers.json: two porous layers, slices 10, 30, 60, 150.
    def top(**kw):
        d = layer(L=3.0, alpha=0.3, tw=0.25, K=1e-6, rho=1.5, kd=0.4, half_life=20.0, phase=1)
        d.update(kw)
        return d

    def bottom(**kw):
        d = layer(L=4.0, alpha=0.4, tw=0.15, K=1e-6, rho=1.7, kd=0.2, half_life=40.0, phase=0)
        d.update(kw)
        return d
    two_slices = [10.0, 30.0, 60.0, 150.0]
    prj = level2_project(slices=two_slices)
    report_unsaturated("two_layers", prj, unsaturated_zone(prj, source(layers=[top(), bottom()])), out)
    report_unsaturated("two_layers_first_excluded", prj,
                       unsaturated_zone(prj, source(layers=[top(include=False), bottom()])), out)
    prj_off = level2_project(slices=two_slices, buz=False)
    report_unsaturated("two_layers_second_excluded", prj_off,
                       unsaturated_zone(prj_off, source(layers=[top(), bottom(include=False)])), out)
    report_unsaturated("two_layers_declining", prj,
                       unsaturated_zone(prj, source(factors=[1.0, 0.6, 0.3, 0.1],
                                                    layers=[top(), bottom()])), out)

    # level2-soakaway.json: a soakaway over one porous layer.
    def soak_layer(**kw):
        d = layer(L=5.0, alpha=0.5, tw=0.2, ts=0.25, K=1e-8, grad=1.5, rho=1.6, kd=0.5,
                  half_life=30.0, phase=0)
        d.update(kw)
        return d
    no_drain = dict(max_rate=0.002, drainage=False, recharge_mm=500.0, catchment=100.0)
    prj = level2_project()
    report_unsaturated("soakaway_unsaturated", prj,
                       unsaturated_zone(prj, source(soakaway=no_drain, layers=[soak_layer()])), out)
    report_unsaturated("soakaway_drainage", prj,
                       unsaturated_zone(prj, source(soakaway=dict(no_drain, drainage=True),
                                                    layers=[soak_layer()])), out)
    report_unsaturated("soakaway_saturated", prj,
                       unsaturated_zone(prj, source(soakaway=no_drain, layers=[soak_layer(grad=1.0)])), out)
    # The soakaway declining by leaching: the source term sees the derived
    # 0.7305 m/year (rho_b 1.7, 5 m of soil, Kd 1, H 0.3, theta_a 0.1,
    # theta_w 0.2).
    leaching = dict(kd=1.0, henry=0.3, theta_a=0.1, theta_w=0.2, rho=1.7, h=5.0)
    s = unsaturated_zone(prj, source(soakaway=no_drain, leaching=leaching, layers=[soak_layer()]))
    for t in prj["slices"]:
        out.append(("soakaway_leaching", "source_concentration@%g" % t, leachate(prj, s, t)))
    report_unsaturated("soakaway_leaching", prj, s, out)
    # Iteration 1 of UNIFORM(1,2) at the deviate 32767 / 32767.
    grad1 = 1.0 + 32767 * 3.051850947599719e-05 * (2.0 - 1.0)
    report_unsaturated("soakaway_iteration1", prj,
                       unsaturated_zone(prj, source(soakaway=no_drain, layers=[soak_layer(grad=grad1)])), out)

    # level3-receptors.json: infiltration 500 mm/yr cut to 315.576 mm/yr by
    # the first layer, three receptors.
    def cut_layers():
        return [layer(L=2.0, alpha=0.2, tw=0.2, K=1e-8, rho=1.6, kd=0.2),
                layer(L=3.0, alpha=0.3, tw=0.15, K=1e-6, rho=1.6, kd=0.2)]
    prj = project(level=3, slices=[5.0, 10.0, 20.0, 50.0], ruz=True, Z=3.0, ia=0.005, raq=True,
                  kd_a=20.0 * 0.1 * 0.01, baq=True, aq_half_life=50.0, in_situ=True,
                  receptors=[(110.0, 7.0), (-30.0, 5.0), (13.0, 5.0)])
    src = source(q=0.5, conc=10.0, layers=cut_layers())
    report_unsaturated("receptors_uz", prj, unsaturated_zone(prj, src), out)
    report_receptors("receptors", prj, [src], out)

    # level3-two-sources.json: source A (30..50 x 0..10, starts at 30 years,
    # thin layer) with a receptor within alphaL of its centre, source B
    # (0..20 x 0..10) upstream; background 0.01 mg/l present.
    prj = project(level=3, slices=[10.0, 25.0, 50.0, 100.0], ruz=True, Z=3.0, ia=0.005, raq=True,
                  kd_a=0.02, background=0.01, receptors=[(43.0, 6.0)])
    src_a = source(cx=40.0, cy=5.0, t0=30.0, layers=[layer(L=0.4, alpha=0.5, tw=0.2, K=1e-6, kd=0.3)])
    src_b = source(cx=10.0, cy=5.0, layers=[layer(L=4.0, alpha=0.4, tw=0.2, K=1e-6, kd=0.3)])
    report_receptors("two_sources", prj, [src_a, src_b], out)

    # level3a.json: concentration 5 mg/l entered at the aquifer.
    prj = project(level=4, slices=[1.0, 3.0, 10.0], ruz=False, ia=0.005, raq=True, kd_a=0.05,
                  receptors=[(40.0, 5.0), (110.0, 7.0)])
    report_receptors("level3a", prj, [source(conc=5.0)], out)

    return out


def main():
    for case, quantity, value in cases():
        print("%s %s %.15g" % (case, quantity, value))


if __name__ == "__main__":
    main()
