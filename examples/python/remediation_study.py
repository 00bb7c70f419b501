"""Three remediation options for the former gasworks (examples/
level3-gasworks-chalk.json), against the site as it is:

  * "excavate half": every source concentration halved (the hot spots dug
    out, half the mass left);
  * "excavate 90 %": every source concentration cut to a tenth;
  * "cover": the tar well and the purifier beds capped, so that only a
    tenth of the rain infiltrates through them.

Each option is a row of a scenario table (JSON pointers of the project's
JSON form holding distribution texts), run with the same seed, so the
differences are the options', not the random numbers'. The script prints
the probability that benzene exceeds its standard at each receptor after
50 years, and draws P(> standard) against time for each receptor and
option.

    python3 examples/python/remediation_study.py [FIGURE.png] [--iterations N] [--jobs N]
"""

import argparse
import os
import re

import varnex
import varnex.study

HERE = os.path.dirname(os.path.abspath(__file__))
PROJECT = os.path.join(HERE, os.pardir, "level3-gasworks-chalk.json")


def scaled(text, factor):
    """A distribution text with the quantity scaled by `factor`: every
    number of a SINGLE, UNIFORM, TRIANGULAR, their LOG forms or a
    (LOG)NORMAL's mean and standard deviation (a quantity k times larger
    has k times the mean and spread)."""
    match = re.fullmatch(r"\s*([A-Z]+)\((.*)\)\s*", text)
    if not match:
        raise ValueError(f"not a distribution text: {text!r}")
    name, arguments = match.groups()
    values = [float(a) * factor for a in arguments.split(",")]
    return f"{name}({','.join(format(v, '.6g') for v in values)})"


def scenarios(project):
    """The scenario table: one row per option, a column per changed input."""
    source_count = len(project.get("/sources"))
    rows = [{"name": "as it is"}]
    for name, factor in (("excavate half", 0.5), ("excavate 90 %", 0.1)):
        row = {"name": name}
        for s in range(source_count):
            for e, entry in enumerate(project.get(f"/sources/{s}/inventory")):
                row[f"/sources/{s}/inventory/{e}/concentration"] = scaled(entry["concentration"],
                                                                          factor)
        rows.append(row)
    cover = {"name": "cover"}
    for s in (0, 1):  # the tar well and the purifier beds; the soakaway stays
        cover[f"/sources/{s}/infiltration"] = scaled(project.get(f"/sources/{s}/infiltration"), 0.1)
    rows.append(cover)
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("figure", nargs="?", default="remediation.png")
    parser.add_argument("--iterations", type=int, default=1001)
    parser.add_argument("--jobs", type=int, default=None,
                        help="worker processes (default: in this process)")
    arguments = parser.parse_args()

    project = varnex.Project.load(PROJECT)
    project.iterations = arguments.iterations
    table = varnex.study.run(project, scenarios(project), ["exceedance"], executor=arguments.jobs)
    benzene = table[(table.contaminant == "Benzene")]
    if benzene.error.notna().any():
        raise SystemExit("\n".join(benzene.error.dropna()))

    options = list(dict.fromkeys(benzene.scenario))
    receptors = list(dict.fromkeys(benzene.receptor))
    at50 = benzene[benzene.time == 50].pivot(index="scenario", columns="receptor", values="value")
    print("P(benzene > 0.01 mg/l) after 50 years,", arguments.iterations, "iterations")
    print(at50.loc[options, receptors].to_string(float_format=lambda p: f"{p:.3f}"))

    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figure, axes = plt.subplots(1, len(receptors), figsize=(4 * len(receptors), 3.6),
                                sharey=True, constrained_layout=True)
    for axis, receptor in zip(axes, receptors):
        for option in options:
            line = benzene[(benzene.scenario == option) & (benzene.receptor == receptor)]
            axis.plot(line.time, line.value, marker="o", label=option)
        axis.set_xscale("log")
        axis.set_title(receptor)
        axis.set_xlabel("Time [years]")
        axis.grid(True, which="both", alpha=0.3)
    axes[0].set_ylabel("P(benzene > standard)")
    axes[-1].legend(loc="best", fontsize="small")
    figure.savefig(arguments.figure, dpi=120)
    print("figure:", arguments.figure)


if __name__ == "__main__":
    main()
