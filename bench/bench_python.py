#!/usr/bin/env python3
"""The Python module against the command-line tool, and a study on a Dask
cluster against the same study in one process, side by side in one run.

1. The Level 3 example (examples/level3-gasworks-chalk.json), 10,000
   iterations, seed 1, 2 threads: `varnex-cli run` (the whole command:
   start, read, run, summary) against `Project.load(...).run(...)` in this
   interpreter (read and run), alternately, five times each; medians.
   Target: Python at most 5 % longer.
2. A study of 8 scenarios of the same example (1001 iterations each, the
   infiltration and the source concentrations varied) in this process on
   one thread, against a Dask LocalCluster of 2 single-threaded worker
   processes (started before the clock); the two tables must be equal.
   Target: the cluster at least 1.7 times faster.

Run: PYTHONPATH=build/release/python /usr/bin/python3 bench/bench_python.py
"""

import os
import statistics
import subprocess
import sys
import time

import varnex
import varnex.study

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLE = os.path.join(ROOT, "examples", "level3-gasworks-chalk.json")
CLI = os.environ.get("VARNEX_CLI", os.path.join(ROOT, "build", "release", "bin", "varnex-cli"))


def timed(call):
    start = time.perf_counter()
    call()
    return time.perf_counter() - start


def run_against_cli(repeats=5):
    cli, python = [], []
    for _ in range(repeats):
        cli.append(timed(lambda: subprocess.run(
            [CLI, "run", EXAMPLE, "--iterations", "10000", "--seed", "1", "--threads", "2",
             "--quiet"], check=True, capture_output=True)))
        python.append(timed(lambda: varnex.Project.load(EXAMPLE).run(
            iterations=10000, seed=1, threads=2)))
    c, p = statistics.median(cli), statistics.median(python)
    print(f"Level 3 run, 10,000 iterations, 2 threads: varnex-cli {c:.2f} s, "
          f"Python {p:.2f} s, ratio {p / c:.3f} (target at most 1.05)")


def scenarios():
    rows = []
    for k in range(8):
        rows.append({"name": f"variant {k + 1}", "iterations": 1001, "seed": k + 1,
                     "/sources/0/infiltration": f"TRIANGULAR({40 + 10 * k},{120 + 10 * k},{200 + 10 * k})",
                     "/sources/1/inventory/0/concentration":
                         f"LOGTRIANGULAR(0.05,{0.3 + 0.1 * k:.1f},5)"})
    return rows


def study_on_dask():
    import distributed

    project = varnex.Project.load(EXAMPLE)
    outputs = ["exceedance", "p95"]
    here_seconds = timed(lambda: globals().__setitem__(
        "here", varnex.study.run(project, scenarios(), outputs, threads=1)))
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        # Each worker imports the module once before the clock starts.
        client.run(lambda: __import__("varnex.study"))
        dask_seconds = timed(lambda: globals().__setitem__(
            "there", varnex.study.run(project, scenarios(), outputs, executor=client)))
    same = here[["scenario", "receptor", "contaminant", "time", "statistic", "value"]].equals(
        there[["scenario", "receptor", "contaminant", "time", "statistic", "value"]])
    print(f"Study of 8 scenarios x 1001 iterations: in process, 1 thread {here_seconds:.2f} s; "
          f"Dask LocalCluster, 2 workers x 1 thread {dask_seconds:.2f} s; speed-up "
          f"{here_seconds / dask_seconds:.2f} (target at least 1.7); tables equal: {same}")


if __name__ == "__main__":
    run_against_cli()
    study_on_dask()
