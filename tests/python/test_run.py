"""Runs from Python: the numbers are the command line's (same seed, same
iterations), arrays are views that outlive later runs, progress is
reported, errors carry the engine's message, and Ctrl+C stops a run
cleanly."""

import json
import os
import signal
import subprocess
import sys
import textwrap

import numpy
import pytest
import varnex


def cli_statistics(cli, path, tmp_path, *options):
    out = tmp_path / "stats.json"
    subprocess.run([cli, "run", path, "--quiet", "--stats-json", str(out), *options], check=True,
                   capture_output=True)
    return json.load(open(out))


def test_statistics_equal_the_command_lines(example, cli, tmp_path):
    path = example("level3a-landfill.json")
    results = varnex.Project.load(path).run(iterations=201, seed=3, threads=2, kernel="exact")
    rows = cli_statistics(cli, path, tmp_path, "--iterations", "201", "--seed", "3",
                          "--kernel", "exact")
    mine = results.statistics()
    assert len(mine) == len(rows)
    for record, row in zip(mine, rows):
        assert record["kind"] == row["kind"] and record["label"] == row["label"]
        assert record["receptor"] == row.get("receptor", "")
        # The file writes 17 digits: equal numbers, exactly.
        if row["mean"] is not None:
            assert record["mean"] == row["mean"]
            assert record["percentiles"][95] == row["percentiles"]["95"]
        if "exceedanceProbability" in row:
            assert record["exceedance_probability"] == row["exceedanceProbability"]
    assert results.kernel == "exact" and results.iterations == 201 and results.sampling == "mc"


def test_arrays_are_views_that_keep_their_run(example):
    project = varnex.Project.load(example("level3-gasworks-chalk.json"))
    first = project.run(iterations=50, seed=1)
    vectors = first.vectors()
    values = vectors[-1]["values"]
    kept = values.copy()
    assert values.shape == (50,) and not values.flags.writeable
    assert values.base is not None, "a view, not a copy"
    del first, vectors
    project.run(iterations=80, seed=2)
    numpy.testing.assert_array_equal(values, kept)


def test_statistics_frame(example):
    pandas = pytest.importorskip("pandas")
    results = varnex.Project.load(example("level3a-landfill.json")).run(iterations=20, seed=1)
    frame = results.statistics_frame()
    assert isinstance(frame, pandas.DataFrame)
    assert {"label", "kind", "mean", "p95", "exceedance_probability"} <= set(frame.columns)
    assert len(frame) == len(results.statistics())


def test_progress_and_refusals(example):
    project = varnex.Project.load(example("level3a-landfill.json"))
    seen = []
    project.run(iterations=30, seed=1, progress=lambda stage, done, total: seen.append(stage))
    assert "Calculating" in seen
    with pytest.raises(ValueError, match="unknown kernel"):
        project.run(kernel="quick")
    with pytest.raises(ValueError, match="Validation Errors"):
        varnex.Project.load(example("invalid-level3.json")).run(iterations=5)
    # A callback's own error stops the run and comes back as itself.
    def fail(stage, done, total):
        raise LookupError("from the callback")
    with pytest.raises(LookupError, match="from the callback"):
        project.run(iterations=30, progress=fail)


def test_a_run_error_carries_the_engines_message(example):
    project = varnex.Project.load(example("level3-gasworks-chalk.json"))
    project.set("/aquifer/effectivePorosity", 0)
    with pytest.raises((RuntimeError, ValueError)) as raised:
        project.run(iterations=5)
    assert "is 0" in str(raised.value) or "porosity" in str(raised.value).lower()


def test_ctrl_c_stops_a_run(example, tmp_path):
    # A child Python that runs a long study and is sent SIGINT once the
    # run has started: the run ends at the next iteration and the
    # KeyboardInterrupt reaches the script.
    script = textwrap.dedent(f"""
        import sys, varnex
        project = varnex.Project.load({example("level3-gasworks-chalk.json")!r})
        started = []
        def progress(stage, done, total):
            if stage == "Calculating" and not started:
                started.append(True)
                print("started", flush=True)
        try:
            project.run(iterations=10000, threads=1, kernel="reference", progress=progress)
            print("finished")
        except KeyboardInterrupt:
            print("interrupted")
            project.run(iterations=5)  # the engine is usable again
            print("usable")
    """)
    env = dict(os.environ)
    env["PYTHONPATH"] = os.pathsep.join(p for p in sys.path if p)
    child = subprocess.Popen([sys.executable, "-c", script], stdout=subprocess.PIPE, text=True,
                             env=env)
    assert child.stdout.readline().strip() == "started"
    child.send_signal(signal.SIGINT)
    out, _ = child.communicate(timeout=120)
    assert out.split() == ["interrupted", "usable"]
    assert child.returncode == 0


def test_sensitivity_is_the_command_lines(example, cli, tmp_path):
    results = varnex.Project.load(example("level3-gasworks-chalk.json")).run(iterations=101, seed=4)
    mine = results.sensitivity(4, time=50, receptor="Abstraction borehole", contaminant="Benzene")
    results.save(str(tmp_path / "ran.vnx"))
    listed = json.loads(subprocess.run(
        [cli, "sensitivity", str(tmp_path / "ran.vnx"), "--result", "4", "--time", "50",
         "--receptor", "Abstraction borehole", "--contaminant", "Benzene", "--json"],
        capture_output=True, text=True, check=True).stdout)["rows"]
    assert [row["input"] for row in mine] == [row["input"] for row in listed]
    assert [row["coefficient"] for row in mine] == [row.get("coefficient") for row in listed]
    assert abs(mine[0]["coefficient"]) >= abs(mine[-1]["coefficient"] or 0)
    with pytest.raises(ValueError, match="time 37: not a time slice"):
        results.sensitivity(4, time=37)
    with pytest.raises(ValueError, match="result is a code from 0 to 4"):
        results.sensitivity(7)
